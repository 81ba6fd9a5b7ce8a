// The interactive front-ends on Linux: the SDL window when there is a display,
// otherwise the terminal when standard input is one.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "app/data_folder.h"
#include "app/frontends.h"
#include "game/run_game.h"
#include "platform/clock.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/terminal/terminal_platform.h"

namespace quillvane {

namespace {

bool has_display() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// The folder the cues are found in: beside the program in a build tree, or
// the shared data folder of an installed copy (PREFIX/share/quillvane).
std::string sounds_parent() {
  const std::string own = executable_folder();
  std::error_code error;
  if (std::filesystem::is_directory(own + "/sounds", error)) return own;
  const std::string shared = own + "/../share/quillvane";
  if (std::filesystem::is_directory(shared + "/sounds", error))
    return std::filesystem::weakly_canonical(shared, error).string();
  return own;
}

int run_window(const FrontendOptions& options) {
  SdlPlatform platform(sounds_parent(), options.data_dir, options.seed);
  platform.set_language(options.language);
  platform.set_braille(options.braille);
  if (!platform.open()) return 1;
  return run_game(platform);
}

int run_terminal(const FrontendOptions& options) {
  TerminalPlatform platform(STDIN_FILENO, STDOUT_FILENO, sounds_parent(), options.data_dir,
                            options.seed);
  platform.set_language(options.language);
  platform.set_braille(options.braille);
  if (!platform.open()) {
    std::cerr << "quillvane: standard input is not a terminal\n";
    return 2;
  }
  const int status = run_game(platform);
  platform.restore();
  return status;
}

}  // namespace

void say_before_leaving(const std::string& text, const std::string& code) {
  SpeechdVoice voice([] {});
  voice.set_language(code, "");
  voice.speak_purge(text);
  // Time for a daemon that is being started to answer; the voice's own end
  // then gives the line a moment to go out.
  const double until = monotonic_seconds() + 1.5;
  while (voice.state() == SpeechdVoice::State::connecting && monotonic_seconds() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int run_interactive(const FrontendOptions& options, Frontend choice) {
  if (choice == Frontend::window) return run_window(options);
  if (choice == Frontend::terminal) return run_terminal(options);
  if (has_display()) return run_window(options);
  if (isatty(STDIN_FILENO)) return run_terminal(options);
  std::cerr << "quillvane: no display and no terminal to play in. To play from a key script, "
               "run: quillvane --script FILE (see quillvane --help)\n";
  return 2;
}

}  // namespace quillvane
