#include "platform/headless/key_script.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "lang/utf8.h"
#include "platform/keys.h"

namespace quillvane {
namespace {

struct NamedKey {
  const char* name;
  int code;
};

constexpr std::array<NamedKey, 17> kNamedKeys{{
    {"Backspace", vk::Backspace},
    {"Tab", vk::Tab},
    {"Enter", vk::Enter},
    {"Escape", vk::Escape},
    {"Space", vk::Space},
    {"Left", vk::Left},
    {"Up", vk::Up},
    {"Right", vk::Right},
    {"Down", vk::Down},
    {"Delete", vk::Delete},
    {"NumMultiply", vk::NumMultiply},
    {"NumPlus", vk::NumPlus},
    {"NumMinus", vk::NumMinus},
    {"NumDecimal", vk::NumDecimal},
    {"NumDivide", vk::NumDivide},
    {"Plus", vk::Plus},
    {"Minus", vk::Minus},
}};

// A whole decimal number made of digits only, within [low, high]; else -1.
int small_number(const std::string& digits, int low, int high) {
  if (digits.empty() || digits.size() > 3) return -1;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value >= low && value <= high ? value : -1;
}

bool parse_seconds(const std::string& text, double& seconds) {
  // Digits, optionally a point and more digits: "2", "0.5", "12.25".
  std::size_t i = 0, digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0 || i != text.size()) return false;
  // strtod rounds correctly and, in the C locale the game never leaves, reads
  // exactly the text checked above; it is in every C++ library.
  // A number too large or too small for a double is no time, as to_chars has it.
  char* end = nullptr;
  errno = 0;
  seconds = std::strtod(text.c_str(), &end);
  return errno != ERANGE && end == text.c_str() + text.size();
}

}  // namespace

int script_key_code(const std::string& name) {
  for (const auto& key : kNamedKeys)
    if (name == key.name) return key.code;
  if (name.size() == 1) {
    char c = name[0];
    if (c >= '0' && c <= '9') return vk::digit(c - '0');
    if (c >= 'A' && c <= 'Z') return vk::letter(c);
    return 0;
  }
  if (name.size() == 4 && name.compare(0, 3, "Num") == 0 && name[3] >= '0' && name[3] <= '9')
    return vk::num_digit(name[3] - '0');
  if (name.size() >= 2 && name[0] == 'F') {
    int n = small_number(name.substr(1), 1, 12);
    if (n > 0 && name[1] != '0') return vk::function_key(n);
  }
  if (name.size() > 2 && name.compare(0, 2, "VK") == 0) {
    int n = small_number(name.substr(2), 1, 254);
    if (n > 0) return n;
  }
  return 0;
}

char32_t script_key_character(const std::string& name) {
  char32_t code = 0;
  if (name.empty() || static_cast<unsigned char>(name[0]) < 0x80) return 0;
  if (lang::decode_utf8(name, 0, code) != name.size()) return 0;
  // Controls and the invisible spaces are no letters a key types.
  if (code < 0xA1 || (code >= 0x2000 && code <= 0x200F) || (code >= 0x2028 && code <= 0x202F))
    return 0;
  return code;
}

std::optional<ScriptKey> parse_script_line(const std::string& raw, int line_number) {
  std::string text = raw;
  // Scripts written on Windows end their lines with CR; trailing blanks are no part of a key.
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
    text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  if (start == text.size() || text[0] == '#') return std::nullopt;
  text = text.substr(start);

  auto fail = [&](const std::string& why) -> ScriptError { return ScriptError{line_number, why}; };

  ScriptKey key;
  key.line = line_number;
  if (text[0] == '@') {
    std::size_t space = text.find(' ');
    if (space == std::string::npos) throw fail("a time needs a key after it: \"" + raw + "\"");
    if (!parse_seconds(text.substr(1, space - 1), key.at))
      throw fail("not a time in seconds: \"" + text.substr(0, space) + "\"");
    key.timed = true;
    text = text.substr(space + 1);
    while (!text.empty() && text[0] == ' ') text.erase(0, 1);
  }

  // Modifiers, each at most once, then the key name.
  std::size_t pos = 0;
  for (;;) {
    std::size_t plus = text.find('+', pos);
    if (plus == std::string::npos) break;
    std::string part = text.substr(pos, plus - pos);
    int bit = part == "Shift"  ? mask::Shift
              : part == "Ctrl" ? mask::Ctrl
              : part == "Alt"  ? mask::Alt
                               : mask::None;
    if (bit == 0) throw fail("unknown modifier \"" + part + "\"");
    if (key.shift & bit) throw fail("modifier \"" + part + "\" given twice");
    key.shift |= bit;
    pos = plus + 1;
  }
  std::string name = text.substr(pos);
  key.keycode = script_key_code(name);
  if (key.keycode == 0) key.character = script_key_character(name);
  if (key.keycode == 0 && key.character == 0) throw fail("unknown key \"" + name + "\"");

  key.name.clear();
  if (key.shift & mask::Shift) key.name += "Shift+";
  if (key.shift & mask::Ctrl) key.name += "Ctrl+";
  if (key.shift & mask::Alt) key.name += "Alt+";
  key.name += name;
  return key;
}

const ScriptKey* KeyScript::peek() {
  while (!next_ && !ended_) {
    std::string line;
    if (!std::getline(in_, line)) {
      ended_ = true;
      break;
    }
    ++line_number_;
    try {
      next_ = parse_script_line(line, line_number_);
    } catch (const ScriptError& error) {
      next_ = ScriptKey{};
      next_->line = error.line;
      next_->error = error.message;
    }
  }
  return next_ ? &*next_ : nullptr;
}

}  // namespace quillvane
