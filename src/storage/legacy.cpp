// The legacy report: mylegacy.txt lists every unlocked item, for the player.
#include "storage/files.h"

namespace quillvane {

std::string legacy_report(const std::vector<std::string>& names) {
  TextWriter file;
  for (const std::string& name : names) file.line(name);
  return file.bytes();
}

}  // namespace quillvane
