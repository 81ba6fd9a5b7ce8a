// The Linux front-ends' translation tables and helpers: SDL keys to virtual
// keys, terminal bytes to virtual keys, text for speech and the terminal, the
// voice rate and the list's scrolling.
#include <gtest/gtest.h>

#include <string>

#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/speechd/speechd_voice.h"
#include "platform/speechd/text.h"
#include "platform/terminal/terminal_keys.h"

namespace quillvane {
namespace {

VirtualKey sdl(SDL_Keycode key, Uint16 modifiers = KMOD_NONE, bool repeat = false) {
  auto translated = translate_key(key, modifiers, repeat);
  EXPECT_TRUE(translated.has_value()) << "key " << key;
  return translated.value_or(VirtualKey{-1, -1});
}

TEST(SdlKeys, LettersDigitsAndFunctionKeys) {
  EXPECT_EQ(sdl(SDLK_a).keycode, 65);
  EXPECT_EQ(sdl(SDLK_z).keycode, 90);
  EXPECT_EQ(sdl(SDLK_0).keycode, 48);
  EXPECT_EQ(sdl(SDLK_9).keycode, 57);
  EXPECT_EQ(sdl(SDLK_F1).keycode, 112);
  EXPECT_EQ(sdl(SDLK_F12).keycode, 123);
}

TEST(SdlKeys, EditingAndNavigationKeys) {
  const std::pair<SDL_Keycode, int> table[] = {
      {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},    {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 13},
      {SDLK_ESCAPE, 27},   {SDLK_SPACE, 32}, {SDLK_PAGEUP, 33}, {SDLK_PAGEDOWN, 34},
      {SDLK_END, 35},      {SDLK_HOME, 36},  {SDLK_LEFT, 37},   {SDLK_UP, 38},
      {SDLK_RIGHT, 39},    {SDLK_DOWN, 40},  {SDLK_INSERT, 45}, {SDLK_DELETE, 46},
  };
  for (auto [key, code] : table) EXPECT_EQ(sdl(key).keycode, code) << "key " << key;
}

TEST(SdlKeys, PunctuationKeysUseTheOemCodes) {
  const std::pair<SDL_Keycode, int> table[] = {
      {SDLK_SEMICOLON, 186},    {SDLK_EQUALS, 187},      {SDLK_COMMA, 188},
      {SDLK_MINUS, 189},        {SDLK_PERIOD, 190},      {SDLK_SLASH, 191},
      {SDLK_BACKQUOTE, 192},    {SDLK_LEFTBRACKET, 219}, {SDLK_BACKSLASH, 220},
      {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
  };
  for (auto [key, code] : table) EXPECT_EQ(sdl(key).keycode, code) << "key " << key;
}

TEST(SdlKeys, KeypadFollowsNumLock) {
  EXPECT_EQ(sdl(SDLK_KP_0, KMOD_NUM).keycode, 96);
  EXPECT_EQ(sdl(SDLK_KP_1, KMOD_NUM).keycode, 97);
  EXPECT_EQ(sdl(SDLK_KP_9, KMOD_NUM).keycode, 105);
  EXPECT_EQ(sdl(SDLK_KP_PERIOD, KMOD_NUM).keycode, 110);
  // Num Lock off: the navigation keys printed on the keypad.
  EXPECT_EQ(sdl(SDLK_KP_1).keycode, 35);
  EXPECT_EQ(sdl(SDLK_KP_8).keycode, 38);
  EXPECT_EQ(sdl(SDLK_KP_PERIOD).keycode, 46);
  // The operator keys never depend on it.
  for (Uint16 modifiers : {Uint16{KMOD_NONE}, Uint16{KMOD_NUM}}) {
    EXPECT_EQ(sdl(SDLK_KP_MULTIPLY, modifiers).keycode, 106);
    EXPECT_EQ(sdl(SDLK_KP_PLUS, modifiers).keycode, 107);
    EXPECT_EQ(sdl(SDLK_KP_MINUS, modifiers).keycode, 109);
    EXPECT_EQ(sdl(SDLK_KP_DIVIDE, modifiers).keycode, 111);
  }
}

TEST(SdlKeys, ShiftMaskIgnoresNumLockAndCapsLock) {
  EXPECT_EQ(sdl(SDLK_RETURN, KMOD_LSHIFT).shift, 1);
  EXPECT_EQ(sdl(SDLK_RETURN, KMOD_LSHIFT | KMOD_NUM | KMOD_CAPS).shift, 1);
  EXPECT_EQ(sdl(SDLK_RETURN, KMOD_NUM | KMOD_CAPS).shift, 0);
  EXPECT_EQ(sdl(SDLK_a, KMOD_RCTRL).shift, 2);
  EXPECT_EQ(sdl(SDLK_a, KMOD_LALT).shift, 4);
  EXPECT_EQ(sdl(SDLK_a, KMOD_RSHIFT | KMOD_LCTRL | KMOD_RALT).shift, 7);
}

TEST(SdlKeys, ModifierKeysCountOncePerPress) {
  EXPECT_EQ(sdl(SDLK_LSHIFT, KMOD_LSHIFT).keycode, 16);
  EXPECT_EQ(sdl(SDLK_RCTRL, KMOD_RCTRL).keycode, 17);
  EXPECT_EQ(sdl(SDLK_LALT, KMOD_LALT).keycode, 18);
  EXPECT_FALSE(translate_key(SDLK_LSHIFT, KMOD_LSHIFT, true).has_value());
  EXPECT_FALSE(translate_key(SDLK_RALT, KMOD_RALT, true).has_value());
  // Other keys repeat as the platform repeats them.
  EXPECT_EQ(sdl(SDLK_DOWN, KMOD_NONE, true).keycode, 40);
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
    if (key.kind == TerminalKey::key)
      out += std::to_string(key.keycode) + "/" + std::to_string(key.shift) + " ";
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
  EXPECT_EQ(keys("\xc3\xa9"
                 "b"),
            "66/0 ");
  EXPECT_EQ(keys("\xe2\x82"), "");
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
