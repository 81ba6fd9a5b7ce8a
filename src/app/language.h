// The player's language, chosen once as the program starts: --language on
// the command line, else the code settings.ini keeps, else (in the
// interactive editions) the environment's languages, else English. A
// catalog is looked for as LOCALE_FOLDER/CODE/LC_MESSAGES/quillvane.mo,
// the most exact code first ("de_AT", then "de").
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillvane {

struct LanguageRequest {
  std::string command_line;  // --language's code; "" when not given
  // The environment's languages, most wanted first (the interactive
  // editions ask the system; a key script plays English unless told).
  std::vector<std::string> environment;
  std::string data_folder;    // where settings.ini is
  std::string locale_folder;  // where the catalogs are
};

LanguageSetting choose_language(const LanguageRequest& request);

// The catalogs' folder of this program: beside it in a build tree or the
// Windows zip (locale/), else PREFIX/share/locale of an installed copy.
std::string program_locale_folder();

// The languages the system's settings ask for, most wanted first: on Linux
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG; on Windows the user's interface
// languages.
std::vector<std::string> system_languages();

}  // namespace quillvane
