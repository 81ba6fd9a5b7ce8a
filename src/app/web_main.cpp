// The page's entry points: start the game (the Start button), and check a
// player's files before they are stored (the Load files button).
#include <emscripten.h>

#include <string>

#include "game/run_game.h"
#include "platform/files.h"
#include "platform/web/web_platform.h"

namespace {

EM_JS(void, web_game_ended, (), { Module.page.ended(); });

}  // namespace

extern "C" {

// Plays the game in the data folder until it ends the program. The page
// calls it once, after the player's first press, through an async ccall:
// every wait suspends it and hands the page back to the browser.
EMSCRIPTEN_KEEPALIVE void quillvane_web_start() {
  using namespace quillvane;
  static WebPlatform platform("/data");
  run_game(platform);
  web_game_ended();
}

// "" when the progress.ini and achievements.ini the page put in /check can
// be read as the game reads them, else the name of the one it would refuse.
// The page calls it directly (not through ccall, which would take it for
// the suspended game's call).
EMSCRIPTEN_KEEPALIVE const char* quillvane_check_files() {
  static std::string result;
  using quillvane::files::FileReader;
  result = quillvane::refused_saved_file(FileReader::open("/check/progress.ini"),
                                         FileReader::open("/check/achievements.ini"));
  return result.c_str();
}
}
