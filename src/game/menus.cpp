// The menu system: every key while a menu is open.
#include <string>

#include "content/content.h"
#include "game/form1.h"
#include "game/names.h"

namespace quillvane {
namespace {

const char* const kMainLabels[] = {
    "Start a new game.  Starting a new game will not delete your achievements.  It is meant as a "
    "convenient way to start over from the beginning.",
    "Continue where you left off", "View your achievements", "How to play", "Exit the game"};
const char* const kDifficultyLabels[] = {
    "Easy mode, Start with 15 magic", "Normal mode, Start with 10 magic",
    "Hard mode, Start with 5 magic", "Insane mode, Start with no magic", "Previous menu"};
const char* const kHelpLabels[] = {"Introduction", "How to play", "Helpful keys", "Achevements",
                                   "Previous menu"};
const char* const kGameMenuLabels[] = {"Return to the game", "View your achievements",
                                       "Exit the game"};

}  // namespace

int Form1::menulast() const {
  switch (menu) {
    case kMainMenu:
    case kDifficultyMenu:
    case kHelpMenu:
      return 5;
    case kAchievementsMenu:
      return collectioncount + 1;
    case kRecipeList:
    case kDetailsList:
      return static_cast<int>(List2.size()) + 1;
    case kGameMenu:
      return 3;
    default:
      return 0;  // the game screen
  }
}

std::string Form1::menulabel(int entry) const {
  if (entry < 1 || entry > menulast()) return "";
  switch (menu) {
    case kMainMenu:
      return kMainLabels[entry - 1];
    case kDifficultyMenu:
      return kDifficultyLabels[entry - 1];
    case kHelpMenu:
      return kHelpLabels[entry - 1];
    case kGameMenu:
      return kGameMenuLabels[entry - 1];
    case kAchievementsMenu:
      if (entry <= collectioncount) return collectionline(entry);
      return parentmenu != 0 ? "Previous menu" : "Close menu";
    case kRecipeList:
    case kDetailsList:
      return entry == menulast() ? "Close list" : List2[entry - 1];
    default:
      return "";
  }
}

void Form1::openmenu(int which, int parent) {
  parentmenu = parent;
  menu = which;
  menuitem = 0;
}

void Form1::goodbye() {
  sayit("Goodbye");
  hold(0.5);
  endprogram();
}

void Form1::menustuff(int keycode) {
  // Escape first moves between menus; the menu open afterwards then takes
  // the same key.
  if (keycode == vk::Escape) {
    if (menu == kMainMenu) {
      menuitem = 5;
      sayit("Exit the game");
    } else if (menu == kDetailsList) {
      openmenu(kAchievementsMenu, parentmenu);
      sayit(achievementsummary());
      return;
    } else {
      openmenu(parentmenu, parentmenu);
      if (menu == kMainMenu) sayit("Main menu");
      if (menu == kDifficultyMenu) sayit("Choose puzzle difficulty");
      if (menu == kAchievementsMenu) sayit(achievementsummary());
      if (menu == kGameMenu) sayit("Menu");
    }
  }

  const int last = menulast();
  if (last == 0) return;  // the game screen

  const bool arrow = keycode >= vk::Left && keycode <= vk::Down;
  if (menuitem == 0 && !arrow) menuitem = 1;
  if (keycode == vk::Up || keycode == vk::Left) --menuitem;
  if (keycode == vk::Down || keycode == vk::Right) ++menuitem;
  if (menuitem < 1) menuitem = last;
  if (menuitem > last) menuitem = 1;
  const bool enter = keycode == vk::Enter;
  const int entry = menuitem;

  switch (menu) {
    case kMainMenu: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == 1) {
        openmenu(kDifficultyMenu, kMainMenu);
        sayit("Choose puzzle difficulty");
      } else if (entry == 2) {
        continuegame();
      } else if (entry == 3) {
        openmenu(kAchievementsMenu, kMainMenu);
        sayit(achievementsummary());
      } else if (entry == 4) {
        openmenu(kHelpMenu, kMainMenu);
        sayit("Help menu");
      } else {
        goodbye();
      }
      return;
    }
    case kDifficultyMenu: {
      // The entries run from easy down to insane.
      static const char* const kStarts[] = {
          "Beginning puzzle on easy mode", "Beginning puzzle on normal mode",
          "Beginning puzzle on hard mode", "Beginning puzzle on insane mode"};
      if (!enter) return sayit(menulabel(entry));
      if (entry <= 4) return newgame(kEasy + 1 - entry, kStarts[entry - 1]);
      sayit("Main manu");
      openmenu(kMainMenu, kDifficultyMenu);
      return;
    }
    case kAchievementsMenu: {
      if (!enter) return sayit(menulabel(entry));
      if (entry <= collectioncount) return achievementdetails(entry);
      // The cursor keeps the closing entry's number: the next key in the
      // menu reached lands on its first entry.
      menu = parentmenu;
      if (menu == kMainMenu) sayit("Main menu");
      return;
    }
    case kHelpMenu: {
      if (!enter) return sayit(menulabel(entry));
      if (entry <= 4) return sayit(std::string(content::kHelpPages[entry - 1]));
      openmenu(kMainMenu, parentmenu);
      sayit("Main menu");
      return;
    }
    case kRecipeList: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == last) {
        openmenu(parentmenu, parentmenu);
        return;
      }
      const int r = list2rows_[entry - 1];
      if (r == 0) return;  // the Magic line
      const std::string a = ruleuses1[r];
      const std::string b = ruleuses2[r];
      auto first = [&](const std::string& name, int after) {
        for (int i = after + 1; i <= itemcount; ++i)
          if (items[i] == name) return i;
        return 0;
      };
      if (a != b && howmany(a) > 0 && howmany(b) > 0) {
        slot1 = first(a, 0);
        slot2 = first(b, 0);
      } else if (a == b && howmany(a) > 1) {
        slot1 = first(a, 0);
        slot2 = first(b, slot1);
      } else {
        return sayit("You don't have the required ingredients to use this recipe.");
      }
      sayit(a + " and " + b + " have been put into slots 1 and 2.");
      openmenu(kGameScreen, parentmenu);
      drawitems();  // the filled slots show in magenta
      return;
    }
    case kGameMenu: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == 1) {
        openmenu(kGameScreen, kGameScreen);
      } else if (entry == 2) {
        openmenu(kAchievementsMenu, kGameMenu);
        sayit(achievementsummary());
      } else {
        goodbye();
      }
      return;
    }
    case kDetailsList: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == last) {
        openmenu(kAchievementsMenu, parentmenu);
      }
      return;
    }
    default:
      return;
  }
}

}  // namespace quillvane
