// Names for the game's numbers. The fields that hold them stay plain ints
// under their own names (menu, difficulty, ...): these only say what each
// value means where the code compares or sets one. The key codes and the
// speech modes are part of the platform's contract and live beside it.
#pragma once

#include "platform/keys.h"
#include "platform/platform.h"

namespace quillvane {

// The values of `menu` and `parentmenu`.
enum Menu : int {
  kGameScreen = 0,
  kMainMenu = 1,
  kDifficultyMenu = 2,
  kAchievementsMenu = 3,
  kHelpMenu = 4,
  kRecipeList = 5,
  kGameMenu = 6,
  kDetailsList = 7,
};

// The values of `difficulty`: the first index of the per-difficulty tables;
// a new game starts with 5 x difficulty Magic.
enum Difficulty : int {
  kInsane = 0,
  kHard = 1,
  kNormal = 2,
  kEasy = 3,
};

// What `isthisnew` returns.
enum Discovery : int {
  kNothingNew = 0,
  kFirstMade = 1,  // an achievement item made for the first time
  kNewRecord = 2,  // made again in fewer steps than its record
};

}  // namespace quillvane
