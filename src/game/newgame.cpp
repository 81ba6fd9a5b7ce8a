// Starting gear, the new-game sequence and the continue sequence.
#include "content/content.h"
#include "game/form1.h"
#include "game/names.h"
#include "lang/format.h"

namespace quillvane {

void Form1::startinggear() {
  itemcount = 0;
  for (const char* name : content::kGearEveryGame) newitem(name);
  if (difficulty < kEasy)
    for (const char* name : content::kGearBelowEasy) newitem(name);
  if (difficulty < kNormal)
    for (const char* name : content::kGearBelowNormal) newitem(name);
  if (difficulty < kHard)
    for (const char* name : content::kGearBelowHard) newitem(name);
  for (int i = 0; i < 5 * difficulty; ++i) newitem(content::kMagic);
}

void Form1::preparegame(int level) {
  difficulty = level;
  startinggear();
  sortitems();
  selected = 1;
  slot1 = 0;
  slot2 = 0;
  steps = 0;
  loadrules();
  loadachievements();
}

void Form1::newgame(int level, const std::string& message) {
  preparegame(level);
  drawitems();
  sayit(message);
  openmenu(kGameScreen, menu);
  hold(0.5);
  playcue("\\sounds/restart.wav");
}

void Form1::continuegame() {
  // The saved game replaces the new one before anything is shown.
  preparegame(kInsane);
  loadprogress();
  drawitems();
  sayit(tr(N_("Continuing your puzzle from where you left off")));
  openmenu(kGameScreen, menu);
  hold(0.5);
}

}  // namespace quillvane
