// cheat.ini: a game started with the player's own items, recording no achievement.
#include <string>

#include "game/form1.h"
#include "storage/textfile.h"

namespace quillvane {

void Form1::cheat() {
  cheatmode = 1;
  preparegame(3);
  loadprogress();
  parentmenu = menu;
  menu = 0;
  menuitem = 0;
  itemcount = 0;
  // A file that vanished or cannot be read gives no custom items.
  TextReader file(platform_.read_file(datapath("cheat.ini")).value_or(""));
  while (auto line = file.line()) {
    if (line->empty()) continue;
    // The inventory ends at entry 9999: further names are ignored.
    if (itemcount >= kLastEntry) break;
    ++itemcount;
    items[itemcount] = std::move(*line);
  }
  hold(1);
  sayit("Cheat mode has loaded in your " + std::to_string(itemcount) + " custom items.  Have fun!");
  hold(1);
}

}  // namespace quillvane
