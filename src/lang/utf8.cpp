#include "lang/utf8.h"

#include <cstdint>

namespace quillvane::lang {
namespace {

// Windows-1252 code points for the bytes 0x80 to 0x9F; 0 where the code
// page leaves a byte undefined.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::size_t decode_utf8(std::string_view text, std::size_t at, char32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

bool valid_utf8(std::string_view text) {
  char32_t code = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = decode_utf8(text, at, code);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

char32_t code_page_character(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0 && kCp1252High[byte - 0x80]) return kCp1252High[byte - 0x80];
  return byte;
}

std::string to_utf8(std::string_view text) {
  if (valid_utf8(text)) return std::string(text);
  std::string out;
  each_code_point(text, [&](char32_t code) { append_utf8(out, code); });
  return out;
}

}  // namespace quillvane::lang
