#include "platform/terminal/terminal_keys.h"

#include <string_view>
#include <vector>

#include "lang/utf8.h"
#include "platform/keys.h"

namespace quillvane {

namespace {

constexpr char kEsc = 0x1B;
constexpr int kShift = mask::Shift;
constexpr int kCtrl = mask::Ctrl;
constexpr int kAlt = mask::Alt;

TerminalKey make(int keycode, int shift, std::size_t length) {
  return {TerminalKey::key, keycode, shift, length};
}

TerminalKey skip(std::size_t length) { return {TerminalKey::none, 0, 0, length}; }

TerminalKey quit(std::size_t length) { return {TerminalKey::quit, 0, 0, length}; }

constexpr TerminalKey kIncomplete{TerminalKey::incomplete};

// The keys that stand for Shift+Enter and Shift+Backspace.
TerminalKey combine(std::size_t length) { return make(vk::Enter, kShift, length); }
TerminalKey undo(std::size_t length) { return make(vk::Backspace, kShift, length); }

// The code and shift of a printable ASCII character typed on a US keyboard;
// none for anything else.
TerminalKey printable_key(unsigned char c) {
  if (c >= 'a' && c <= 'z') return make(vk::letter(static_cast<char>(c)), 0, 1);
  if (c >= 'A' && c <= 'Z') return make(vk::letter(static_cast<char>(c)), kShift, 1);
  if (c >= '0' && c <= '9') return make(vk::digit(c - '0'), 0, 1);
  if (c == ' ') return make(vk::Space, 0, 1);
  static constexpr std::string_view shifted_digits = ")!@#$%^&*(";
  if (auto at = shifted_digits.find(static_cast<char>(c)); at != std::string_view::npos)
    return make(vk::digit(static_cast<int>(at)), kShift, 1);
  struct Punctuation {
    char plain;
    char shifted;
    int code;
  };
  static constexpr Punctuation punctuation[] = {
      {';', ':', vk::Semicolon},    {'=', '+', vk::Plus},        {',', '<', vk::Comma},
      {'-', '_', vk::Minus},        {'.', '>', vk::Period},      {'/', '?', vk::Slash},
      {'`', '~', vk::Backquote},    {'[', '{', vk::OpenBracket}, {'\\', '|', vk::Backslash},
      {']', '}', vk::CloseBracket}, {'\'', '"', vk::Quote},
  };
  for (const Punctuation& p : punctuation) {
    if (c == static_cast<unsigned char>(p.plain)) return make(p.code, 0, 1);
    if (c == static_cast<unsigned char>(p.shifted)) return make(p.code, kShift, 1);
  }
  return skip(1);
}

// The key of one character that is not ESC: a control byte, an ASCII
// character, or a whole UTF-8 sequence.
TerminalKey character_key(std::string_view bytes, bool final, bool backspace_sends_bs) {
  const auto c = static_cast<unsigned char>(bytes[0]);
  switch (c) {
    case '\r':
      return make(vk::Enter, 0, 1);
    case '\n':
      return combine(1);  // Ctrl+J
    case '\t':
      return make(vk::Tab, 0, 1);
    case 0x7F:
      return make(vk::Backspace, 0, 1);
    case 0x08:
      return backspace_sends_bs ? make(vk::Backspace, 0, 1) : undo(1);  // Ctrl+H
    case 0x03:
      return quit(1);
    case 0x00:
      return make(vk::Space, kCtrl, 1);  // Ctrl+Space
    default:
      break;
  }
  if (c <= 0x1A) return make(vk::letter(static_cast<char>('A' + c - 1)), kCtrl, 1);  // Ctrl+letter
  if (c >= 0x1C && c <= 0x1F) {
    // Ctrl+\, Ctrl+], Ctrl+^ and Ctrl+_.
    static constexpr int codes[] = {vk::Backslash, vk::CloseBracket, vk::digit(6), vk::Minus};
    static constexpr int masks[] = {kCtrl, kCtrl, kCtrl | kShift, kCtrl | kShift};
    return make(codes[c - 0x1C], masks[c - 0x1C], 1);
  }
  if (c < 0x80) return printable_key(c);
  // A character beyond ASCII, in UTF-8.
  const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (bytes.size() < length && !final) return kIncomplete;
  // xterm's default eightBitInput sends Alt and a key as that key's byte
  // with the top bit set: "ÿ" (DEL + 0x80) is Alt+Backspace and U+008D
  // (CR + 0x80) is Alt+Enter.
  const std::string_view character = bytes.substr(0, length);
  if (character == "\xc3\xbf") return undo(2);
  if (character == "\xc2\x8d") return combine(2);
  // A letter beyond ASCII (ñ, ä, ß): a key with no key code of its own.
  char32_t code = 0;
  if (lang::decode_utf8(character, 0, code) == length && code >= 0xA1) {
    TerminalKey key = make(0, 0, length);
    key.character = code;
    return key;
  }
  return skip(length);
}

// The shift mask from an xterm or kitty modifier parameter: 1 + bits of
// Shift 1, Alt 2, Ctrl 4 (and Super, Hyper, Meta, Caps Lock and Num Lock
// above them, which the game does not use).
int modifier_mask(int parameter) {
  if (parameter < 2) return 0;
  const int bits = parameter - 1;
  int mask = 0;
  if (bits & 1) mask |= kShift;
  if (bits & 4) mask |= kCtrl;
  if (bits & 2) mask |= kAlt;
  return mask;
}

// The kitty keyboard protocol's keypad keys and F13-F24, numbered from the
// Unicode private use area.
int private_use_key(int code) {
  if (code >= 57399 && code <= 57408) return vk::num_digit(code - 57399);            // keypad 0-9
  if (code >= 57376 && code <= 57387) return vk::function_key(13 + (code - 57376));  // F13-F24
  switch (code) {
    case 57409:
      return vk::NumDecimal;  // keypad decimal
    case 57410:
      return vk::NumDivide;  // keypad divide
    case 57411:
      return vk::NumMultiply;  // keypad multiply
    case 57412:
      return vk::NumMinus;  // keypad minus
    case 57413:
      return vk::NumPlus;  // keypad plus
    case 57414:
      return vk::Enter;  // keypad Enter
    case 57415:
      return vk::Plus;  // keypad equals
    case 57416:
      return vk::NumSeparator;  // keypad separator
    case 57417:
      return vk::Left;
    case 57418:
      return vk::Right;
    case 57419:
      return vk::Up;
    case 57420:
      return vk::Down;
    case 57421:
      return vk::PageUp;
    case 57422:
      return vk::PageDown;
    case 57423:
      return vk::Home;
    case 57424:
      return vk::End;
    case 57425:
      return vk::Insert;
    case 57426:
      return vk::Delete;
    case 57427:
      return vk::Clear;  // keypad 5 without Num Lock
    default:
      return 0;
  }
}

// A key reported by its character code (modifyOtherKeys and CSI u): the
// same meaning as the plain bytes the terminal would otherwise send.
TerminalKey reported_key(int code, int mask, std::size_t length) {
  if (mask & kCtrl) {
    if (code == 'c' || code == 'C') return quit(length);
    if (code == 'j' || code == 'J') return combine(length);
    if (code == 'h' || code == 'H') return undo(length);
  }
  int keycode = 0;
  int shift = mask;
  switch (code) {
    case 13:
    case 9:
    case 27:
    case 32:
      keycode = code;
      break;
    case 127:
    case 8:
      keycode = vk::Backspace;
      break;
    default:
      if (code > 32 && code < 127) {
        const TerminalKey key = printable_key(static_cast<unsigned char>(code));
        // Upper-case letters and shifted symbols already carry Shift.
        keycode = key.keycode;
        shift |= key.shift;
      } else {
        keycode = private_use_key(code);
      }
      break;
  }
  if (keycode == 0 && code >= 0xA1 && (code < 0xE000 || code > 0xF8FF) && code <= 0x10FFFF &&
      !(mask & (kCtrl | kAlt))) {
    // A letter beyond ASCII reported by its code point (kitty's protocol).
    TerminalKey key = make(0, mask, length);
    key.character = static_cast<char32_t>(code);
    key.reported_code = code;
    return key;
  }
  if (keycode == 0) return skip(length);
  // Alt+Enter combines and Alt+Backspace undoes, as in the plain bytes.
  if ((keycode == vk::Enter || keycode == vk::Backspace) && (mask & kAlt)) shift = kShift;
  TerminalKey key = make(keycode, shift, length);
  key.reported_code = code;
  return key;
}

// The key of a "CSI number ~" sequence.
int tilde_key(int number) {
  switch (number) {
    case 1:
    case 7:
      return vk::Home;  // Home
    case 2:
      return vk::Insert;  // Insert
    case 3:
      return vk::Delete;  // Delete
    case 4:
    case 8:
      return vk::End;  // End
    case 5:
      return vk::PageUp;  // Page Up
    case 6:
      return vk::PageDown;  // Page Down
    case 11:
      return vk::function_key(1);
    case 12:
      return vk::function_key(2);
    case 13:
      return vk::function_key(3);
    case 14:
      return vk::function_key(4);
    case 15:
      return vk::function_key(5);
    case 17:
      return vk::function_key(6);
    case 18:
      return vk::function_key(7);
    case 19:
      return vk::function_key(8);
    case 20:
      return vk::function_key(9);
    case 21:
      return vk::function_key(10);
    case 23:
      return vk::function_key(11);
    case 24:
      return vk::function_key(12);
    default:
      return 0;
  }
}

// The key of a final letter after CSI or SS3 (arrows, Home, End, F1-F4).
int letter_key(char final_byte) {
  switch (final_byte) {
    case 'A':
      return vk::Up;
    case 'B':
      return vk::Down;
    case 'C':
      return vk::Right;
    case 'D':
      return vk::Left;
    case 'H':
      return vk::Home;
    case 'F':
      return vk::End;
    case 'P':
      return vk::function_key(1);
    case 'Q':
      return vk::function_key(2);
    case 'R':
      return vk::function_key(3);
    case 'S':
      return vk::function_key(4);
    case 'E':
      return vk::Clear;  // keypad 5 without Num Lock
    case 'Z':
      return vk::Tab;  // Shift+Tab, given Shift below
    default:
      return 0;
  }
}

// The application keypad: ESC O and one letter.
int keypad_key(char final_byte) {
  if (final_byte >= 'p' && final_byte <= 'y') return vk::num_digit(final_byte - 'p');
  switch (final_byte) {
    case 'j':
      return vk::NumMultiply;
    case 'k':
      return vk::NumPlus;
    case 'l':
      return vk::NumSeparator;
    case 'm':
      return vk::NumMinus;
    case 'n':
      return vk::NumDecimal;
    case 'o':
      return vk::NumDivide;
    case 'M':
      return vk::Enter;
    case 'X':
      return vk::Plus;  // keypad equals
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
    if (!final) return kIncomplete;
    return make(219, kAlt, 2);  // ESC [ alone was Alt+[
  }
  const char final_byte = bytes[at];
  const std::size_t length = at + 1;
  const std::string_view parameters = bytes.substr(2, at - 2);
  // The Linux console's F1-F5: ESC [ [ A..E.
  if (parameters.empty() && final_byte == '[') {
    if (bytes.size() < 4) return final ? make(219, kAlt, 2) : kIncomplete;
    if (bytes[3] >= 'A' && bytes[3] <= 'E') return make(112 + (bytes[3] - 'A'), 0, 4);
    return skip(4);
  }
  // Numbers separated by ';'; kitty adds sub-parameters after ':', of which
  // only the first counts, but for the modifiers' event type (3: released).
  std::vector<int> numbers;
  int event_type = 1;
  {
    int value = -1;
    std::size_t sub = 0;
    const auto end_sub = [&] {
      if (sub == 0) numbers.push_back(value);
      if (sub == 1 && numbers.size() == 2 && value >= 0) event_type = value;
      value = -1;
    };
    for (char c : parameters) {
      if (c >= '0' && c <= '9') {
        value = (value < 0 ? 0 : value * 10) + (c - '0');
        if (value > 100000) value = 100000;
      } else if (c == ';') {
        end_sub();
        sub = 0;
      } else if (c == ':') {
        end_sub();
        ++sub;
      } else {
        return skip(length);  // private parameters ('<', '?', ...): replies, not keys
      }
    }
    end_sub();
  }
  if (event_type == 3) return skip(length);
  const auto number = [&](std::size_t i, int fallback) {
    return i < numbers.size() && numbers[i] >= 0 ? numbers[i] : fallback;
  };
  const int mask = modifier_mask(number(1, 1));
  if (final_byte == '~') {
    if (number(0, 0) == 27 && numbers.size() >= 3)  // modifyOtherKeys
      return reported_key(number(2, 0), mask, length);
    if (number(0, 0) >= 57344) return reported_key(number(0, 0), mask, length);  // kitty keypad
    const int key = tilde_key(number(0, 0));
    return key ? make(key, mask, length) : skip(length);
  }
  if (final_byte == 'u') return reported_key(number(0, 0), mask, length);
  // A cursor position report come late (ESC [ row ; column R): a modified
  // F3 always has 1 before its modifier.
  if (final_byte == 'R' && number(0, 1) > 1) return skip(length);
  if (int key = letter_key(final_byte))
    return make(key, final_byte == 'Z' ? mask | kShift : mask, length);
  return skip(length);
}

TerminalKey decode_first(std::string_view bytes, bool final, bool backspace_sends_bs) {
  if (bytes[0] != kEsc) return character_key(bytes, final, backspace_sends_bs);
  if (bytes.size() == 1) return final ? make(27, 0, 1) : kIncomplete;
  const char second = bytes[1];
  if (second == '[') return decode_csi(bytes, final);
  if (second == 'O') {
    if (bytes.size() < 3) return final ? make('O', kShift | kAlt, 2) : kIncomplete;
    // SS3 with a modifier digit, as some terminals send for F1-F4: ESC O 2 P.
    std::size_t at = 2;
    int mask = 0;
    if (bytes[at] >= '1' && bytes[at] <= '9') {
      if (bytes.size() < 4) return final ? skip(3) : kIncomplete;
      mask = modifier_mask(bytes[at] - '0');
      ++at;
    }
    if (int key = keypad_key(bytes[at])) return make(key, mask, at + 1);
    if (int key = letter_key(bytes[at])) return make(key, mask, at + 1);
    return skip(at + 1);
  }
  if (second == kEsc) return make(27, 0, 1);  // Escape, then whatever follows
  // Alt and a key. Alt+Enter combines and Alt+Backspace undoes; Ctrl+C
  // quits with Alt too.
  TerminalKey key = character_key(bytes.substr(1), final, backspace_sends_bs);
  if (key.kind == TerminalKey::incomplete) return key;
  if (key.kind == TerminalKey::quit) return quit(1 + key.length);
  if (key.kind != TerminalKey::key) return skip(1 + key.length);
  if (key.keycode == 13 || key.keycode == 8) return make(key.keycode, kShift, 1 + key.length);
  return make(key.keycode, key.shift | kAlt, 1 + key.length);
}

}  // namespace

TerminalKey decode_terminal_key(std::string_view bytes, bool final, bool backspace_sends_bs) {
  if (bytes.empty()) return {};
  TerminalKey key = decode_first(bytes, final, backspace_sends_bs);
  // A character cut short at the end of the input is dropped whole.
  if (key.length > bytes.size()) key.length = bytes.size();
  return key;
}

}  // namespace quillvane
