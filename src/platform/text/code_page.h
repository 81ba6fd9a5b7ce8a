// The game's text is single-byte, in the system's ANSI code page, as its
// files are. Windows wants UTF-16 for paths, speech and the caption; these
// convert between the two.
#pragma once

#include <windows.h>

#include <string>

namespace quillvane::win32 {

// Bytes in the ANSI code page to UTF-16. Every byte maps to some character.
inline std::wstring to_wide(const std::string& text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// UTF-16 to the ANSI code page. lossless is set to false when a character
// has no equivalent there and was replaced.
inline std::string to_code_page(const std::wstring& text, bool* lossless = nullptr) {
  if (lossless) *lossless = true;
  if (text.empty()) return {};
  BOOL replaced = FALSE;
  int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, &replaced);
  if (size <= 0) {
    if (lossless) *lossless = false;
    return {};
  }
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, &replaced);
  if (lossless && replaced) *lossless = false;
  return out;
}

// A line the game says or shows, for speech, the caption and the drawn
// list: UTF-8 where it is valid UTF-8 beyond ASCII (a line of a translation,
// whose catalog is UTF-8), else the ANSI code page (the game's own text).
inline std::wstring display_wide(const std::string& text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return to_wide(text);
  const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                       static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return to_wide(text);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// A folder path the game can hold in its single-byte strings: the path
// itself when the code page can spell it, otherwise its short (8.3) form,
// which is plain ASCII.
inline std::string path_in_code_page(const std::wstring& path) {
  bool lossless = true;
  std::string narrow = to_code_page(path, &lossless);
  if (lossless) return narrow;
  DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return narrow;
  std::wstring short_path(size, L'\0');
  DWORD written = GetShortPathNameW(path.c_str(), short_path.data(), size);
  if (written == 0 || written >= size) return narrow;
  short_path.resize(written);
  return to_code_page(short_path);
}

}  // namespace quillvane::win32
