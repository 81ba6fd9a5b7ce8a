// Combining: recipes, Magic, nothing made, achievements, records,
// discoveries, the undo record, saves that fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "game_fixture.h"

namespace quillvane::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(Combine, DirtAndWaterOnTheFirstStep) {
  for (bool water_first : {false, true}) {
    SCOPED_TRACE(water_first);
    GameFixture f;
    f.start(kEasy);
    water_first ? f.put("Water", "Dirt") : f.put("Dirt", "Water");
    f.game->combine();
    EXPECT_EQ(f.platform.lines,
              (Lines{"cue: /sounds/success.wav", "wait: 0.5", "say: Mud and Mud created.",
                     "wait: 2", "cue: /sounds/achievement.wav", "wait: 0.5",
                     "say: You have discovered Mud, which is part of the General collection!",
                     "wait: 2", "cue: /sounds/rule.wav", "wait: 0.5",
                     "say: New discovery!  Combining Dirt and Water creates Mud and Mud."}));
    EXPECT_EQ(f.file("log.txt"),
              "You have combined Dirt and Water, to make Mud and Mud.  You have made 1 total "
              "moves.\r\n"
              "You have discovered Mud, which is part of the General collection!\r\n"
              "New discovery!  Combining Dirt and Water creates Mud and Mud.\r\n");
    EXPECT_EQ(f.game->itemcount, 36);
    EXPECT_EQ(f.game->howmany("Mud"), 2);
    EXPECT_EQ(f.game->howmany("Dirt"), 1);
    EXPECT_EQ(f.game->howmany("Water"), 1);
    EXPECT_EQ(f.game->steps, 1);
    EXPECT_EQ(f.game->ruleknown[1], 1);
    EXPECT_EQ(f.game->undomade1, "");  // a discovery cannot be undone
    EXPECT_EQ(f.file("mylegacy.txt"), "Mud\r\n");
    // Both files are saved and read back.
    f.reset();
    EXPECT_FALSE(f.ends_program([&] { f.game->loadachievements(); }));
    EXPECT_EQ(f.game->ruleknown[1], 1);
    EXPECT_EQ(f.game->records[3][3], 1);
    f.game->loadprogress();
    EXPECT_EQ(f.game->steps, 1);
  }
}

TEST(Combine, SecondUseOfAKnownRuleLeavesAnUndoThatWorksOnce) {
  GameFixture f;
  f.start(kInsane);  // insane: three Dirt, five Water
  f.put("Dirt", "Water");
  f.game->combine();
  f.put("Dirt", "Water");
  f.platform.lines.clear();
  f.game->combine();
  EXPECT_EQ(f.platform.lines, (Lines{"cue: /sounds/success.wav", "wait: 0.5",
                                     "say: Mud and Mud created.", "wait: 2"}));
  EXPECT_EQ(f.game->undomade1, "Mud");
  EXPECT_EQ(f.game->howmany("Mud"), 4);
  f.game->slot1 = 3;
  f.game->slot2 = 4;
  f.platform.lines.clear();
  f.game->undo();
  EXPECT_EQ(f.platform.lines, (Lines{"say: Recipe reversed."}));
  EXPECT_EQ(f.game->howmany("Mud"), 2);
  EXPECT_EQ(f.game->howmany("Dirt"), 2);
  EXPECT_EQ(f.game->howmany("Water"), 4);
  EXPECT_EQ(f.game->items[35], "Dirt");  // given back at the end, unsorted
  EXPECT_EQ(f.game->items[36], "Water");
  EXPECT_EQ(f.game->slot1, 0);  // the slots no longer name what was put there
  EXPECT_EQ(f.game->slot2, 0);
  EXPECT_EQ(f.game->steps, 2);
  f.platform.lines.clear();
  f.game->undo();
  EXPECT_TRUE(f.platform.lines.empty());
  EXPECT_EQ(f.game->howmany("Mud"), 2);
}

TEST(Combine, UndoRemovesExactlyTheTwoProducts) {
  GameFixture f;
  for (const char* n : {"Mud", "Rock", "Sand", "Wind", "Mud"}) f.game->newitem(n);
  f.game->undomade1 = "Sand";
  f.game->undomade2 = "Mud";
  f.game->undoused1 = "Dirt";
  f.game->undoused2 = "Water";
  f.game->undo();
  EXPECT_EQ(f.game->itemcount, 5);
  EXPECT_EQ(std::vector<std::string>(f.game->items.begin() + 1, f.game->items.begin() + 6),
            (std::vector<std::string>{"Rock", "Wind", "Mud", "Dirt", "Water"}));
  // An emptied record never matches an empty entry.
  f.game->items[2] = "";
  f.game->undomade1 = "";
  f.game->undomade2 = "Rock";
  f.game->undo();
  EXPECT_EQ(f.game->items[1], "Rock");
}

TEST(Combine, RecipesThatGiveBackOrUseTwoOfOneItem) {
  struct Case {
    const char* first;
    const char* second;
    std::vector<std::pair<const char*, int>> counts;  // after the combination
  };
  const Case cases[] = {
      // Grass comes back beside the Pine tree the Pine cone grows into.
      {"Grass", "Pine cone", {{"Grass", 1}, {"Pine cone", 0}, {"Pine tree", 2}}},
      // Two Sticks out of four make Fire and Smoke.
      {"Stick", "Stick", {{"Stick", 2}, {"Fire", 1}, {"Smoke", 1}}},
  };
  for (const Case& c : cases) {
    GameFixture f;
    f.start(kEasy);
    if (std::string(c.first) == "Stick") {
      for (int i = 1; i <= 4; ++i) f.game->items[i] = "Stick";
      f.game->items[5] = "Zebra";
    }
    f.put(c.first, c.second);
    f.game->combine();
    for (auto [name, count] : c.counts) EXPECT_EQ(f.game->howmany(name), count) << name;
    EXPECT_EQ(f.game->itemcount, 36) << c.first << " and " << c.second;
  }
}

TEST(Combine, PigAndWaterMakeNothingButCountAStep) {
  GameFixture f;
  f.start(kEasy);
  f.put("Pig", "Water");
  const auto before = f.game->items;
  f.game->combine();
  EXPECT_EQ(f.platform.lines,
            (Lines{"cue: /sounds/fail.wav", "wait: 0.5", "say: Nothing could be created."}));
  EXPECT_EQ(f.game->steps, 1);
  EXPECT_EQ(f.game->items, before);
  EXPECT_FALSE(std::filesystem::exists(f.path("progress.ini")));
}

TEST(Combine, MagicCopiesTheOtherItemInEitherSlot) {
  for (bool magic_first : {true, false}) {
    GameFixture f;
    f.start(kEasy);
    f.game->steps = 4;
    magic_first ? f.put("Magic", "Cow") : f.put("Cow", "Magic");
    f.game->combine();
    EXPECT_EQ(
        f.platform.lines,
        (Lines{"cue: /sounds/magic.wav", "wait: 0.5",
               "say: You have used magic to create a new Cow.  You have made 5 total moves."}));
    EXPECT_EQ(f.file("log.txt"),
              "You have used magic to create a new Cow.  You have made 5 total moves.\r\n");
    EXPECT_EQ(f.game->howmany("Cow"), 2);
    EXPECT_EQ(f.game->howmany("Magic"), 14);
    EXPECT_EQ(f.game->slot1, 0);
    EXPECT_EQ(f.game->undomade1, "Cow");
    EXPECT_EQ(f.game->undoused2, "Magic");
    EXPECT_FALSE(std::filesystem::exists(f.path("progress.ini")));
    EXPECT_FALSE(std::filesystem::exists(f.path("achievements.ini")));
    f.game->undo();
    EXPECT_EQ(f.game->howmany("Cow"), 1);
    EXPECT_EQ(f.game->howmany("Magic"), 15);
  }
  GameFixture f;
  f.start(kEasy);
  f.put("Magic", "Magic");
  f.game->combine();
  EXPECT_EQ(f.platform.lines.back(),
            "say: You have used magic to create a new Magic.  You have made 1 total moves.");
  EXPECT_EQ(f.game->howmany("Magic"), 15);
}

TEST(Combine, NewRecordIsAnnouncedAndStored) {
  GameFixture f;
  f.start(kEasy);
  f.put("Dirt", "Water");
  f.game->steps = 9;
  f.game->combine();  // Mud at step 10, a new achievement
  f.start(kEasy);
  f.game->steps = 2;
  f.put("Dirt", "Water");
  f.game->combine();
  EXPECT_EQ(f.platform.lines,
            (Lines{"cue: /sounds/success.wav", "wait: 0.5", "say: Mud and Mud created.", "wait: 2",
                   "cue: /sounds/record.wav", "wait: 0.5",
                   "say: New record!  You've created Mud in 3 steps.", "wait: 3"}));
  EXPECT_EQ(f.game->records[3][3], 3);
  EXPECT_EQ(f.game->undomade1, "Mud");  // a record alone can be undone
}

TEST(Combine, CheatModeRecordsNoAchievement) {
  GameFixture f;
  f.start(kEasy);
  f.game->cheatmode = 1;
  f.put("Dirt", "Water");
  f.game->combine();
  EXPECT_EQ(f.platform.lines.size(), 7u);  // products, then the discovery
  EXPECT_EQ(f.platform.lines[4], "cue: /sounds/rule.wav");
  EXPECT_FALSE(std::filesystem::exists(f.path("achievements.ini")));
  EXPECT_TRUE(std::filesystem::exists(f.path("progress.ini")));
}

TEST(Combine, AFolderThatCannotBeWrittenIsSaidOnceAfterTheMove) {
  GameFixture f;
  f.start(kInsane);
  f.platform.fail_writes = true;
  f.put("Dirt", "Water");
  f.game->combine();
  EXPECT_EQ(f.platform.lines.back(), "say: Your progress could not be saved.");
  EXPECT_EQ(f.platform.lines[f.platform.lines.size() - 2],
            "say: New discovery!  Combining Dirt and Water creates Mud and Mud.");
  f.platform.lines.clear();
  f.put("Dirt", "Water");
  f.game->combine();
  EXPECT_EQ(f.platform.lines, (Lines{"cue: /sounds/success.wav", "wait: 0.5",
                                     "say: Mud and Mud created.", "wait: 2"}));
  EXPECT_FALSE(std::filesystem::exists(f.path("progress.ini")));
}

}  // namespace
}  // namespace quillvane::testing
