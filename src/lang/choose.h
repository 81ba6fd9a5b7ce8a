// Language codes: what the player asks for (--language, settings.ini, the
// environment) and the catalogs that may answer it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillvane::lang {

// A code as catalogs are named: "de_AT.UTF-8@euro" and "de-at" give
// "de_AT", "ES" gives "es". Empty for anything that is no language code
// (letters, then optionally "_" or "-" and letters or digits): such text
// never becomes part of a path.
std::string normalize_code(std::string_view raw);

// The catalogs that answer a normalized code, most exact first: "de_AT",
// then "de".
std::vector<std::string> fallbacks(const std::string& code);

// True for English ("en", "en_GB"), which needs no catalog.
bool is_english(std::string_view code);

// The languages the environment asks for, in order, from the variables as
// gettext reads them: LANGUAGE's list, then the first of LC_ALL,
// LC_MESSAGES and LANG that is set. The C and POSIX locales ask for none.
std::vector<std::string> environment_languages(
    const std::function<std::optional<std::string>(const char*)>& variable);

}  // namespace quillvane::lang
