// The game's fixed data: recipes, starting gear, achievement items,
// collections and help pages. Nothing here is read from a file.
#pragma once

#include <array>
#include <string_view>

namespace quillvane::content {

inline constexpr int kRecipeRows = 290;
inline constexpr int kAchievementItems = 243;
inline constexpr int kCollections = 31;
inline constexpr int kLargestCollection = 27;

// One row: two ingredients, then two products, as newrule receives them.
struct RecipeRow {
  const char* uses1;
  const char* uses2;
  const char* makes1;
  const char* makes2;
};
extern const std::array<RecipeRow, kRecipeRows> kRecipes;

// Achievement item i (1..243) is entry i - 1.
extern const std::array<const char*, kAchievementItems> kAchievementItemNames;

struct Collection {
  const char* name;
  int size;
  // The members in the order partof tests them; unused places are null.
  std::array<const char*, kLargestCollection> members;
};
// Collection k (1..31) is entry k - 1.
extern const std::array<Collection, kCollections> kCollectionTable;

// "Magic", the item that copies whatever it is combined with.
extern const char* const kMagic;

// Starting gear: what every game gets, then what is added below easy, below
// normal and below hard.
extern const std::array<const char*, 21> kGearEveryGame;
extern const std::array<const char*, 5> kGearBelowEasy;
extern const std::array<const char*, 5> kGearBelowNormal;
extern const std::array<const char*, 5> kGearBelowHard;

// The four help pages, in the help menu's order.
extern const std::array<std::string_view, 4> kHelpPages;

}  // namespace quillvane::content
