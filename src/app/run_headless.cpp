// The headless runner's entry: opens the key script and the transcript, and
// plays a whole game on the headless front-end.
#include <fstream>
#include <iostream>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/frontends.h"
#include "app/language.h"
#include "game/run_game.h"
#include "platform/headless/headless_platform.h"

namespace quillvane {

int run_headless(const HeadlessOptions& options) {
  std::ifstream file;
  std::istream* in = &std::cin;
  if (options.script != "-") {
    file.open(options.script, std::ios::binary);
    if (!file) {
      std::cerr << "quillvane: cannot read the key script " << options.script << '\n';
      return 2;
    }
    in = &file;
  }
  std::ofstream out_file;
  std::ostream* out = &std::cout;
#ifdef _WIN32
  // The transcript's lines end in a bare line feed on every system.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (!options.transcript.empty()) {
    out_file.open(options.transcript, std::ios::binary | std::ios::trunc);
    if (!out_file) {
      std::cerr << "quillvane: cannot write the transcript " << options.transcript << '\n';
      return 2;
    }
    out = &out_file;
  }

  KeyScript script(*in);
  Transcript transcript(*out);
  HeadlessPlatform platform(script, options.data_dir, options.seed, &transcript);
  platform.set_language(
      choose_language({options.language, {}, options.data_dir, options.locale_folder}));
  int status = 0;
  try {
    status = run_game(platform);
  } catch (const ScriptError& error) {
    std::cerr << "quillvane: key script line " << error.line << ": " << error.message << '\n';
    status = 2;
  }
  out->flush();
  return status;
}

}  // namespace quillvane
