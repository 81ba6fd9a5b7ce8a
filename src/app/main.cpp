// quillvane: the command line. Picks a front-end and runs the game in it.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "app/data_folder.h"
#include "app/frontends.h"
#include "app/language.h"
#include "lang/format.h"
#include "platform/files.h"
#include "storage/files.h"

namespace {

// The game's own braille display: the command line's choice (kept by the
// game for the next start), else the one settings.ini keeps.
quillvane::BrailleSetting choose_braille(bool on, bool off, const std::string& data_folder) {
  using namespace quillvane;
  if (on || off) return BrailleSetting{on, true};
  const auto bytes = files::read_whole(data_folder + "/settings.ini");
  return BrailleSetting{bytes && read_settings(*bytes).braille == 1, false};
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quillvane;
  CLI::App app{
      "Quillvane: a puzzle game of discovery, played with the keyboard and heard through speech.\n"
      "With no options the game opens its window when a display is available, otherwise it plays\n"
      "in the terminal. --script plays headless from a key script and writes a transcript.\n"
      "Everywhere, Home says the last line again, Page Up and Page Down step through the last\n"
      "100 lines, End says where you are, Ctrl stops the voice and F12 sets the sound volume."
#ifndef _WIN32
      "\nIn the terminal, where Shift+Enter or Shift+Backspace cannot be typed (as in xterm, tmux\n"
      "or the Linux console), Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes;\n"
      "Ctrl+C quits. With neither a display nor a terminal the game exits with status 2. Saved\n"
      "files live in $XDG_DATA_HOME/quillvane (else ~/.local/share/quillvane); only one copy of\n"
      "the game may use a data folder at a time."
#endif
  };
  app.set_version_flag("--version", std::string("quillvane ") + kQuillvaneVersion);

  std::string script, data_dir, transcript, language;
  std::optional<std::uint32_t> seed;
  bool window = false, terminal = false, braille = false, no_braille = false;
  app.add_option("--script", script,
                 "Play headless from the key script FILE (- for standard input)")
      ->type_name("FILE");
  app.add_option("--data-dir", data_dir,
                 "Folder of progress.ini, achievements.ini, mylegacy.txt, log.txt and cheat.ini")
      ->type_name("DIR");
  app.add_option("--seed", seed, "Seed the random source with N instead of the time of day")
      ->type_name("N");
  app.add_option("--transcript", transcript,
                 "Headless: write the transcript to OUT instead of standard output")
      ->type_name("OUT");
  app.add_option("--language", language,
                 "Play in the language CODE (es, de, en), kept for the next start; by default "
                 "the system's language (a key script plays English)")
      ->type_name("CODE");
  auto* window_flag = app.add_flag("--window", window, "Play in a window (needs a display)");
  app.add_flag("--terminal", terminal, "Play in this terminal")->excludes(window_flag);
#ifndef _WIN32
  auto* braille_flag =
      app.add_flag("--braille", braille,
                   "Show every line on the braille display through BRLTTY (BrlAPI), from its "
                   "first character; kept for the next start");
  app.add_flag("--no-braille", no_braille, "Leave the braille display to BRLTTY; kept")
      ->excludes(braille_flag);
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int status = app.exit(error);
    return status == 0 ? 0 : 2;
  }

  // A command line that cannot be played touches no data folder.
  if (!script.empty() && (window || terminal)) {
    std::cerr << "quillvane: --script cannot be used with --window or --terminal\n";
    return 2;
  }
  if (script.empty() && !transcript.empty()) {
    std::cerr << "quillvane: --transcript needs --script\n";
    return 2;
  }
  if (!script.empty() && (braille || no_braille)) {
    std::cerr << "quillvane: --script cannot be used with --braille or --no-braille\n";
    return 2;
  }

  FrontendOptions options;
  options.seed = seed;
  const bool folder_named = app.count("--data-dir") > 0;
  if (folder_named && data_dir.empty()) {
    std::cerr << "quillvane: --data-dir needs a folder name\n";
    return 2;
  }
  options.data_dir = folder_named ? data_dir : default_data_folder();
  if (options.data_dir.empty()) {
    std::cerr << "quillvane: no data folder: set HOME or XDG_DATA_HOME, or use --data-dir\n";
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(options.data_dir), error);
  if (error && !std::filesystem::is_directory(std::filesystem::path(options.data_dir))) {
    std::cerr << "quillvane: cannot make the data folder " << options.data_dir << ": "
              << error.message() << '\n';
    // A named folder that cannot be made is a mistake in the command line;
    // the default one only means the saves will fail, which the game says.
    if (folder_named) return 2;
  }
  if (app.count("--language") > 0 && language.empty()) {
    std::cerr << "quillvane: --language needs a code, such as es or de\n";
    return 2;
  }
  // The language is chosen before anything is said.
  const std::string locale_folder = program_locale_folder();
  options.language =
      choose_language({language, script.empty() ? system_languages() : std::vector<std::string>{},
                       options.data_dir, locale_folder});
  options.braille = choose_braille(braille, no_braille, options.data_dir);
  // Two copies on one folder would overwrite each other's saves.
  files::FolderLock lock(options.data_dir);
  if (lock.state() == files::FolderLock::State::busy) {
    const std::string message(
        options.language.catalog->text(N_("Quillvane is already running with this data folder.")));
    std::cerr << message << '\n';
    if (script.empty()) say_before_leaving(message, options.language.catalog->code());
    return 1;
  }
  // The folder is this game's now: the temporary files of saves a crash
  // interrupted go before the game reads its saves.
  if (lock.state() == files::FolderLock::State::held) remove_interrupted_saves(options.data_dir);
  if (!folder_named) {
    if (int copied = adopt_saves_beside_program(options.data_dir))
      std::cerr << "quillvane: copied " << copied << " saved file" << (copied == 1 ? "" : "s")
                << " from " << executable_folder() << " to " << options.data_dir << '\n';
  }
  if (!script.empty()) {
    HeadlessOptions headless{script, options.data_dir, seed, transcript, language, locale_folder};
    return run_headless(headless);
  }
  return run_interactive(options, window     ? Frontend::window
                                  : terminal ? Frontend::terminal
                                             : Frontend::automatic);
}
