// Fills a sentence's template: "%1$s in slot 1." with its arguments. A
// translation may put the arguments in any order ("%2$s ... %1$s"); numbers
// are handed over as their decimal digits, so %d and %s both insert the
// argument's text. Plain %s and %d take the arguments in turn, and %% is a
// percent sign. A directive whose argument is missing is left as it is.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quillvane::lang {

std::string format(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace quillvane::lang

// Marks an English text for the translators' template without looking it up
// (a table's entries, looked up where they are said): N_("text"), and in a
// context NC_("item", "Dirt").
#define N_(text) text
#define NC_(context, text) text
