// UTF-8 and the game's single-byte text. The game's own strings (item names,
// the files) are single-byte, Windows-1252 as on its home platform; the
// catalogs of the translations, and every line said in a language other
// than English, are UTF-8. These helpers read and write both.
#pragma once

#include <string>
#include <string_view>

namespace quillvane::lang {

// Decodes the UTF-8 sequence at text[at] into code; returns its length, or 0
// when the bytes there are not well-formed UTF-8.
std::size_t decode_utf8(std::string_view text, std::size_t at, char32_t& code);

// Whether the whole text is well-formed UTF-8 (plain ASCII is).
bool valid_utf8(std::string_view text);

// Appends code point code to out in UTF-8.
void append_utf8(std::string& out, char32_t code);

// The code point of a byte of Windows-1252: 0x80 to 0x9F map to their
// characters (U+0080 + the byte where the code page leaves it undefined).
char32_t code_page_character(unsigned char byte);

// Text that is already valid UTF-8 is kept as it is (a cheat.ini written on
// Linux); anything else is read as Windows-1252.
std::string to_utf8(std::string_view text);

// Calls visit with each code point of text: UTF-8 when the whole text is
// valid UTF-8, else each byte read as Windows-1252.
template <typename Visit>
void each_code_point(std::string_view text, Visit visit) {
  if (valid_utf8(text)) {
    char32_t code = 0;
    for (std::size_t at = 0; at < text.size();) {
      at += decode_utf8(text, at, code);
      visit(code);
    }
    return;
  }
  for (char c : text) visit(code_page_character(static_cast<unsigned char>(c)));
}

}  // namespace quillvane::lang
