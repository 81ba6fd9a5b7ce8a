// The menu system: every key while a menu is open.
#include <string>

#include "content/content.h"
#include "game/form1.h"

namespace quillvane {
namespace {

enum Menu {
  kGameScreen = 0,
  kMain = 1,
  kDifficulty = 2,
  kAchievements = 3,
  kHelp = 4,
  kRecipeList = 5,
  kGameMenu = 6,
  kDetails = 7
};

constexpr int kEnter = 13;
constexpr int kEscape = 27;

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
    case kMain:
    case kDifficulty:
    case kHelp:
      return 5;
    case kAchievements:
      return collectioncount + 1;
    case kRecipeList:
    case kDetails:
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
    case kMain:
      return kMainLabels[entry - 1];
    case kDifficulty:
      return kDifficultyLabels[entry - 1];
    case kHelp:
      return kHelpLabels[entry - 1];
    case kGameMenu:
      return kGameMenuLabels[entry - 1];
    case kAchievements:
      if (entry <= collectioncount) return collectionline(entry);
      return parentmenu != 0 ? "Previous menu" : "Close menu";
    case kRecipeList:
    case kDetails:
      return entry == menulast() ? "Close list" : List2[entry - 1];
    default:
      return "";
  }
}

void Form1::menustuff(int keycode, int /*shift*/) {
  // Escape first moves between menus; the menu open afterwards then takes
  // the same key.
  if (keycode == kEscape) {
    if (menu == kMain) {
      menuitem = 5;
      sayit("Exit the game");
    } else if (menu == kDetails) {
      menu = kAchievements;
      menuitem = 0;
      sayit(achievementsummary());
      return;
    } else {
      menu = parentmenu;
      menuitem = 0;
      if (menu == kMain) sayit("Main menu");
      if (menu == kDifficulty) sayit("Choose puzzle difficulty");
      if (menu == kAchievements) sayit(achievementsummary());
      if (menu == kGameMenu) sayit("Menu");
    }
  }

  const int last = menulast();
  if (last == 0) return;  // the game screen

  const bool arrow = keycode >= 37 && keycode <= 40;
  if (menuitem == 0 && !arrow) menuitem = 1;
  if (keycode == 38 || keycode == 37) --menuitem;
  if (keycode == 40 || keycode == 39) ++menuitem;
  if (menuitem < 1) menuitem = last;
  if (menuitem > last) menuitem = 1;
  const bool enter = keycode == kEnter;
  const int entry = menuitem;

  switch (menu) {
    case kMain: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == 1) {
        parentmenu = kMain;
        menu = kDifficulty;
        menuitem = 0;
        sayit("Choose puzzle difficulty");
      } else if (entry == 2) {
        continuegame();
      } else if (entry == 3) {
        parentmenu = kMain;
        menu = kAchievements;
        menuitem = 0;
        sayit(achievementsummary());
      } else if (entry == 4) {
        parentmenu = kMain;
        menu = kHelp;
        menuitem = 0;
        sayit("Help menu");
      } else {
        sayit("Goodbye");
        hold(0.5);
        endprogram();
      }
      return;
    }
    case kDifficulty: {
      static const char* const kStarts[] = {
          "Beginning puzzle on easy mode", "Beginning puzzle on normal mode",
          "Beginning puzzle on hard mode", "Beginning puzzle on insane mode"};
      if (!enter) return sayit(menulabel(entry));
      if (entry <= 4) return newgame(4 - entry, kStarts[entry - 1]);
      sayit("Main manu");
      parentmenu = kDifficulty;
      menu = kMain;
      menuitem = 0;
      return;
    }
    case kAchievements: {
      if (!enter) return sayit(menulabel(entry));
      if (entry <= collectioncount) return achievementdetails(entry);
      // The cursor keeps the closing entry's number: the next key in the
      // menu reached lands on its first entry.
      menu = parentmenu;
      if (menu == kMain) sayit("Main menu");
      return;
    }
    case kHelp: {
      if (!enter) return sayit(menulabel(entry));
      if (entry <= 4) return sayit(std::string(content::kHelpPages[entry - 1]));
      menu = kMain;
      menuitem = 0;
      sayit("Main menu");
      return;
    }
    case kRecipeList: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == last) {
        menu = parentmenu;
        menuitem = 0;
        return;
      }
      const std::string row = List2[entry - 1];
      int r = 0;
      for (int i = 1; i <= rulecount; ++i)
        if (recipeline(i) == row) r = i;
      if (r == 0) return;
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
      menu = kGameScreen;
      menuitem = 0;
      drawitems();  // the filled slots show in magenta
      return;
    }
    case kGameMenu: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == 1) {
        parentmenu = kGameScreen;
        menu = kGameScreen;
        menuitem = 0;
      } else if (entry == 2) {
        parentmenu = kGameMenu;
        menu = kAchievements;
        menuitem = 0;
        sayit(achievementsummary());
      } else {
        sayit("Goodbye");
        hold(0.5);
        endprogram();
      }
      return;
    }
    case kDetails: {
      if (!enter) return sayit(menulabel(entry));
      if (entry == last) {
        menu = kAchievements;
        menuitem = 0;
      }
      return;
    }
    default:
      return;
  }
}

}  // namespace quillvane
