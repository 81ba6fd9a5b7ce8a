// The Linux front-ends' translation tables and helpers: SDL keys to virtual
// keys, terminal bytes to virtual keys, text for speech and the terminal, the
// voice rate and the list's scrolling.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/keys.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/speechd/speechd_voice.h"
#include "platform/terminal/terminal_keys.h"
#include "platform/text/text.h"

namespace quillvane {
namespace {

VirtualKey sdl(SDL_Keycode key, Uint16 modifiers = KMOD_NONE, bool repeat = false) {
  auto translated = translate_key(key, modifiers, repeat);
  EXPECT_TRUE(translated.has_value()) << "key " << key;
  return translated.value_or(VirtualKey{-1, -1});
}

TEST(SdlKeys, LettersDigitsAndFunctionKeys) {
  EXPECT_EQ(sdl(SDLK_a).keycode, vk::letter('A'));
  EXPECT_EQ(sdl(SDLK_z).keycode, vk::letter('Z'));
  EXPECT_EQ(sdl(SDLK_0).keycode, vk::digit(0));
  EXPECT_EQ(sdl(SDLK_9).keycode, vk::digit(9));
  EXPECT_EQ(sdl(SDLK_F1).keycode, vk::function_key(1));
  EXPECT_EQ(sdl(SDLK_F12).keycode, vk::F12);
}

TEST(SdlKeys, EditingAndNavigationKeys) {
  const std::pair<SDL_Keycode, int> table[] = {
      {SDLK_BACKSPACE, vk::Backspace}, {SDLK_TAB, vk::Tab},           {SDLK_RETURN, vk::Enter},
      {SDLK_KP_ENTER, vk::Enter},      {SDLK_ESCAPE, vk::Escape},     {SDLK_SPACE, vk::Space},
      {SDLK_PAGEUP, vk::PageUp},       {SDLK_PAGEDOWN, vk::PageDown}, {SDLK_END, vk::End},
      {SDLK_HOME, vk::Home},           {SDLK_LEFT, vk::Left},         {SDLK_UP, vk::Up},
      {SDLK_RIGHT, vk::Right},         {SDLK_DOWN, vk::Down},         {SDLK_INSERT, vk::Insert},
      {SDLK_DELETE, vk::Delete},
  };
  for (auto [key, code] : table) EXPECT_EQ(sdl(key).keycode, code) << "key " << key;
}

TEST(SdlKeys, PunctuationKeysUseTheOemCodes) {
  const std::pair<SDL_Keycode, int> table[] = {
      {SDLK_SEMICOLON, vk::Semicolon}, {SDLK_EQUALS, vk::Plus},
      {SDLK_COMMA, vk::Comma},         {SDLK_MINUS, vk::Minus},
      {SDLK_PERIOD, vk::Period},       {SDLK_SLASH, vk::Slash},
      {SDLK_BACKQUOTE, vk::Backquote}, {SDLK_LEFTBRACKET, vk::OpenBracket},
      {SDLK_BACKSLASH, vk::Backslash}, {SDLK_RIGHTBRACKET, vk::CloseBracket},
      {SDLK_QUOTE, vk::Quote},
  };
  for (auto [key, code] : table) EXPECT_EQ(sdl(key).keycode, code) << "key " << key;
}

TEST(SdlKeys, KeypadFollowsNumLock) {
  EXPECT_EQ(sdl(SDLK_KP_0, KMOD_NUM).keycode, vk::num_digit(0));
  EXPECT_EQ(sdl(SDLK_KP_1, KMOD_NUM).keycode, vk::num_digit(1));
  EXPECT_EQ(sdl(SDLK_KP_9, KMOD_NUM).keycode, vk::num_digit(9));
  EXPECT_EQ(sdl(SDLK_KP_PERIOD, KMOD_NUM).keycode, vk::NumDecimal);
  // Num Lock off: the navigation keys printed on the keypad.
  EXPECT_EQ(sdl(SDLK_KP_1).keycode, vk::End);
  EXPECT_EQ(sdl(SDLK_KP_8).keycode, vk::Up);
  EXPECT_EQ(sdl(SDLK_KP_PERIOD).keycode, vk::Delete);
  // The operator keys never depend on it.
  for (Uint16 modifiers : {Uint16{KMOD_NONE}, Uint16{KMOD_NUM}}) {
    EXPECT_EQ(sdl(SDLK_KP_MULTIPLY, modifiers).keycode, vk::NumMultiply);
    EXPECT_EQ(sdl(SDLK_KP_PLUS, modifiers).keycode, vk::NumPlus);
    EXPECT_EQ(sdl(SDLK_KP_MINUS, modifiers).keycode, vk::NumMinus);
    EXPECT_EQ(sdl(SDLK_KP_DIVIDE, modifiers).keycode, vk::NumDivide);
  }
}

TEST(SdlKeys, ShiftMaskIgnoresNumLockAndCapsLock) {
  EXPECT_EQ(sdl(SDLK_RETURN, KMOD_LSHIFT).shift, mask::Shift);
  EXPECT_EQ(sdl(SDLK_RETURN, KMOD_LSHIFT | KMOD_NUM | KMOD_CAPS).shift, mask::Shift);
  EXPECT_EQ(sdl(SDLK_RETURN, KMOD_NUM | KMOD_CAPS).shift, mask::None);
  EXPECT_EQ(sdl(SDLK_a, KMOD_RCTRL).shift, mask::Ctrl);
  EXPECT_EQ(sdl(SDLK_a, KMOD_LALT).shift, mask::Alt);
  EXPECT_EQ(sdl(SDLK_a, KMOD_RSHIFT | KMOD_LCTRL | KMOD_RALT).shift,
            mask::Shift | mask::Ctrl | mask::Alt);
}

TEST(SdlKeys, ModifierKeysCountOncePerPress) {
  EXPECT_EQ(sdl(SDLK_LSHIFT, KMOD_LSHIFT).keycode, vk::Shift);
  EXPECT_EQ(sdl(SDLK_RCTRL, KMOD_RCTRL).keycode, vk::Ctrl);
  EXPECT_EQ(sdl(SDLK_LALT, KMOD_LALT).keycode, vk::Alt);
  EXPECT_FALSE(translate_key(SDLK_LSHIFT, KMOD_LSHIFT, true).has_value());
  EXPECT_FALSE(translate_key(SDLK_RALT, KMOD_RALT, true).has_value());
  // Other keys repeat as the platform repeats them.
  EXPECT_EQ(sdl(SDLK_DOWN, KMOD_NONE, true).keycode, vk::Down);
}

TEST(SdlKeys, UnknownKeysAreDropped) {
  EXPECT_FALSE(translate_key(SDLK_AUDIOPLAY, KMOD_NONE, false).has_value());
  EXPECT_FALSE(translate_key(SDLK_UNKNOWN, KMOD_NONE, false).has_value());
}

// Decodes a whole byte string into "code/shift" pairs, taking the end of the
// string as the end of the input.
std::string keys(std::string bytes) {
  std::string out;
  while (!bytes.empty()) {
    TerminalKey key = decode_terminal_key(bytes, true);
    EXPECT_NE(key.kind, TerminalKey::incomplete);
    EXPECT_GT(key.length, 0u);
    if (key.length == 0) break;
    if (key.kind == TerminalKey::key) {
      out += std::to_string(key.keycode) + "/" + std::to_string(key.shift);
      // A letter beyond ASCII comes with its character, as U+hex.
      if (key.character != 0) {
        char code[16];
        std::snprintf(code, sizeof code, ":U+%04X", static_cast<unsigned>(key.character));
        out += code;
      }
      out += " ";
    }
    if (key.kind == TerminalKey::quit) out += "quit ";
    bytes.erase(0, key.length);
  }
  return out;
}

TEST(TerminalKeys, PlainCharacters) {
  EXPECT_EQ(keys("aZ5 "), "65/0 90/1 53/0 32/0 ");
  EXPECT_EQ(keys("\r\x7f\t"), "13/0 8/0 9/0 ");
  EXPECT_EQ(keys("=+-_"), "187/0 187/1 189/0 189/1 ");
  EXPECT_EQ(keys(";'[]\\,./`"), "186/0 222/0 219/0 221/0 220/0 188/0 190/0 191/0 192/0 ");
  EXPECT_EQ(keys("!"), "49/1 ");
}

TEST(TerminalKeys, ControlCharacters) {
  EXPECT_EQ(keys("\x03"), "quit ");
  EXPECT_EQ(keys("\x01\x1a"), "65/2 90/2 ");
}

TEST(TerminalKeys, ArrowsEditingAndFunctionKeys) {
  EXPECT_EQ(keys("\x1b[A\x1b[B\x1b[C\x1b[D"), "38/0 40/0 39/0 37/0 ");
  EXPECT_EQ(keys("\x1bOA\x1bOD"), "38/0 37/0 ");
  EXPECT_EQ(keys("\x1b[3~\x1b[2~\x1b[5~\x1b[6~\x1b[H\x1b[F"), "46/0 45/0 33/0 34/0 36/0 35/0 ");
  EXPECT_EQ(keys("\x1bOP\x1bOS\x1b[15~\x1b[24~"), "112/0 115/0 116/0 123/0 ");
  EXPECT_EQ(keys("\x1b[1;2A\x1b[1;5B"), "38/1 40/2 ");
  EXPECT_EQ(keys("\x1b[Z"), "9/1 ");
  EXPECT_EQ(keys("\x1b[[A"), "112/0 ");
}

TEST(TerminalKeys, ApplicationKeypad) {
  EXPECT_EQ(keys("\x1bOk\x1bOm\x1bOj\x1bOo\x1bOn\x1bOM"), "107/0 109/0 106/0 111/0 110/0 13/0 ");
  EXPECT_EQ(keys("\x1bOp\x1bOq\x1bOy"), "96/0 97/0 105/0 ");
}

TEST(TerminalKeys, ModifyOtherKeysReports) {
  // CSI u, as tmux sends them with extended keys on.
  EXPECT_EQ(keys("\x1b[13;2u"), "13/1 ");
  EXPECT_EQ(keys("\x1b[127;2u"), "8/1 ");
  EXPECT_EQ(keys("\x1b[13;5u"), "13/2 ");
  EXPECT_EQ(keys("\x1b[97;3u"), "65/4 ");
  // xterm's own form.
  EXPECT_EQ(keys("\x1b[27;2;13~"), "13/1 ");
  EXPECT_EQ(keys("\x1b[27;2;127~"), "8/1 ");
}

TEST(TerminalKeys, AltEnterCombinesAndAltBackspaceUndoes) {
  EXPECT_EQ(keys("\x1b\r"), "13/1 ");
  EXPECT_EQ(keys("\x1b\x7f"), "8/1 ");
  EXPECT_EQ(keys("\x1b"
                 "d"),
            "68/4 ");
}

TEST(TerminalKeys, LoneEscapeWaitsForTheEndOfInput) {
  EXPECT_EQ(decode_terminal_key("\x1b", false).kind, TerminalKey::incomplete);
  EXPECT_EQ(decode_terminal_key("\x1b[1;", false).kind, TerminalKey::incomplete);
  EXPECT_EQ(decode_terminal_key("\x1bO", false).kind, TerminalKey::incomplete);
  TerminalKey escape = decode_terminal_key("\x1b", true);
  EXPECT_EQ(escape.kind, TerminalKey::key);
  EXPECT_EQ(escape.keycode, 27);
  EXPECT_EQ(escape.length, 1u);
  EXPECT_EQ(keys("\x1b\x1b[A"), "27/0 38/0 ");
}

TEST(TerminalKeys, UnknownSequencesAreSkippedWhole) {
  EXPECT_EQ(keys("\x1b[?1;2c"
                 "a"),
            "65/0 ");
  EXPECT_EQ(keys("\xe2\x82"), "");
  // Controls beyond ASCII (C1) and the no-break space type no letter.
  EXPECT_EQ(keys("\xc2\x85\xc2\xa0"
                 "b"),
            "66/0 ");
  // A cursor position report that came after its wait: no key, but a
  // modified F3 (which has 1 before its modifier) is still F3.
  EXPECT_EQ(keys("\x1b[24;80R"
                 "a\x1b[1;2R"),
            "65/0 114/1 ");
}

// The letters beyond A to Z reach the game with their characters: typed in
// UTF-8, or reported by code point (kitty's protocol), Shift kept.
TEST(TerminalKeys, LettersBeyondAToZComeWithTheirCharacters) {
  EXPECT_EQ(keys("\xc3\xb1\xc3\xa4\xc3\x9f\xc3\xa9"
                 "b"),
            "0/0:U+00F1 0/0:U+00E4 0/0:U+00DF 0/0:U+00E9 66/0 ");
  EXPECT_EQ(keys("\xd0\xb6"), "0/0:U+0436 ");
  EXPECT_EQ(keys("\x1b[241u\x1b[214;2u"), "0/0:U+00F1 0/1:U+00D6 ");
  // With Ctrl or Alt such a report is no letter typed.
  EXPECT_EQ(keys("\x1b[241;5u"), "");
}

// speech-dispatcher is asked for the language by its own names, and a
// voice list answers whether one speaks it.
TEST(SpeechdVoice, AsksForTheLanguageAndFindsItsVoices) {
  EXPECT_EQ(speechd_language("es"), "es");
  EXPECT_EQ(speechd_language("de_AT"), "de-AT");
  EXPECT_EQ(speechd_language("qps"), "en");
  EXPECT_TRUE(speaks_language({"en", "es-419"}, "es"));
  EXPECT_TRUE(speaks_language({"DE"}, "de-AT"));
  EXPECT_FALSE(speaks_language({"en", "en-US", "esperanto"}, "es"));
  EXPECT_FALSE(speaks_language({}, "es"));
}

// SDL names a key of the layout's own letters by its character.
TEST(SdlKeys, LettersBeyondAToZComeWithTheirCharacters) {
  for (SDL_Keycode key : {SDL_Keycode{0xF1}, SDL_Keycode{0xE4}, SDL_Keycode{0xDF}}) {
    const VirtualKey translated = sdl(key);
    EXPECT_EQ(translated.keycode, 0);
    EXPECT_EQ(translated.character, static_cast<char32_t>(key));
  }
  EXPECT_EQ(sdl(0xF6, KMOD_LSHIFT).shift, mask::Shift);
  EXPECT_EQ(sdl(SDLK_a).character, 0u);
}

// What real terminals send for the keys of the game, in every form: plain
// bytes, xterm's modifyOtherKeys (ESC [ 27 ; m ; c ~), CSI u as tmux's
// extended keys and the kitty keyboard protocol send it, and the keypad.
TEST(TerminalKeys, EveryFormOfTheGameKeys) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string keys;
  };
  const Case cases[] = {
      {"Enter (CR)", "\r", "13/0 "},
      {"Ctrl+J (LF) combines", "\n", "13/1 "},
      {"Backspace (DEL)", "\x7f", "8/0 "},
      {"Ctrl+H (BS) undoes", "\x08", "8/1 "},
      {"Alt+Enter", "\x1b\r", "13/1 "},
      {"Alt+Backspace", "\x1b\x7f", "8/1 "},
      {"Alt+Ctrl+J", "\x1b\n", "13/1 "},
      {"Alt+Ctrl+H", "\x1b\x08", "8/1 "},
      {"xterm's 8-bit Alt+Backspace (y diaeresis)", "\xc3\xbf", "8/1 "},
      {"xterm's 8-bit Alt+Enter (U+008D)", "\xc2\x8d", "13/1 "},
      {"CSI u Shift+Enter", "\x1b[13;2u", "13/1 "},
      {"modifyOtherKeys Shift+Enter", "\x1b[27;2;13~", "13/1 "},
      {"CSI u Shift+Backspace", "\x1b[127;2u", "8/1 "},
      {"modifyOtherKeys Shift+Backspace", "\x1b[27;2;127~", "8/1 "},
      {"CSI u Alt+Enter", "\x1b[13;3u", "13/1 "},
      {"modifyOtherKeys Alt+Backspace", "\x1b[27;3;127~", "8/1 "},
      {"CSI u Ctrl+Enter stays apart", "\x1b[13;5u", "13/2 "},
      {"modifyOtherKeys Ctrl+Enter", "\x1b[27;5;13~", "13/2 "},
      {"CSI u Ctrl+J", "\x1b[106;5u", "13/1 "},
      {"modifyOtherKeys Ctrl+J", "\x1b[27;5;106~", "13/1 "},
      {"CSI u Ctrl+H", "\x1b[104;5u", "8/1 "},
      {"modifyOtherKeys Ctrl+H", "\x1b[27;5;104~", "8/1 "},
      {"Ctrl+C", "\x03", "quit "},
      {"Alt+Ctrl+C", "\x1b\x03", "quit "},
      {"CSI u Ctrl+C", "\x1b[99;5u", "quit "},
      {"CSI u Ctrl+Shift+C", "\x1b[99;6u", "quit "},
      {"kitty Ctrl+C, press event", "\x1b[99;5:1u", "quit "},
      {"modifyOtherKeys Ctrl+C", "\x1b[27;5;99~", "quit "},
      {"modifyOtherKeys Ctrl+Shift+C", "\x1b[27;6;67~", "quit "},
      {"kitty key release is no key", "\x1b[99;5:3u", ""},
      {"Ctrl+letters", "\x01\x0b\x1a", "65/2 75/2 90/2 "},
      {"CSI u Ctrl+letter", "\x1b[107;5u", "75/2 "},
      {"modifyOtherKeys Ctrl+Shift+letter", "\x1b[27;6;75~", "75/3 "},
      {"Ctrl+Space", std::string("\0", 1), "32/2 "},
      {"CSI u Ctrl+Space", "\x1b[32;5u", "32/2 "},
      {"Ctrl+backslash", "\x1c", "220/2 "},
      {"Shift+Tab", "\x1b[Z", "9/1 "},
      {"CSI u Shift+Tab", "\x1b[9;2u", "9/1 "},
      {"modifyOtherKeys Shift+Tab", "\x1b[27;2;9~", "9/1 "},
      {"kitty Escape", "\x1b[27u", "27/0 "},
      {"kitty Alt+letter", "\x1b[97;3u", "65/4 "},
      {"kitty Shift+letter with its alternate key", "\x1b[97:65;2u", "65/1 "},
      {"modifyOtherKeys shifted letter", "\x1b[27;2;65~", "65/1 "},
      {"modifyOtherKeys Ctrl+digit", "\x1b[27;5;49~", "49/2 "},
      {"kitty keypad plus and minus", "\x1b[57413u\x1b[57412u", "107/0 109/0 "},
      {"kitty keypad digits", "\x1b[57399u\x1b[57400u\x1b[57408u", "96/0 97/0 105/0 "},
      {"kitty keypad Enter", "\x1b[57414u\x1b[57414;2u", "13/0 13/1 "},
      {"kitty keypad 5 without Num Lock", "\x1b[57427~\x1b[E", "12/0 12/0 "},
      {"kitty F1 and F3 with modifiers", "\x1b[1;2P\x1b[13;5~", "112/1 114/2 "},
      {"kitty modifier key alone", "\x1b[57441u", ""},
      {"keypad plus, minus, times, divide", "\x1bOk\x1bOm\x1bOj\x1bOo", "107/0 109/0 106/0 111/0 "},
      {"keypad decimal, Enter, equals", "\x1bOn\x1bOM\x1bOX", "110/0 13/0 187/0 "},
      {"keypad digits", "\x1bOp\x1bOq\x1bOy", "96/0 97/0 105/0 "},
  };
  for (const Case& c : cases) EXPECT_EQ(keys(c.bytes), c.keys) << c.what;
}

// Where the terminal's own Backspace sends BS, BS is Backspace; Alt still undoes.
TEST(TerminalKeys, BackspaceThatSendsBs) {
  const auto decode = [](std::string_view bytes) {
    TerminalKey key = decode_terminal_key(bytes, true, true);
    return std::to_string(key.keycode) + "/" + std::to_string(key.shift);
  };
  EXPECT_EQ(decode("\x08"), "8/0");
  EXPECT_EQ(decode("\x7f"), "8/0");
  EXPECT_EQ(decode("\x1b\x08"), "8/1");
  EXPECT_EQ(decode("\n"), "13/1");
}

TEST(TerminalKeys, CharacterCutShortWaitsForItsRest) {
  EXPECT_EQ(decode_terminal_key("\xc3", false).kind, TerminalKey::incomplete);
  EXPECT_EQ(decode_terminal_key("\x1b\xc3", false).kind, TerminalKey::incomplete);
  TerminalKey alone = decode_terminal_key("\xc3", true);
  EXPECT_EQ(alone.kind, TerminalKey::none);
  EXPECT_EQ(alone.length, 1u);
}

TEST(Text, Utf8IsKeptAndCodePage1252IsConverted) {
  EXPECT_EQ(to_utf8("Mud and Mud created."), "Mud and Mud created.");
  EXPECT_EQ(to_utf8("Caf\xc3\xa9"), "Caf\xc3\xa9");
  EXPECT_EQ(to_utf8("Caf\xe9"), "Caf\xc3\xa9");
  EXPECT_EQ(to_utf8("\x80"), "\xe2\x82\xac");
}

TEST(Text, ControlCharactersArePrintedEscaped) {
  EXPECT_EQ(printable_utf8("New discovery!  Combining"), "New discovery!  Combining");
  EXPECT_EQ(printable_utf8("a\x1b[2Jb"), "a\\x1B[2Jb");
  EXPECT_EQ(printable_utf8("line\r\nnext\x7f"), "line\\x0D\\x0Anext\\x7F");
  // A C1 control in UTF-8 and an undefined byte of the code page.
  EXPECT_EQ(printable_utf8("\xc2\x9b"), "\\x9B");
  EXPECT_EQ(printable_utf8("x\x81"), "x\\x81");
}

// Bidirectional controls would show a line, or the rest of it, reversed.
TEST(Text, BidirectionalControlsArePrintedEscaped) {
  struct Case {
    std::string text;
    std::string printed;
  };
  const Case cases[] = {
      {"Mud\u202e and Water", "Mud\\u202E and Water"},
      {"\u202a\u202b\u202c\u202d", "\\u202A\\u202B\\u202C\\u202D"},
      {"\u2066a\u2067b\u2068c\u2069", "\\u2066a\\u2067b\\u2068c\\u2069"},
      {"\u200e\u200f\u061c", "\\u200E\\u200F\\u061C"},
      // Neighbours of the controls, and other characters beyond ASCII, stay.
      {"\u2065\u206a\u2029\u200d\u061b\u202f", "\u2065\u206a\u2029\u200d\u061b\u202f"},
      {"Caf\xe9", "Caf\xc3\xa9"},
      {"\xe2\x80\xa2", "\xe2\x80\xa2"},
  };
  for (const Case& c : cases) EXPECT_EQ(printable_utf8(c.text), c.printed) << c.printed;
}

TEST(Voice, RateIsTenTimesTheGameRateWithinLimits) {
  EXPECT_EQ(speechd_rate(7), 70);
  EXPECT_EQ(speechd_rate(1), 10);
  EXPECT_EQ(speechd_rate(10), 100);
  EXPECT_EQ(speechd_rate(25), 100);
  EXPECT_EQ(speechd_rate(-30), -100);
}

TEST(Scrolling, ShortListsDoNotScroll) {
  EXPECT_EQ(scroll_to_show(0, 15 * 37, 15 * 36, 15, 600), 0);
  EXPECT_EQ(scroll_to_show(40, 15 * 37, 15 * 3, 15, 600), 0);
}

TEST(Scrolling, TheSelectedLineStaysInView) {
  // 100 lines in a 300-pixel view.
  const int bottom = 15 * 101;
  int scroll = scroll_to_show(0, bottom, 15 * 50, 15, 300);
  EXPECT_LE(scroll, 15 * 50);
  EXPECT_GE(scroll + 300, 15 * 51);
  // Moving within the view does not scroll.
  EXPECT_EQ(scroll_to_show(scroll, bottom, 15 * 45, 15, 300), scroll);
  // Back to the top.
  EXPECT_EQ(scroll_to_show(scroll, bottom, 15, 15, 300), 9);
  // Never beyond the end of the list.
  EXPECT_LE(scroll_to_show(0, bottom, 15 * 100, 15, 300), bottom + 6 - 300);
}

}  // namespace
}  // namespace quillvane
