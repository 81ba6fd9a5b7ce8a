// The legacy report: mylegacy.txt lists every unlocked item, for the player.
#include "game/form1.h"
#include "storage/textfile.h"

namespace quillvane {

void Form1::mylegacy() {
  TextWriter file;
  for (int i = 1; i <= achievementcount; ++i) {
    std::int64_t sum = 0;
    for (int d = 0; d < kLevels; ++d) sum += unlocked[d][i];
    if (sum != 0) file.line(achievementitems[i]);
  }
  // Nothing in the game depends on the report: a failed write is ignored.
  platform_.write_file(datapath("mylegacy.txt"), file.bytes());
}

}  // namespace quillvane
