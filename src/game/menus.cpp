// The menu system: every key while a menu is open.
#include <string>

#include "content/content.h"
#include "game/form1.h"
#include "game/names.h"
#include "lang/format.h"

namespace quillvane {
namespace {

// The main menu's first entry, too long for one literal.
const char* const kNewGameLabel =
    N_("Start a new game.  Starting a new game will not delete your achievements.  It is meant "
       "as a convenient way to start over from the beginning.");
const char* const kMainLabels[] = {kNewGameLabel, N_("Continue where you left off"),
                                   N_("View your achievements"), N_("How to play"),
                                   N_("Exit the game")};
const char* const kDifficultyLabels[] = {
    N_("Easy mode, Start with 15 magic"), N_("Normal mode, Start with 10 magic"),
    N_("Hard mode, Start with 5 magic"), N_("Insane mode, Start with no magic"),
    N_("Previous menu")};
const char* const kHelpLabels[] = {N_("Introduction"), N_("How to play"), N_("Helpful keys"),
                                   // TRANSLATORS: "Achevements" is a typo the game's English keeps;
                                   // write your language's word for achievements.
                                   N_("Achevements"), N_("Previous menu")};
const char* const kGameMenuLabels[] = {N_("Return to the game"), N_("View your achievements"),
                                       N_("Exit the game")};

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
      return tr(kMainLabels[entry - 1]);
    case kDifficultyMenu:
      return tr(kDifficultyLabels[entry - 1]);
    case kHelpMenu:
      return tr(kHelpLabels[entry - 1]);
    case kGameMenu:
      return tr(kGameMenuLabels[entry - 1]);
    case kAchievementsMenu:
      if (entry <= collectioncount) return collectionline(entry);
      return parentmenu != 0 ? tr(N_("Previous menu")) : tr(N_("Close menu"));
    case kRecipeList:
    case kDetailsList:
      return entry == menulast() ? tr(N_("Close list")) : List2[entry - 1];
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
  sayit(tr(N_("Goodbye")));
  hold(0.5);
  endprogram();
}

void Form1::menustuff(int keycode) {
  // Escape first moves between menus; the menu open afterwards then takes
  // the same key.
  if (keycode == vk::Escape && escape_menu()) return;
  const int last = menulast();
  if (last == 0) return;  // the game screen

  const bool arrow = keycode >= vk::Left && keycode <= vk::Down;
  if (menuitem == 0 && !arrow) menuitem = 1;
  if (keycode == vk::Up || keycode == vk::Left) --menuitem;
  if (keycode == vk::Down || keycode == vk::Right) ++menuitem;
  if (menuitem < 1) menuitem = last;
  if (menuitem > last) menuitem = 1;
  // Every key but Enter says the current entry; Enter chooses it.
  if (keycode != vk::Enter) return sayit(menulabel(menuitem));
  switch (menu) {
    case kMainMenu:
      return main_menu_choice(menuitem);
    case kDifficultyMenu:
      return difficulty_menu_choice(menuitem);
    case kAchievementsMenu:
      return achievements_menu_choice(menuitem);
    case kHelpMenu:
      return help_menu_choice(menuitem);
    case kRecipeList:
      return recipe_list_choice(menuitem);
    case kGameMenu:
      return game_menu_choice(menuitem);
    case kDetailsList:
      if (menuitem == last) openmenu(kAchievementsMenu, parentmenu);
      return;
    default:
      return;
  }
}

bool Form1::escape_menu() {
  if (menu == kMainMenu) {
    menuitem = 5;
    sayit(tr(N_("Exit the game")));
    return false;
  }
  if (menu == kDetailsList) {
    openmenu(kAchievementsMenu, parentmenu);
    sayit(achievementsummary());
    return true;
  }
  openmenu(parentmenu, parentmenu);
  if (menu == kMainMenu) sayit(tr(N_("Main menu")));
  if (menu == kDifficultyMenu) sayit(tr(N_("Choose puzzle difficulty")));
  if (menu == kAchievementsMenu) sayit(achievementsummary());
  if (menu == kGameMenu) sayit(tr(N_("Menu")));
  return false;
}

void Form1::main_menu_choice(int entry) {
  if (entry == 1) {
    openmenu(kDifficultyMenu, kMainMenu);
    sayit(tr(N_("Choose puzzle difficulty")));
  } else if (entry == 2) {
    continuegame();
  } else if (entry == 3) {
    openmenu(kAchievementsMenu, kMainMenu);
    sayit(achievementsummary());
  } else if (entry == 4) {
    openmenu(kHelpMenu, kMainMenu);
    sayit(tr(N_("Help menu")));
  } else {
    goodbye();
  }
}

void Form1::difficulty_menu_choice(int entry) {
  // The entries run from easy down to insane.
  static const char* const kStarts[] = {
      N_("Beginning puzzle on easy mode"), N_("Beginning puzzle on normal mode"),
      N_("Beginning puzzle on hard mode"), N_("Beginning puzzle on insane mode")};
  if (entry <= 4) return newgame(kEasy + 1 - entry, tr(kStarts[entry - 1]));
  // TRANSLATORS: "manu" is a typo the game's English keeps; write your
  // language's words for the main menu.
  sayit(tr(N_("Main manu")));
  openmenu(kMainMenu, kDifficultyMenu);
}

void Form1::achievements_menu_choice(int entry) {
  if (entry <= collectioncount) return achievementdetails(entry);
  // The cursor keeps the closing entry's number: the next key in the menu
  // reached lands on its first entry.
  menu = parentmenu;
  if (menu == kMainMenu) sayit(tr(N_("Main menu")));
}

void Form1::help_menu_choice(int entry) {
  if (entry <= 4) return sayit(tr(content::kHelpPages[entry - 1]));
  openmenu(kMainMenu, parentmenu);
  sayit(tr(N_("Main menu")));
}

void Form1::recipe_list_choice(int entry) {
  if (entry == menulast()) return openmenu(parentmenu, parentmenu);
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
    return sayit(tr(N_("You don't have the required ingredients to use this recipe.")));
  }
  sayit(lang::format(tr(N_("%1$s and %2$s have been put into slots 1 and 2.")),
                     {heard(a), heard(b)}));
  openmenu(kGameScreen, parentmenu);
  drawitems();  // the filled slots show in magenta
}

void Form1::game_menu_choice(int entry) {
  if (entry == 1) {
    openmenu(kGameScreen, kGameScreen);
  } else if (entry == 2) {
    openmenu(kAchievementsMenu, kGameMenu);
    sayit(achievementsummary());
  } else {
    goodbye();
  }
}

}  // namespace quillvane
