// settings.ini: the player's comforts that outlive a game, in the game's
// text format: one number line, the cue volume in percent. It is read
// leniently: a missing, unreadable or damaged file means the defaults, said
// nowhere, and never ends the game.
#include "game/form1.h"
#include "storage/textfile.h"

namespace quillvane {

void Form1::loadsettings() {
  cuevolume = 100;
  auto bytes = platform_.read_file(datapath("settings.ini"));
  if (!bytes) return;
  TextReader file(*bytes);
  auto volume = file.number(0, 100);
  if (volume && *volume % 25 == 0) cuevolume = static_cast<int>(*volume);
}

void Form1::savesettings() {
  TextWriter file;
  file.number(cuevolume);
  // A setting that cannot be kept only lasts this run; the game's saves
  // report their own failures.
  platform_.write_file(datapath("settings.ini"), file.bytes());
}

}  // namespace quillvane
