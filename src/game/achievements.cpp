// Achievement items, collections and the per-difficulty achievement tables.
#include <string>

#include "content/content.h"
#include "game/form1.h"
#include "game/names.h"
#include "storage/files.h"

namespace quillvane {

std::string Form1::partof(std::string tempm) {
  const auto& table = content::kCollectionTable;
  collectionnames[1] = table[0].name;
  collectionsizes[1] = table[0].size;
  std::string result = table[0].name;
  for (int k = 2; k <= content::kCollections; ++k) {
    const auto& collection = table[k - 1];
    collectionnames[k] = collection.name;
    collectionsizes[k] = collection.size;
    for (int m = 0; m < collection.size; ++m)
      if (tempm == collection.members[m]) result = collection.name;
  }
  collectioncount = content::kCollections;
  return result;
}

std::string Form1::collectionline(int k) const {
  int n = 0;
  for (int i = 1; i <= achievementcount; ++i) {
    if (achievementcollection[i] != collectionnames[k]) continue;
    bool any = false;
    for (int d = 0; d < kLevels; ++d) any = any || unlocked[d][i] != 0;
    if (any) ++n;
  }
  return collectionnames[k] + ".  " + std::to_string(n) + " of " +
         std::to_string(collectionsizes[k]);
}

void Form1::buildachievementtables() {
  achievementcount = content::kAchievementItems;
  rulecount = kLiveRecipeRows;
  for (int d = 0; d < kLevels; ++d) {
    for (int i = 1; i <= achievementcount; ++i) {
      unlocked[d][i] = 0;
      records[d][i] = -1;
    }
  }
  for (int i = 1; i <= achievementcount; ++i)
    achievementitems[i] = content::kAchievementItemNames[i - 1];
  for (int i = 1; i <= achievementcount; ++i)
    achievementcollection[i] = partof(achievementitems[i]);
}

int Form1::isthisnew(std::string tempm) {
  if (cheatmode != 0) return kNothingNew;
  for (int i = 1; i <= achievementcount; ++i) {
    if (tempm != achievementitems[i]) continue;
    if (unlocked[difficulty][i] == 0) {
      // Unlocking at a level unlocks every easier level too.
      for (int d = difficulty; d <= kEasy; ++d) {
        unlocked[d][i] = static_cast<std::int32_t>(getcode(achievementitems[i]));
        records[d][i] = steps;
      }
      saveachievements();
      return kFirstMade;
    }
    if (records[difficulty][i] > steps) {
      for (int d = difficulty; d <= kEasy; ++d) records[d][i] = steps;
      saveachievements();
      return kNewRecord;
    }
  }
  return kNothingNew;
}

int Form1::myachievements() const {
  int count = 0;
  for (int i = 1; i <= achievementcount; ++i) {
    std::int64_t sum = 0;
    for (int d = 0; d < kLevels; ++d) sum += unlocked[d][i];
    if (sum != 0) ++count;
  }
  return count;
}

void Form1::achievementdetails(int k) {
  static const char* const kSingular[kLevels] = {" turn on Insane mode.", " turn on Hard mode.",
                                                 " turn on Normal mode.", " turn on Easy mode."};
  static const char* const kPlural[kLevels] = {" turns on Insane mode.", " turns on Hard mode.",
                                               " turns on Normal mode.", " turns on Easy mode."};
  List2.clear();
  for (int i = 1; i <= achievementcount; ++i) {
    if (achievementcollection[i] != collectionnames[k]) continue;
    for (int d = 0; d < kLevels; ++d) {
      if (unlocked[d][i] == 0) continue;
      if (records[d][i] == 1)
        List2.push_back(achievementitems[i] + " was unlocked in 1" + kSingular[d]);
      else if (records[d][i] > 1)
        List2.push_back(achievementitems[i] + " was unlocked in " + std::to_string(records[d][i]) +
                        kPlural[d]);
    }
  }
  openmenu(kDetailsList, parentmenu);
  sayit(collectionnames[k] + " details");
}

std::string Form1::achievementsummary() const {
  return "Achievements.  You have discovered " + std::to_string(rulesdiscovered()) +
         " different recipies and " + std::to_string(myachievements()) + " different achievements.";
}

}  // namespace quillvane
