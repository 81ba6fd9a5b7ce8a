// The inventory's operations, its drawing and the starting gear.
#include <gtest/gtest.h>

#include <map>

#include "game_fixture.h"

namespace quillvane::testing {
namespace {

std::vector<std::string> names(const Form1& game) {
  return {game.items.begin() + 1, game.items.begin() + 1 + game.itemcount};
}

TEST(Inventory, NewitemReusesAnEmptyEntryElseAppends) {
  GameFixture f;
  Form1& g = *f.game;
  g.newitem("Mud");
  EXPECT_EQ(g.itemcount, 1);
  EXPECT_EQ(g.items[1], "Mud");
  g.newitem("Dirt");
  g.items[1] = "";
  g.newitem("Rock");
  EXPECT_EQ(names(g), (std::vector<std::string>{"Rock", "Dirt"}));
}

TEST(Inventory, DeleteitemMovesLaterEntriesDown) {
  GameFixture f;
  Form1& g = *f.game;
  for (const char* n : {"A", "B", "C", "D"}) g.newitem(n);
  g.deleteitem(0);
  EXPECT_EQ(g.itemcount, 4);
  g.deleteitem(2);
  EXPECT_EQ(names(g), (std::vector<std::string>{"A", "C", "D"}));
  g.deleteitem(3);
  EXPECT_EQ(names(g), (std::vector<std::string>{"A", "C"}));
}

TEST(Inventory, HowmanyIsExactAndCaseSensitive) {
  GameFixture f;
  Form1& g = *f.game;
  EXPECT_EQ(g.howmany("Mud"), 0);
  for (const char* n : {"Mud", "mud", "Mud", "Mud "}) g.newitem(n);
  EXPECT_EQ(g.howmany("Mud"), 2);
  EXPECT_EQ(g.howmany("mud"), 1);
  EXPECT_EQ(g.howmany("Rock"), 0);
}

TEST(Inventory, SortIgnoresCaseAndPutsPrefixesAndSpacesFirst) {
  struct Case {
    std::vector<std::string> in, out;
  };
  const Case cases[] = {
      {{"Wind", "Mud", "Dirt", "Mud"}, {"Dirt", "Mud", "Mud", "Wind"}},
      {{"Pine tree", "Pine cone", "Pine"}, {"Pine", "Pine cone", "Pine tree"}},
      {{"zebra", "Apple", "mango", "Magic"}, {"Apple", "Magic", "mango", "zebra"}},
      {{"Iron ore", "Ironwood", "Iron"}, {"Iron", "Iron ore", "Ironwood"}},
      // Names that differ only in case: capitals first, copies together.
      {{"mud", "Mud", "mud", "Mud"}, {"Mud", "Mud", "mud", "mud"}},
  };
  for (const auto& c : cases) {
    GameFixture f;
    for (const auto& n : c.in) f.game->newitem(n);
    f.game->sortitems();
    EXPECT_EQ(names(*f.game), c.out);
  }
}

TEST(Inventory, DrawitemsShowsTheEntriesInUseWithSelectionAndSlots) {
  GameFixture f;
  Form1& g = *f.game;
  for (const char* n : {"Dirt", "Mud", "Rock"}) g.newitem(n);
  g.items[4] = "stale";  // past the count: never shown
  g.selected = 1;
  g.slot1 = 1;
  g.slot2 = 3;
  g.drawitems();
  ASSERT_TRUE(f.platform.shown.has_value());
  EXPECT_EQ(f.platform.shown->names, (std::vector<std::string>{"Dirt", "Mud", "Rock"}));
  EXPECT_EQ(f.platform.shown->selected, 1);
  EXPECT_EQ(f.platform.shown->slot1, 1);
  EXPECT_EQ(f.platform.shown->slot2, 3);
  g.itemcount = 0;
  g.drawitems();
  EXPECT_TRUE(f.platform.shown->names.empty());
}

TEST(StartingGear, ThirtySixItemsWithMagicByDifficulty) {
  // Counts per name for insane, hard, normal, easy.
  const std::map<std::string, std::array<int, 4>> expected{
      {"Apple", {2, 2, 2, 1}},    {"Chicken", {1, 1, 1, 1}},   {"Cow", {1, 1, 1, 1}},
      {"Dirt", {3, 2, 2, 2}},     {"Grass", {3, 2, 1, 1}},     {"Ocean", {1, 1, 1, 1}},
      {"Pig", {2, 2, 2, 1}},      {"Pine cone", {1, 1, 1, 1}}, {"Pine tree", {1, 1, 1, 1}},
      {"Rock", {3, 3, 2, 2}},     {"Sand", {2, 2, 2, 1}},      {"Sea shells", {2, 2, 2, 1}},
      {"Sunshine", {1, 1, 1, 1}}, {"Water", {5, 4, 3, 2}},     {"Wind", {8, 6, 4, 4}},
      {"Magic", {0, 5, 10, 15}}};
  for (int level = 0; level <= 3; ++level) {
    GameFixture f;
    f.game->difficulty = level;
    f.game->startinggear();
    EXPECT_EQ(f.game->itemcount, 36);
    for (const auto& [name, counts] : expected)
      EXPECT_EQ(f.game->howmany(name), counts[level]) << name << " at level " << level;
  }
  GameFixture f;
  f.start(kEasy);
  EXPECT_EQ(names(*f.game)[0], "Apple");
  EXPECT_EQ(names(*f.game)[6], "Magic");
  EXPECT_EQ(names(*f.game)[21], "Ocean");
  EXPECT_EQ(names(*f.game)[35], "Wind");
  EXPECT_EQ(f.game->selected, 1);
  EXPECT_EQ(f.game->menu, 0);
}

}  // namespace
}  // namespace quillvane::testing
