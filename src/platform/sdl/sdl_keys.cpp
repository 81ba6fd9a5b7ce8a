#include "platform/sdl/sdl_keys.h"

namespace quillvane {

int shift_mask(Uint16 modifiers) {
  int mask = 0;
  if (modifiers & KMOD_SHIFT) mask |= 1;
  if (modifiers & KMOD_CTRL) mask |= 2;
  if (modifiers & KMOD_ALT) mask |= 4;
  return mask;
}

namespace {

// Keys whose code does not depend on Num Lock.
int fixed_code(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  switch (key) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_PAUSE:
      return 19;
    case SDLK_CAPSLOCK:
      return 20;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_SPACE:
      return 32;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_END:
      return 35;
    case SDLK_HOME:
      return 36;
    case SDLK_LEFT:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_PRINTSCREEN:
      return 44;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return 46;
    case SDLK_LGUI:
      return 91;
    case SDLK_RGUI:
      return 92;
    case SDLK_APPLICATION:
      return 93;
    case SDLK_KP_MULTIPLY:
      return 106;
    case SDLK_KP_PLUS:
      return 107;
    case SDLK_KP_MINUS:
      return 109;
    case SDLK_KP_DIVIDE:
      return 111;
    case SDLK_NUMLOCKCLEAR:
      return 144;
    case SDLK_SCROLLLOCK:
      return 145;
    case SDLK_SEMICOLON:
      return 186;
    case SDLK_EQUALS:
      return 187;
    case SDLK_COMMA:
      return 188;
    case SDLK_MINUS:
      return 189;
    case SDLK_PERIOD:
      return 190;
    case SDLK_SLASH:
      return 191;
    case SDLK_BACKQUOTE:
      return 192;
    case SDLK_LEFTBRACKET:
      return 219;
    case SDLK_BACKSLASH:
      return 220;
    case SDLK_RIGHTBRACKET:
      return 221;
    case SDLK_QUOTE:
      return 222;
    default:
      return 0;
  }
}

// The keypad's digit and decimal keys: with Num Lock on they are 96 to 105
// and 110; with it off Windows reports the navigation key printed on them.
int keypad_code(SDL_Keycode key, bool num_lock) {
  struct Pair {
    SDL_Keycode key;
    int digit;
    int navigation;
  };
  static constexpr Pair pairs[] = {
      {SDLK_KP_0, 96, 45},  {SDLK_KP_1, 97, 35},  {SDLK_KP_2, 98, 40},      {SDLK_KP_3, 99, 34},
      {SDLK_KP_4, 100, 37}, {SDLK_KP_5, 101, 12}, {SDLK_KP_6, 102, 39},     {SDLK_KP_7, 103, 36},
      {SDLK_KP_8, 104, 38}, {SDLK_KP_9, 105, 33}, {SDLK_KP_PERIOD, 110, 46}};
  for (const Pair& pair : pairs)
    if (pair.key == key) return num_lock ? pair.digit : pair.navigation;
  return 0;
}

int modifier_code(SDL_Keycode key) {
  switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 17;
    case SDLK_LALT:
    case SDLK_RALT:
      return 18;
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
  if (code == 0) return std::nullopt;
  return VirtualKey{code, mask};
}

}  // namespace quillvane
