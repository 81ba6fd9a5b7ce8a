// The starting gear. Magic (five per step of difficulty) is added by startinggear.
#include "content/content.h"
#include "lang/format.h"

namespace quillvane::content {

const char* const kMagic = NC_("item", "Magic");

// clang-format off
constexpr std::array<const char*, 21> kGearEveryGame{
    "Apple", "Chicken", "Cow", "Dirt", "Dirt", "Grass", "Ocean", "Pig", "Pine cone", "Pine tree",
    "Rock", "Rock", "Sand", "Sea shells", "Sunshine", "Water", "Water", "Wind", "Wind", "Wind", "Wind"};
constexpr std::array<const char*, 5> kGearBelowEasy{"Apple", "Sea shells", "Sand", "Pig", "Water"};
constexpr std::array<const char*, 5> kGearBelowNormal{"Wind", "Wind", "Water", "Rock", "Grass"};
constexpr std::array<const char*, 5> kGearBelowHard{"Water", "Wind", "Wind", "Dirt", "Grass"};
// clang-format on

}  // namespace quillvane::content
