#include "lang/format.h"

#include <vector>

namespace quillvane::lang {

std::string format(std::string_view pattern, std::initializer_list<std::string_view> args) {
  const std::vector<std::string_view> values(args);
  std::string out;
  out.reserve(pattern.size() + 16);
  std::size_t next = 0;  // the argument a plain directive takes
  for (std::size_t at = 0; at < pattern.size();) {
    const char c = pattern[at];
    if (c != '%' || at + 1 >= pattern.size()) {
      out += c;
      ++at;
      continue;
    }
    if (pattern[at + 1] == '%') {
      out += '%';
      at += 2;
      continue;
    }
    // %N$s or %N$d, or plain %s or %d.
    std::size_t cursor = at + 1;
    std::size_t index = 0;
    bool numbered = false;
    while (cursor < pattern.size() && pattern[cursor] >= '0' && pattern[cursor] <= '9' &&
           index < 100)
      index = index * 10 + static_cast<std::size_t>(pattern[cursor++] - '0');
    if (cursor > at + 1) {
      if (cursor >= pattern.size() || pattern[cursor] != '$' || index == 0) {
        out += c;
        ++at;
        continue;
      }
      numbered = true;
      ++cursor;
    }
    if (cursor >= pattern.size() || (pattern[cursor] != 's' && pattern[cursor] != 'd')) {
      out += c;
      ++at;
      continue;
    }
    const std::size_t which = numbered ? index - 1 : next++;
    if (which >= values.size()) {
      out.append(pattern.substr(at, cursor + 1 - at));
    } else {
      out += values[which];
    }
    at = cursor + 1;
  }
  return out;
}

}  // namespace quillvane::lang
