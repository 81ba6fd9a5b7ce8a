// The fixed tables checked against their own invariants, and the recipe book
// built from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "content/content.h"
#include "game_fixture.h"

namespace quillvane::testing {
namespace {

using content::kAchievementItemNames;
using content::kCollectionTable;
using content::kRecipes;

TEST(Content, RecipeTableHoldsDistinctPairsAndExactlyTheAchievementItems) {
  ASSERT_EQ(kRecipes.size(), 290u);
  std::set<std::pair<std::string, std::string>> pairs;
  std::set<std::string> products, ingredients;
  for (const auto& row : kRecipes) {
    std::string a = row.uses1, b = row.uses2;
    if (b < a) std::swap(a, b);
    EXPECT_TRUE(pairs.insert({a, b}).second) << "repeated pair " << a << " + " << b;
    products.insert(row.makes1);
    products.insert(row.makes2);
    ingredients.insert(row.uses1);
    ingredients.insert(row.uses2);
  }
  std::set<std::string> achievements(kAchievementItemNames.begin(), kAchievementItemNames.end());
  EXPECT_EQ(achievements.size(), 243u);
  EXPECT_EQ(products, achievements);
  EXPECT_EQ(products.count("Magic"), 0u);
  EXPECT_EQ(ingredients.count("Magic"), 0u);
  int only_products = 0;
  for (const auto& p : products) only_products += ingredients.count(p) == 0;
  EXPECT_EQ(only_products, 28);
}

TEST(Content, CollectionsPartitionTheAchievementItems) {
  ASSERT_EQ(kCollectionTable.size(), 31u);
  std::map<std::string, int> seen;
  int total = 0;
  for (const auto& collection : kCollectionTable) {
    int members = 0;
    for (const char* m : collection.members) {
      if (!m) break;
      ++members;
      ++seen[m];
    }
    EXPECT_EQ(members, collection.size) << collection.name;
    total += collection.size;
  }
  EXPECT_EQ(total, 243);
  std::set<std::string> achievements(kAchievementItemNames.begin(), kAchievementItemNames.end());
  for (const auto& [name, count] : seen) {
    EXPECT_EQ(count, 1) << name;
    EXPECT_EQ(achievements.count(name), 1u) << name;
  }
  EXPECT_EQ(seen.size(), 243u);
}

TEST(RecipeBook, NewruleStoresEachPairInOrdinalOrder) {
  GameFixture f;
  struct Case {
    const char *a, *b, *c, *d, *u1, *u2, *m1, *m2;
  };
  const Case cases[] = {
      {"Dirt", "Water", "Mud", "Mud", "Dirt", "Water", "Mud", "Mud"},
      {"Rain", "Pine tree", "Pine cone", "Pine tree", "Pine tree", "Rain", "Pine cone",
       "Pine tree"},
      {"Clay", "Fire", "Fire", "Ceramic slab", "Clay", "Fire", "Ceramic slab", "Fire"},
      {"Stick", "Stick", "Fire", "Smoke", "Stick", "Stick", "Fire", "Smoke"},
      {"Iron ore", "Iron", "apple", "Zebra", "Iron", "Iron ore", "Zebra", "apple"},
  };
  for (const auto& c : cases) {
    f.game->newrule(c.a, c.b, c.c, c.d);
    int r = f.game->rulecount;
    EXPECT_EQ(f.game->ruleuses1[r], c.u1);
    EXPECT_EQ(f.game->ruleuses2[r], c.u2);
    EXPECT_EQ(f.game->rulemakes1[r], c.m1);
    EXPECT_EQ(f.game->rulemakes2[r], c.m2);
  }
  EXPECT_EQ(f.game->rulecount, 5);
}

TEST(RecipeBook, LoadrulesBuildsTheTableAndKeepsDiscoveries) {
  GameFixture f;
  f.game->ruleknown[5] = 1;
  f.game->ruleknown[290] = 1;
  f.game->loadrules();
  EXPECT_EQ(f.game->rulecount, 290);
  EXPECT_EQ(f.game->recipeline(290), "Pig and Water becomes Pig and Urine.");
  EXPECT_EQ(f.game->recipeline(1), "Dirt and Water becomes Mud and Mud.");
  EXPECT_EQ(f.game->recipeline(10), "Clay and Fire becomes Ceramic slab and Fire.");
  EXPECT_EQ(f.game->rulesdiscovered(), 2);
  f.game->loadachievements();
  EXPECT_EQ(f.game->rulecount, 289);
  // Row 290 is built but never counted.
  EXPECT_EQ(f.game->rulesdiscovered(), 1);

  // The book keeps each row's pairs as the table gives them, each pair in
  // ordinal order (by character code, capitals first).
  auto ordinal_less_or_equal = [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) {
                                          return static_cast<unsigned char>(x) <
                                                 static_cast<unsigned char>(y);
                                        }) ||
           a == b;
  };
  for (int r = 1; r <= 290; ++r) {
    SCOPED_TRACE("row " + std::to_string(r));
    const auto& row = kRecipes[r - 1];
    const Form1& g = *f.game;
    EXPECT_EQ(std::multiset<std::string>({g.ruleuses1[r], g.ruleuses2[r]}),
              std::multiset<std::string>({row.uses1, row.uses2}));
    EXPECT_EQ(std::multiset<std::string>({g.rulemakes1[r], g.rulemakes2[r]}),
              std::multiset<std::string>({row.makes1, row.makes2}));
    EXPECT_TRUE(ordinal_less_or_equal(g.ruleuses1[r], g.ruleuses2[r]));
    EXPECT_TRUE(ordinal_less_or_equal(g.rulemakes1[r], g.rulemakes2[r]));
  }
  // A chosen line of a recipe list stands for its own row: no two rows of
  // the book read the same.
  std::set<std::string> recipe_lines;
  for (int r = 1; r <= 290; ++r) recipe_lines.insert(f.game->recipeline(r));
  EXPECT_EQ(recipe_lines.size(), 290u);
}

TEST(Collections, PartofAndCollectionLines) {
  GameFixture f;
  struct Case {
    const char* name;
    const char* collection;
  };
  const Case cases[] = {{"Wind", "Nature collection"},
                        {"Glass bottle", "Glassblower collection"},
                        {"Dirt", "General collection"},
                        {"Magic", "General collection"},
                        {"", "General collection"},
                        {"wind", "General collection"},
                        {"Methane", "It comes out collection"},
                        {"Glass", "Glassblower collection"}};
  for (const auto& c : cases) EXPECT_EQ(f.game->partof(c.name), c.collection) << c.name;
  EXPECT_EQ(f.game->collectioncount, 31);

  f.game->loadachievements();
  EXPECT_EQ(f.game->collectionline(1), "General collection.  0 of 27");
  EXPECT_EQ(f.game->collectionline(31), "Glassblower collection.  0 of 2");
  // Counted once however many levels an item is unlocked at.
  f.game->unlocked[3][7] = 412;  // Wind on easy
  f.game->unlocked[0][18] = 1;   // Rain on insane
  f.game->unlocked[1][18] = 1;
  EXPECT_EQ(f.game->collectionline(2), "Nature collection.  2 of 18");
  std::map<std::string, int> counted;
  for (int i = 1; i <= 243; ++i) ++counted[f.game->achievementcollection[i]];
  for (int k = 1; k <= 31; ++k)
    EXPECT_EQ(counted[f.game->collectionnames[k]], f.game->collectionsizes[k]);
  for (int d = 0; d < 4; ++d)
    for (int i = 1; i <= 243; ++i) f.game->unlocked[d][i] = 1;
  EXPECT_EQ(f.game->collectionline(15), "Food collection.  18 of 18");
}

}  // namespace
}  // namespace quillvane::testing
