// The keys the game tells apart, as the platform hands them over in
// Event::keycode (Windows virtual-key codes), and the shift mask of
// Event::shift. Every front-end translates its native keys into these.
#pragma once

namespace quillvane {

namespace vk {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Clear = 12;  // the keypad's 5 without Num Lock
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Ctrl = 17;
inline constexpr int Alt = 18;
inline constexpr int Pause = 19;
inline constexpr int CapsLock = 20;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int PrintScreen = 44;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int Digit0 = 48;  // the main keyboard's 0 to 9 are 48 to 57
inline constexpr int Digit1 = 49;
inline constexpr int Digit2 = 50;
inline constexpr int Digit3 = 51;
inline constexpr int Digit4 = 52;
inline constexpr int Digit5 = 53;
inline constexpr int A = 65;  // the letters A to Z are 65 to 90
inline constexpr int M = 77;
inline constexpr int T = 84;
inline constexpr int LeftWindows = 91;
inline constexpr int RightWindows = 92;
inline constexpr int Apps = 93;  // the context menu key
inline constexpr int Num0 = 96;  // the keypad's 0 to 9 are 96 to 105
inline constexpr int NumMultiply = 106;
inline constexpr int NumPlus = 107;
inline constexpr int NumSeparator = 108;
inline constexpr int NumMinus = 109;
inline constexpr int NumDecimal = 110;
inline constexpr int NumDivide = 111;
inline constexpr int F1 = 112;  // F1 to F24 are 112 to 135
inline constexpr int F12 = 123;
inline constexpr int NumLock = 144;
inline constexpr int ScrollLock = 145;
inline constexpr int Semicolon = 186;
inline constexpr int Plus = 187;  // the plus/equals key
inline constexpr int Comma = 188;
inline constexpr int Minus = 189;
inline constexpr int Period = 190;
inline constexpr int Slash = 191;
inline constexpr int Backquote = 192;
inline constexpr int OpenBracket = 219;
inline constexpr int Backslash = 220;
inline constexpr int CloseBracket = 221;
inline constexpr int Quote = 222;

// The code of a letter A to Z (either case), a main-keyboard digit, a
// keypad digit, and function key n (1 to 24).
constexpr int letter(char c) { return A + (c >= 'a' ? c - 'a' : c - 'A'); }
constexpr int digit(int n) { return Digit0 + n; }
constexpr int num_digit(int n) { return Num0 + n; }
constexpr int function_key(int n) { return F1 + n - 1; }
}  // namespace vk

// The shift mask that comes with a key.
namespace mask {
inline constexpr int None = 0;
inline constexpr int Shift = 1;
inline constexpr int Ctrl = 2;
inline constexpr int Alt = 4;
}  // namespace mask

}  // namespace quillvane
