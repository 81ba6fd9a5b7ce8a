// How a window shows the item list, shared by the window front-ends (SDL,
// Win32, the web page): one line per inventory entry, 15 units apart; the
// selected entry between green brackets; the entries in the two combining
// slots in magenta, the others in black; DejaVu Sans Bold (Windows: the
// game's bold 9.75-point font). Units are pixels at the default size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillvane::layout {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kGreen{0, 220, 0};      // the selection's brackets
inline constexpr Rgb kMagenta{250, 0, 250};  // an entry in a slot
inline constexpr Rgb kBlack{0, 0, 0};        // every other entry

inline constexpr int kBracketX = 10;  // the selection's opening bracket
inline constexpr int kNameX = 20;     // every name
inline constexpr int kLineStep = 15;  // entry i stands at 15 * i

// One piece of text at a place, in a colour.
struct TextLine {
  int x = 0;
  int y = 0;
  std::string text;
  Rgb colour;
  bool operator==(const TextLine&) const = default;
};

// The pieces of text that show the list, in drawing order: for the
// selected entry the green "[" and "name ]" first, then every name in
// magenta (in a slot) or black, drawn over them.
std::vector<TextLine> item_lines(const ItemView& view);

// The top of the selected entry's line, when an entry is selected.
std::optional<int> selected_top(const ItemView& view);

}  // namespace quillvane::layout
