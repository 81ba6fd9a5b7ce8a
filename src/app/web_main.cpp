// The page's entry points: start the game (the Start button), check a
// player's files before they are stored (the Load files button), and keep
// the language the player chose on the page.
#include <emscripten.h>

#include <string>

#include "app/language.h"
#include "game/run_game.h"
#include "platform/files.h"
#include "platform/web/web_platform.h"

namespace {

EM_JS(void, web_game_ended, (), { Module.page.ended(); });

constexpr const char* kDataFolder = "/data";
constexpr const char* kSettings = "/data/settings.ini";
// The catalogs the page fetched from the site's locale/ folder.
constexpr const char* kLocaleFolder = "/locale";

}  // namespace

extern "C" {

// Plays the game in the data folder until it ends the program. The page
// calls it once, after the player's first press, through an async ccall:
// every wait suspends it and hands the page back to the browser.
// page_language: the language the page speaks when settings.ini keeps none
// (the first of the browser's languages that the site has a catalog for,
// else "en"), the web's side of the environment's languages: settings.ini's
// code comes first, as on the desktop, and a code there with no catalog is
// said once and plays English.
EMSCRIPTEN_KEEPALIVE void quillvane_web_start(const char* page_language) {
  using namespace quillvane;
  static WebPlatform platform(kDataFolder);
  platform.set_language(
      choose_language({"", {std::string(page_language)}, kDataFolder, kLocaleFolder}));
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

// The code settings.ini keeps ("" for none), read as the game reads it: the
// page's language follows the player's choice, which Load files may bring.
EMSCRIPTEN_KEEPALIVE const char* quillvane_kept_language() {
  static std::string kept;
  kept = quillvane::saved_settings(quillvane::files::FileReader::open(kSettings)).language;
  return kept.c_str();
}

// The language chosen on the page, kept as settings.ini's third line with
// the file's other lines as they are: 1 when the file was written anew, 0
// when it already kept that code or could not be written. Called directly,
// as the files' check is, also while the game runs (the game then keeps
// its own language until the page is loaded again).
EMSCRIPTEN_KEEPALIVE int quillvane_keep_language(const char* code) {
  using namespace quillvane;
  SettingsRecord settings = saved_settings(files::FileReader::open(kSettings));
  if (settings.language == code) return 0;
  settings.language = code;
  return files::replace_atomically(kSettings, write_settings(settings)) ? 1 : 0;
}
}
