#include "platform/text/text.h"

#include <cstdio>

#include "lang/utf8.h"

namespace quillvane {

std::string to_utf8(std::string_view text) { return lang::to_utf8(text); }

namespace {

// The invisible controls that change the direction of the text after them:
// the embeddings, overrides and isolates, and the directional marks.
bool bidirectional_control(char32_t code) {
  return (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) ||
         code == 0x200E || code == 0x200F || code == 0x061C;
}

}  // namespace

std::string printable_utf8(std::string_view text) {
  std::string out;
  lang::each_code_point(text, [&](char32_t code) {
    char escaped[12];
    if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(code));
      out += escaped;
    } else if (bidirectional_control(code)) {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(code));
      out += escaped;
    } else {
      lang::append_utf8(out, code);
    }
  });
  return out;
}

}  // namespace quillvane
