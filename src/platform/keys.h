// The keys the game tells apart, as the platform hands them over in
// Event::keycode (Windows virtual-key codes), and the shift mask of
// Event::shift. Every front-end translates its native keys into these.
#pragma once

namespace quillvane {

namespace vk {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Ctrl = 17;
inline constexpr int Escape = 27;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Delete = 46;
inline constexpr int Digit1 = 49;  // the main keyboard's 1 to 5
inline constexpr int Digit2 = 50;
inline constexpr int Digit3 = 51;
inline constexpr int Digit4 = 52;
inline constexpr int Digit5 = 53;
inline constexpr int T = 84;
inline constexpr int NumPlus = 107;
inline constexpr int NumMinus = 109;
inline constexpr int F12 = 123;
inline constexpr int Plus = 187;  // the plus/equals key
inline constexpr int Minus = 189;
}  // namespace vk

// The shift mask that comes with a key.
namespace mask {
inline constexpr int None = 0;
inline constexpr int Shift = 1;
inline constexpr int Ctrl = 2;
inline constexpr int Alt = 4;
}  // namespace mask

}  // namespace quillvane
