// The interactive front-ends and how the program picks one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "quillvane/version.h"

namespace quillvane {

struct FrontendOptions {
  std::string data_dir;
  std::optional<std::uint32_t> seed;
  LanguageSetting language;
  BrailleSetting braille;
};

enum class Frontend { automatic, window, terminal };

struct HeadlessOptions {
  std::string script;  // "-" is standard input
  std::string data_dir;
  std::optional<std::uint32_t> seed;
  std::string transcript;  // empty: standard output
  // --language's code ("" when not given): a key script plays English
  // unless it is given or settings.ini keeps a language; the environment
  // is not asked, so that a transcript is the same on every machine.
  std::string language;
  std::string locale_folder;  // where the catalogs are
};

// Plays a whole game from a key script on the headless front-end, writing
// its transcript; returns the process's exit status (2 for a script or
// transcript it cannot use).
int run_headless(const HeadlessOptions& options);

// Says a line at once in the voice, before the program leaves without a
// game (the data folder is taken); standard error has it already. code is
// the language's.
void say_before_leaving(const std::string& text, const std::string& code);

// Runs the game in a window or the terminal; returns the exit status.
int run_interactive(const FrontendOptions& options, Frontend choice);

}  // namespace quillvane
