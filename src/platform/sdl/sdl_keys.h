// SDL key-downs as the game knows keys: Windows virtual-key codes and the
// shift mask (1 Shift, 2 Ctrl, 4 Alt), translated once here at the edge.
#pragma once

#include <SDL.h>

#include <optional>

namespace quillvane {

struct VirtualKey {
  int keycode = 0;
  int shift = 0;
  // A letter beyond A to Z that the layout puts on the key (ñ, ä, ß): SDL
  // names such a key by its character, and it has no key code (0).
  char32_t character = 0;
};

// The virtual key for an SDL key-down, or nullopt for a key the game never
// hears of (or an auto-repeated modifier key). Num Lock selects the keypad's
// digits or its navigation keys, as on Windows.
std::optional<VirtualKey> translate_key(SDL_Keycode key, Uint16 modifiers, bool repeat);

// The shift mask of SDL's modifier state; Num Lock and Caps Lock are left out.
int shift_mask(Uint16 modifiers);

}  // namespace quillvane
