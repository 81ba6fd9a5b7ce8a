// cheat.ini: the names of a cheat game's inventory, one a line.
#include "storage/files.h"

namespace quillvane {

std::vector<std::string> read_cheat_names(const std::string& bytes) {
  std::vector<std::string> names;
  TextReader file(bytes);
  while (auto line = file.line()) {
    if (line->empty()) continue;
    // The inventory ends at entry 9999: further names are ignored.
    if (names.size() >= static_cast<std::size_t>(kMostCheatNames)) break;
    names.push_back(std::move(*line));
  }
  return names;
}

}  // namespace quillvane
