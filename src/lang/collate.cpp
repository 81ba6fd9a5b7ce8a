#include "lang/collate.h"

#include "lang/utf8.h"

namespace quillvane::lang {
namespace {

// The base letter of U+00C0 to U+017F; '*' for a letter that weighs as two
// (Æ, Þ, ß, Ĳ, Œ), '-' for a character that is no letter (×, ÷).
constexpr std::string_view kLatinBase =
    "aaaaaa*ceeeeiiiidnooooo-ouuuuy**aaaaaa*ceeeeiiiidnooooo-ouuuuy*y"
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii**jjkkkllllllllllnnnnnnnnn"
    "oooooo**rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";

// The two letters a ligature or ß weighs as.
std::string_view pair_of(char32_t c) {
  switch (c) {
    case 0xC6:
    case 0xE6:
      return "ae";
    case 0xDE:
    case 0xFE:
      return "th";
    case 0xDF:
      return "ss";
    case 0x132:
    case 0x133:
      return "ij";
    case 0x152:
    case 0x153:
      return "oe";
    default:
      return {};
  }
}

// Lower case for the alphabets beyond Latin that have one.
char32_t lower_other(char32_t c) {
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

bool is_letter_or_digit(char32_t c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
  if (c == 0xD7 || c == 0xF7) return false;
  // Past Latin-1, general punctuation and symbols are no letters; the rest
  // of the alphabets are.
  if (c >= 0x2000 && c <= 0x2BFF) return false;
  if (c >= 0x3000 && c <= 0x303F) return false;
  return true;
}

// Appends the weights of one character.
void weigh(std::u32string& key, char32_t c, std::string_view language) {
  if (c == ' ' || c == 0xA0) {
    key.push_back(' ' * 2);
    return;
  }
  if (!is_letter_or_digit(c)) return;
  if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
  if (c >= 0xC0 && c <= 0x17F) {
    // Spanish ñ is a letter of its own, between n and o.
    if (language == "es" && (c == 0xD1 || c == 0xF1)) {
      key.push_back('n' * 2 + 1);
      return;
    }
    const char base = kLatinBase[c - 0xC0];
    if (base == '*') {
      for (char letter : pair_of(c)) key.push_back(static_cast<char32_t>(letter) * 2);
      return;
    }
    if (base != '-') {
      key.push_back(static_cast<char32_t>(base) * 2);
      return;
    }
  }
  key.push_back(lower_other(c) * 2);
}

std::string_view base_language(std::string_view language) {
  return language.substr(0, language.find('_'));
}

}  // namespace

std::u32string sort_key(std::string_view name, std::string_view language) {
  const std::string_view base = base_language(language);
  std::u32string key;
  each_code_point(name, [&](char32_t c) { weigh(key, c, base); });
  return key;
}

char32_t first_letter(std::string_view name, std::string_view language) {
  for (char32_t weight : sort_key(name, language))
    if (weight != ' ' * 2) return weight;
  return 0;
}

char32_t letter_weight(char32_t character, std::string_view language) {
  std::u32string key;
  weigh(key, character, base_language(language));
  return key.empty() || key[0] == ' ' * 2 ? 0 : key[0];
}

}  // namespace quillvane::lang
