// Orders and finds names as a player of the language hears them: case- and
// accent-blind, the language's own letters where it has them (Spanish ñ
// after n; German ä, ö, ü as a, o, u and ß as ss). Used for every language
// but English, whose order and letter jump are the game's own.
#pragma once

#include <string>
#include <string_view>

namespace quillvane::lang {

// The name's sort key (UTF-8 in): each letter by its weight, digits and
// spaces kept, punctuation left out, so that "[Iron]" and "Iron" weigh the
// same and a space weighs less than any letter.
std::u32string sort_key(std::string_view name, std::string_view language);

// The weight a player presses to reach the name: the first letter or digit
// of its key, 0 when it has none.
char32_t first_letter(std::string_view name, std::string_view language);

// The weight of a typed character (a code point), 0 for a character that
// is no letter or digit.
char32_t letter_weight(char32_t character, std::string_view language);

}  // namespace quillvane::lang
