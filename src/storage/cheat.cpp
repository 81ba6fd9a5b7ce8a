// cheat.ini: the names of a cheat game's inventory, one a line.
#include "storage/files.h"

namespace quillvane {

std::vector<std::string> read_cheat_names(ByteSource& bytes) {
  std::vector<std::string> names;
  TextReader file(bytes);
  for (;;) {
    auto line = file.line();
    if (!line && file.too_long()) {
      // No item has such a name: the line is passed over, never held whole.
      file.pass_long_line();
      continue;
    }
    if (!line) break;
    if (line->empty()) continue;
    // The inventory ends at entry 9999: further names are ignored.
    if (names.size() >= static_cast<std::size_t>(kMostCheatNames)) break;
    names.push_back(std::move(*line));
  }
  return names;
}

std::vector<std::string> read_cheat_names(std::string_view bytes) {
  StringSource source(bytes);
  return read_cheat_names(source);
}

}  // namespace quillvane
