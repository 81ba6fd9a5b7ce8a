#include "platform/terminal/terminal_keys.h"

#include <string_view>
#include <vector>

namespace quillvane {

namespace {

constexpr char kEsc = 0x1B;
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;

TerminalKey make(int keycode, int shift, std::size_t length) {
  return {TerminalKey::key, keycode, shift, length};
}

TerminalKey skip(std::size_t length) { return {TerminalKey::none, 0, 0, length}; }

TerminalKey quit(std::size_t length) { return {TerminalKey::quit, 0, 0, length}; }

constexpr TerminalKey kIncomplete{TerminalKey::incomplete};

// The keys that stand for Shift+Enter and Shift+Backspace.
TerminalKey combine(std::size_t length) { return make(13, kShift, length); }
TerminalKey undo(std::size_t length) { return make(8, kShift, length); }

// The code and shift of a printable ASCII character typed on a US keyboard;
// none for anything else.
TerminalKey printable_key(unsigned char c) {
  if (c >= 'a' && c <= 'z') return make(c - 'a' + 'A', 0, 1);
  if (c >= 'A' && c <= 'Z') return make(c, kShift, 1);
  if (c >= '0' && c <= '9') return make(c, 0, 1);
  if (c == ' ') return make(32, 0, 1);
  static constexpr std::string_view shifted_digits = ")!@#$%^&*(";
  if (auto at = shifted_digits.find(static_cast<char>(c)); at != std::string_view::npos)
    return make('0' + static_cast<int>(at), kShift, 1);
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
      return make(13, 0, 1);
    case '\n':
      return combine(1);  // Ctrl+J
    case '\t':
      return make(9, 0, 1);
    case 0x7F:
      return make(8, 0, 1);
    case 0x08:
      return backspace_sends_bs ? make(8, 0, 1) : undo(1);  // Ctrl+H
    case 0x03:
      return quit(1);
    case 0x00:
      return make(32, kCtrl, 1);  // Ctrl+Space
    default:
      break;
  }
  if (c <= 0x1A) return make('A' + c - 1, kCtrl, 1);  // Ctrl+letter
  if (c >= 0x1C && c <= 0x1F) {
    // Ctrl+\, Ctrl+], Ctrl+^ and Ctrl+_.
    static constexpr int codes[] = {220, 221, '6', 189};
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
  if (code >= 57399 && code <= 57408) return 96 + (code - 57399);   // keypad 0-9
  if (code >= 57376 && code <= 57387) return 124 + (code - 57376);  // F13-F24
  switch (code) {
    case 57409:
      return 110;  // keypad decimal
    case 57410:
      return 111;  // keypad divide
    case 57411:
      return 106;  // keypad multiply
    case 57412:
      return 109;  // keypad minus
    case 57413:
      return 107;  // keypad plus
    case 57414:
      return 13;  // keypad Enter
    case 57415:
      return 187;  // keypad equals
    case 57416:
      return 108;  // keypad separator
    case 57417:
      return 37;
    case 57418:
      return 39;
    case 57419:
      return 38;
    case 57420:
      return 40;
    case 57421:
      return 33;
    case 57422:
      return 34;
    case 57423:
      return 36;
    case 57424:
      return 35;
    case 57425:
      return 45;
    case 57426:
      return 46;
    case 57427:
      return 12;  // keypad 5 without Num Lock
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
      keycode = 8;
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
  if (keycode == 0) return skip(length);
  // Alt+Enter combines and Alt+Backspace undoes, as in the plain bytes.
  if ((keycode == 13 || keycode == 8) && (mask & kAlt)) shift = kShift;
  TerminalKey key = make(keycode, shift, length);
  key.reported_code = code;
  return key;
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
    case 'E':
      return 12;  // keypad 5 without Num Lock
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
