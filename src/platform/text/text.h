// Text the game produces is single-byte (Windows-1252) as on its home
// platform, while every Linux output (speech-dispatcher, window titles, the
// terminal) wants UTF-8. These helpers bridge the two.
#pragma once

#include <string>
#include <string_view>

namespace quillvane {

// Text that is already valid UTF-8 is kept as it is (a cheat.ini written on
// Linux); anything else is read as Windows-1252.
std::string to_utf8(std::string_view text);

// Like to_utf8, and every control character (C0, DEL, C1) is shown as \xNN
// and every bidirectional control (embeddings, overrides, isolates, marks)
// as \uNNNN, so that nothing the game prints can drive the terminal or show
// a line reversed.
std::string printable_utf8(std::string_view text);

}  // namespace quillvane
