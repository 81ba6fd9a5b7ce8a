// settings.ini: the player's comforts that outlive a game, in the game's
// text format: one number line, the cue volume in percent.
#include "storage/files.h"

namespace quillvane {

std::string write_settings(int cuevolume) {
  TextWriter file;
  file.number(cuevolume);
  return file.bytes();
}

std::optional<int> read_settings(const std::string& bytes) {
  TextReader file(bytes);
  auto volume = file.number(0, 100);
  if (!volume || *volume % 25 != 0) return std::nullopt;
  return static_cast<int>(*volume);
}

}  // namespace quillvane
