#include "platform/terminal/terminal_keys.h"

#include <cctype>
#include <string>
#include <vector>

namespace quillvane {

namespace {

constexpr char kEsc = 0x1B;

TerminalKey make(int keycode, int shift, std::size_t length) {
  return {TerminalKey::key, keycode, shift, length};
}

TerminalKey skip(std::size_t length) { return {TerminalKey::none, 0, 0, length}; }

// The code and shift of a character typed on a US keyboard.
TerminalKey character_key(unsigned char c) {
  if (c >= 'a' && c <= 'z') return make(c - 'a' + 'A', 0, 1);
  if (c >= 'A' && c <= 'Z') return make(c, 1, 1);
  if (c >= '0' && c <= '9') return make(c, 0, 1);
  static constexpr std::string_view shifted_digits = ")!@#$%^&*(";
  if (auto at = shifted_digits.find(static_cast<char>(c)); at != std::string_view::npos)
    return make('0' + static_cast<int>(at), 1, 1);
  struct Punctuation {
    char plain;
    char shifted;
    int code;
  };
  static constexpr Punctuation punctuation[] = {
      {';', ':', 186},  {'=', '+', 187}, {',', '<', 188},  {'-', '_', 189},
      {'.', '>', 190},  {'/', '?', 191}, {'`', '~', 192},  {'[', '{', 219},
      {'\\', '|', 220}, {']', '}', 221}, {'\'', '"', 222},
  };
  for (const Punctuation& p : punctuation) {
    if (c == static_cast<unsigned char>(p.plain)) return make(p.code, 0, 1);
    if (c == static_cast<unsigned char>(p.shifted)) return make(p.code, 1, 1);
  }
  switch (c) {
    case ' ':
      return make(32, 0, 1);
    case '\r':
    case '\n':
      return make(13, 0, 1);
    case '\t':
      return make(9, 0, 1);
    case 0x7F:
    case 0x08:
      return make(8, 0, 1);
    case 0x03:
      return {TerminalKey::quit, 0, 0, 1};
    default:
      break;
  }
  if (c >= 0x01 && c <= 0x1A) return make('A' + c - 1, 2, 1);  // Ctrl+letter
  if (c >= 0xC0) {
    // A character beyond ASCII: skip its whole UTF-8 sequence.
    std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    return skip(length);
  }
  return skip(1);
}

// The shift mask from an xterm modifier parameter (1 + bits: 1 Shift, 2 Alt,
// 4 Ctrl).
int modifier_mask(int parameter) {
  if (parameter < 2) return 0;
  const int bits = parameter - 1;
  int mask = 0;
  if (bits & 1) mask |= 1;
  if (bits & 4) mask |= 2;
  if (bits & 2) mask |= 4;
  return mask;
}

// A key reported by its character code (modifyOtherKeys and CSI u).
TerminalKey reported_key(int code, int mask, std::size_t length) {
  TerminalKey key;
  switch (code) {
    case 13:
      return make(13, mask, length);
    case 127:
    case 8:
      return make(8, mask, length);
    case 9:
      return make(9, mask, length);
    case 27:
      return make(27, mask, length);
    case 32:
      return make(32, mask, length);
    default:
      break;
  }
  if (code > 32 && code < 127) {
    key = character_key(static_cast<unsigned char>(code));
    if (key.kind != TerminalKey::key) return skip(length);
    // Upper-case letters and shifted symbols already carry Shift.
    return make(key.keycode, key.shift | mask, length);
  }
  return skip(length);
}

// The key of a "CSI number ~" sequence.
int tilde_key(int number) {
  switch (number) {
    case 1:
    case 7:
      return 36;  // Home
    case 2:
      return 45;  // Insert
    case 3:
      return 46;  // Delete
    case 4:
    case 8:
      return 35;  // End
    case 5:
      return 33;  // Page Up
    case 6:
      return 34;  // Page Down
    case 11:
      return 112;
    case 12:
      return 113;
    case 13:
      return 114;
    case 14:
      return 115;
    case 15:
      return 116;
    case 17:
      return 117;
    case 18:
      return 118;
    case 19:
      return 119;
    case 20:
      return 120;
    case 21:
      return 121;
    case 23:
      return 122;
    case 24:
      return 123;
    default:
      return 0;
  }
}

// The key of a final letter after CSI or SS3 (arrows, Home, End, F1-F4).
int letter_key(char final_byte) {
  switch (final_byte) {
    case 'A':
      return 38;
    case 'B':
      return 40;
    case 'C':
      return 39;
    case 'D':
      return 37;
    case 'H':
      return 36;
    case 'F':
      return 35;
    case 'P':
      return 112;
    case 'Q':
      return 113;
    case 'R':
      return 114;
    case 'S':
      return 115;
    case 'Z':
      return 9;  // Shift+Tab, given Shift below
    default:
      return 0;
  }
}

// The application keypad: ESC O and one letter.
int keypad_key(char final_byte) {
  if (final_byte >= 'p' && final_byte <= 'y') return 96 + (final_byte - 'p');
  switch (final_byte) {
    case 'j':
      return 106;
    case 'k':
      return 107;
    case 'l':
      return 108;
    case 'm':
      return 109;
    case 'n':
      return 110;
    case 'o':
      return 111;
    case 'M':
      return 13;
    case 'X':
      return 187;  // keypad equals
    default:
      return 0;
  }
}

TerminalKey decode_csi(std::string_view bytes, bool final) {
  // ESC [ then parameter bytes (0x30-0x3F), intermediates, one final byte.
  std::size_t at = 2;
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) >= 0x30 &&
         static_cast<unsigned char>(bytes[at]) <= 0x3F)
    ++at;
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) >= 0x20 &&
         static_cast<unsigned char>(bytes[at]) <= 0x2F)
    ++at;
  if (at >= bytes.size()) {
    if (!final) return {TerminalKey::incomplete, 0, 0, 0};
    return make('[', 4, 2);  // ESC [ alone was Alt+[
  }
  const char final_byte = bytes[at];
  const std::size_t length = at + 1;
  const std::string_view parameters = bytes.substr(2, at - 2);
  // The Linux console's F1-F5: ESC [ [ A..E.
  if (parameters.empty() && final_byte == '[') {
    if (bytes.size() < 4) return final ? make('[', 4, 2) : TerminalKey{TerminalKey::incomplete};
    if (bytes[3] >= 'A' && bytes[3] <= 'E') return make(112 + (bytes[3] - 'A'), 0, 4);
    return skip(4);
  }
  std::vector<int> numbers;
  {
    int value = -1;
    for (char c : parameters) {
      if (c >= '0' && c <= '9') {
        value = (value < 0 ? 0 : value * 10) + (c - '0');
        if (value > 100000) value = 100000;
      } else if (c == ';') {
        numbers.push_back(value);
        value = -1;
      } else {
        return skip(length);  // private parameters ('<', '?', ...) and sub-parameters
      }
    }
    numbers.push_back(value);
  }
  const auto number = [&](std::size_t i, int fallback) {
    return i < numbers.size() && numbers[i] >= 0 ? numbers[i] : fallback;
  };
  if (final_byte == '~') {
    if (number(0, 0) == 27 && numbers.size() >= 3)  // modifyOtherKeys
      return reported_key(number(2, 0), modifier_mask(number(1, 1)), length);
    const int key = tilde_key(number(0, 0));
    return key ? make(key, modifier_mask(number(1, 1)), length) : skip(length);
  }
  if (final_byte == 'u') return reported_key(number(0, 0), modifier_mask(number(1, 1)), length);
  if (int key = letter_key(final_byte)) {
    int mask = modifier_mask(number(1, 1));
    if (final_byte == 'Z') mask |= 1;
    return make(key, mask, length);
  }
  return skip(length);
}

}  // namespace

namespace {

TerminalKey decode_first(std::string_view bytes, bool final) {
  if (bytes[0] != kEsc) return character_key(static_cast<unsigned char>(bytes[0]));
  if (bytes.size() == 1) return final ? make(27, 0, 1) : TerminalKey{TerminalKey::incomplete};
  const char second = bytes[1];
  if (second == '[') return decode_csi(bytes, final);
  if (second == 'O') {
    if (bytes.size() < 3) return final ? make('O', 5, 2) : TerminalKey{TerminalKey::incomplete};
    // SS3 with a modifier digit, as some terminals send for F1-F4: ESC O 2 P.
    std::size_t at = 2;
    int mask = 0;
    if (bytes[at] >= '1' && bytes[at] <= '9') {
      if (bytes.size() < 4) return final ? skip(3) : TerminalKey{TerminalKey::incomplete};
      mask = modifier_mask(bytes[at] - '0');
      ++at;
    }
    if (int key = keypad_key(bytes[at])) return make(key, mask, at + 1);
    if (int key = letter_key(bytes[at])) return make(key, mask, at + 1);
    return skip(at + 1);
  }
  if (second == kEsc) return make(27, 0, 1);  // Escape, then whatever follows
  // Alt and a key. Alt+Enter combines and Alt+Backspace undoes where Shift
  // cannot be sent with them.
  TerminalKey key = character_key(static_cast<unsigned char>(second));
  if (key.kind != TerminalKey::key) return skip(1 + key.length);
  if (key.keycode == 13 || key.keycode == 8) return make(key.keycode, 1, 2);
  return make(key.keycode, key.shift | 4, 1 + key.length);
}

}  // namespace

TerminalKey decode_terminal_key(std::string_view bytes, bool final) {
  if (bytes.empty()) return {};
  TerminalKey key = decode_first(bytes, final);
  // A character cut short at the end of the input is dropped whole.
  if (key.length > bytes.size()) key.length = bytes.size();
  return key;
}

}  // namespace quillvane
