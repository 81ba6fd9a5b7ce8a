#include "platform/sdl/sdl_keys.h"

#include "platform/keys.h"

namespace quillvane {

int shift_mask(Uint16 modifiers) {
  int bits = mask::None;
  if (modifiers & KMOD_SHIFT) bits |= mask::Shift;
  if (modifiers & KMOD_CTRL) bits |= mask::Ctrl;
  if (modifiers & KMOD_ALT) bits |= mask::Alt;
  return bits;
}

namespace {

// Keys whose code does not depend on Num Lock.
int fixed_code(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return vk::letter(static_cast<char>('a' + (key - SDLK_a)));
  if (key >= SDLK_0 && key <= SDLK_9) return vk::digit(key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return vk::function_key(1 + (key - SDLK_F1));
  switch (key) {
    case SDLK_BACKSPACE:
      return vk::Backspace;
    case SDLK_TAB:
      return vk::Tab;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
      return vk::Enter;
    case SDLK_PAUSE:
      return vk::Pause;
    case SDLK_CAPSLOCK:
      return vk::CapsLock;
    case SDLK_ESCAPE:
      return vk::Escape;
    case SDLK_SPACE:
      return vk::Space;
    case SDLK_PAGEUP:
      return vk::PageUp;
    case SDLK_PAGEDOWN:
      return vk::PageDown;
    case SDLK_END:
      return vk::End;
    case SDLK_HOME:
      return vk::Home;
    case SDLK_LEFT:
      return vk::Left;
    case SDLK_UP:
      return vk::Up;
    case SDLK_RIGHT:
      return vk::Right;
    case SDLK_DOWN:
      return vk::Down;
    case SDLK_PRINTSCREEN:
      return vk::PrintScreen;
    case SDLK_INSERT:
      return vk::Insert;
    case SDLK_DELETE:
      return vk::Delete;
    case SDLK_LGUI:
      return vk::LeftWindows;
    case SDLK_RGUI:
      return vk::RightWindows;
    case SDLK_APPLICATION:
      return vk::Apps;
    case SDLK_KP_MULTIPLY:
      return vk::NumMultiply;
    case SDLK_KP_PLUS:
      return vk::NumPlus;
    case SDLK_KP_MINUS:
      return vk::NumMinus;
    case SDLK_KP_DIVIDE:
      return vk::NumDivide;
    case SDLK_NUMLOCKCLEAR:
      return vk::NumLock;
    case SDLK_SCROLLLOCK:
      return vk::ScrollLock;
    case SDLK_SEMICOLON:
      return vk::Semicolon;
    case SDLK_EQUALS:
      return vk::Plus;
    case SDLK_COMMA:
      return vk::Comma;
    case SDLK_MINUS:
      return vk::Minus;
    case SDLK_PERIOD:
      return vk::Period;
    case SDLK_SLASH:
      return vk::Slash;
    case SDLK_BACKQUOTE:
      return vk::Backquote;
    case SDLK_LEFTBRACKET:
      return vk::OpenBracket;
    case SDLK_BACKSLASH:
      return vk::Backslash;
    case SDLK_RIGHTBRACKET:
      return vk::CloseBracket;
    case SDLK_QUOTE:
      return vk::Quote;
    default:
      return 0;
  }
}

// The keypad's digit and decimal keys: with Num Lock on they are the keypad's
// digits and decimal; with it off Windows reports the navigation key printed on them.
int keypad_code(SDL_Keycode key, bool num_lock) {
  struct Pair {
    SDL_Keycode key;
    int digit;
    int navigation;
  };
  static constexpr Pair pairs[] = {
      {SDLK_KP_0, vk::num_digit(0), vk::Insert},   {SDLK_KP_1, vk::num_digit(1), vk::End},
      {SDLK_KP_2, vk::num_digit(2), vk::Down},     {SDLK_KP_3, vk::num_digit(3), vk::PageDown},
      {SDLK_KP_4, vk::num_digit(4), vk::Left},     {SDLK_KP_5, vk::num_digit(5), vk::Clear},
      {SDLK_KP_6, vk::num_digit(6), vk::Right},    {SDLK_KP_7, vk::num_digit(7), vk::Home},
      {SDLK_KP_8, vk::num_digit(8), vk::Up},       {SDLK_KP_9, vk::num_digit(9), vk::PageUp},
      {SDLK_KP_PERIOD, vk::NumDecimal, vk::Delete}};
  for (const Pair& pair : pairs)
    if (pair.key == key) return num_lock ? pair.digit : pair.navigation;
  return 0;
}

int modifier_code(SDL_Keycode key) {
  switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return vk::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return vk::Ctrl;
    case SDLK_LALT:
    case SDLK_RALT:
      return vk::Alt;
    default:
      return 0;
  }
}

}  // namespace

std::optional<VirtualKey> translate_key(SDL_Keycode key, Uint16 modifiers, bool repeat) {
  const int mask = shift_mask(modifiers);
  if (int code = modifier_code(key)) {
    // A held modifier counts once per press.
    if (repeat) return std::nullopt;
    return VirtualKey{code, mask};
  }
  int code = fixed_code(key);
  if (code == 0) code = keypad_code(key, (modifiers & KMOD_NUM) != 0);
  // SDL names a key that types a character by that character: beyond ASCII
  // (ñ, ä, ö, ü, ß on their keyboards) it is a letter with no key code.
  if (code == 0 && key >= 0xA1 && !(key & SDLK_SCANCODE_MASK) && key <= 0x10FFFF)
    return VirtualKey{0, mask, static_cast<char32_t>(key)};
  if (code == 0) return std::nullopt;
  return VirtualKey{code, mask};
}

}  // namespace quillvane
