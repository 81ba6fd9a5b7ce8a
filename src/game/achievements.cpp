// Achievement items, collections and the per-difficulty achievement tables.
#include <string>

#include "content/content.h"
#include "game/form1.h"
#include "game/names.h"
#include "lang/format.h"
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
  // TRANSLATORS: a collection's name, then how many of its items are
  // unlocked at any level, of how many it holds.
  return lang::format(
      tr(N_("%1$s.  %2$d of %3$d")),
      {heardcollection(collectionnames[k]), std::to_string(n), std::to_string(collectionsizes[k])});
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
  // One line per level, its count declined (one turn, several turns).
  auto line = [&](int d, int record) {
    switch (d) {
      case kInsane:
        return trn("%1$s was unlocked in %2$d turn on Insane mode.",
                   "%1$s was unlocked in %2$d turns on Insane mode.", record);
      case kHard:
        return trn("%1$s was unlocked in %2$d turn on Hard mode.",
                   "%1$s was unlocked in %2$d turns on Hard mode.", record);
      case kNormal:
        return trn("%1$s was unlocked in %2$d turn on Normal mode.",
                   "%1$s was unlocked in %2$d turns on Normal mode.", record);
      default:
        return trn("%1$s was unlocked in %2$d turn on Easy mode.",
                   "%1$s was unlocked in %2$d turns on Easy mode.", record);
    }
  };
  List2.clear();
  for (int i = 1; i <= achievementcount; ++i) {
    if (achievementcollection[i] != collectionnames[k]) continue;
    for (int d = 0; d < kLevels; ++d) {
      // A record of 0 or less (never made there) gives no line.
      if (unlocked[d][i] == 0 || records[d][i] < 1) continue;
      List2.push_back(lang::format(line(d, records[d][i]),
                                   {heard(achievementitems[i]), std::to_string(records[d][i])}));
    }
  }
  openmenu(kDetailsList, parentmenu);
  sayit(lang::format(tr(N_("%1$s details")), {heardcollection(collectionnames[k])}));
}

std::string Form1::achievementsummary() const {
  const int recipes = rulesdiscovered();
  const int achievements = myachievements();
  return lang::format(
      tr(N_("Achievements.  You have discovered %1$s and %2$s.")),
      {lang::format(trn("%1$d different recipies", "%1$d different recipies", recipes),
                    {std::to_string(recipes)}),
       lang::format(trn("%1$d different achievements", "%1$d different achievements", achievements),
                    {std::to_string(achievements)})});
}

}  // namespace quillvane
