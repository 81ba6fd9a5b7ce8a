// quillvane: the command line. Picks a front-end and runs the game in it.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

#include "app/data_folder.h"
#include "app/frontends.h"
#include "platform/headless/headless_platform.h"

int main(int argc, char** argv) {
  using namespace quillvane;
  CLI::App app{
      "Quillvane: a puzzle game of discovery, played with the keyboard and heard through speech.\n"
      "With no options the game opens its window when a display is available, otherwise it plays\n"
      "in the terminal. --script plays headless from a key script and writes a transcript."
#ifndef _WIN32
      "\nIn the terminal, where Shift+Enter or Shift+Backspace cannot be typed (as in xterm, tmux\n"
      "or the Linux console), Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes;\n"
      "Ctrl+C quits. With neither a display nor a terminal the game exits with status 2. Saved\n"
      "files live beside the program, or in $XDG_DATA_HOME/quillvane (else\n"
      "~/.local/share/quillvane) when that folder cannot be written."
#endif
  };
  app.set_version_flag("--version", std::string("quillvane ") + kQuillvaneVersion);

  std::string script, data_dir, transcript;
  std::optional<std::uint32_t> seed;
  bool window = false, terminal = false;
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
  auto* window_flag = app.add_flag("--window", window, "Play in a window (needs a display)");
  app.add_flag("--terminal", terminal, "Play in this terminal")->excludes(window_flag);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int status = app.exit(error);
    return status == 0 ? 0 : 2;
  }

  FrontendOptions options;
  options.data_dir = data_dir.empty() ? choose_data_folder() : data_dir;
  options.seed = seed;
  if (!script.empty()) {
    if (window || terminal) {
      std::cerr << "quillvane: --script cannot be used with --window or --terminal\n";
      return 2;
    }
    HeadlessOptions headless{script, options.data_dir, seed, transcript};
    return run_headless(headless);
  }
  if (!transcript.empty()) {
    std::cerr << "quillvane: --transcript needs --script\n";
    return 2;
  }
  return run_interactive(options, window     ? Frontend::window
                                  : terminal ? Frontend::terminal
                                             : Frontend::automatic);
}
