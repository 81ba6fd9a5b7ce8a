// The key dispatcher: keys held back during an action, the slots after an
// undo, an empty inventory, and the cheat file's limits.
#include <gtest/gtest.h>

#include "game_fixture.h"

namespace quillvane::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(KeysDuringWaits, MovesRunAtOnceOthersWaitForTheActionToFinish) {
  GameFixture f;
  f.start(kEasy);
  f.put("Dirt", "Water");
  // Inside the success cue's wait: an Enter (held back), then a Down, which
  // must wait behind it; inside a later wait a Down spoken at once cannot
  // jump the queue either.
  f.platform.clock = 0;
  f.platform.timed_keys = {{0.1, vk::Enter, 0}, {0.2, vk::Down, 0}};
  f.game->key_event(vk::Enter, 1);
  const Lines& l = f.platform.lines;
  auto at = [&](const std::string& line) {
    return std::find(l.begin(), l.end(), line) - l.begin();
  };
  // The combination finished untouched, then the held keys ran in order.
  EXPECT_LT(at("say: New discovery!  Combining Dirt and Water creates Mud and Mud."),
            at("say: Apple in slot 1."));
  EXPECT_EQ(l.back(), "say: Chicken, you have 1.");
  EXPECT_EQ(f.game->slot1, 1);  // the Enter filled a slot after the combination emptied them
  EXPECT_EQ(f.game->howmany("Mud"), 2);
}

TEST(KeysDuringWaits, ANavigationKeyIsSpokenInsideTheWait) {
  GameFixture f;
  f.start(kEasy);
  f.put("Dirt", "Water");
  // The game started at 0.5: the products are said at 1, then a 2-second wait.
  f.platform.timed_keys = {{2.0, vk::Down, 0}, {2.5, vk::Digit1, 0}, {2.6, vk::Tab, 0}};
  f.game->key_event(vk::Enter, 1);
  EXPECT_EQ(f.platform.lines[0], "cue: /sounds/success.wav");
  EXPECT_EQ(f.platform.lines[2], "say: Mud and Mud created.");
  EXPECT_EQ(f.platform.lines[3], "wait: 2");
  EXPECT_EQ(f.platform.lines[4], "say: Chicken, you have 1.");
  EXPECT_EQ(f.platform.lines[5], "say: You have made 1 steps so far.");
  EXPECT_EQ(f.platform.lines[6], "cue: /sounds/NVDA.wav");
  EXPECT_EQ(f.platform.lines[7], "cue: /sounds/achievement.wav");
}

TEST(Quit, DuringAMoveFinishesItsChangesLogAndSavesThenEnds) {
  GameFixture f;
  f.start(kEasy);
  f.put("Dirt", "Water");
  // The window is closed 1.5 s into the 2-second wait after "Mud and Mud
  // created.", with an Enter held back before it.
  f.platform.timed_keys = {{1.2, vk::Enter, 0}};
  f.platform.timed_close = 1.5;
  EXPECT_TRUE(f.ends_program([&] { f.game->key_event(vk::Enter, 1); }));
  EXPECT_EQ(f.platform.lines, (Lines{"cue: /sounds/success.wav", "wait: 0.5",
                                     "say: Mud and Mud created.", "wait: 2", "exit"}));
  EXPECT_EQ(f.platform.clock, 1.5);  // no later wait was served
  EXPECT_EQ(f.game->slot1, 0);       // the held-back Enter was dropped
  const std::string log = f.file("log.txt");
  for (const char* line :
       {"You have combined Dirt and Water, to make Mud and Mud.  You have made 1 total moves.\r\n",
        "You have discovered Mud, which is part of the General collection!\r\n",
        "New discovery!  Combining Dirt and Water creates Mud and Mud.\r\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
  // Both saves hold the move and read back as valid files.
  f.reset();
  EXPECT_FALSE(f.ends_program([&] {
    f.game->loadprogress();
    f.game->loadrules();
    f.game->loadachievements();
  }));
  EXPECT_EQ(f.game->steps, 1);
  f.game->itemcount = 36;
  EXPECT_EQ(f.game->howmany("Mud"), 2);
  EXPECT_EQ(f.game->ruleknown[1], 1);
  EXPECT_EQ(f.game->myachievements(), 1);
}

TEST(Quit, WhenIdleEndsAtOnce) {
  GameFixture f;
  f.start(kEasy);
  EXPECT_TRUE(f.ends_program([&] { f.game->close_event(); }));
  EXPECT_EQ(f.platform.lines, (Lines{"exit"}));
}

TEST(Undo, EmptiesBothSlotsSoAFollowingCombineConsumesNothingStale) {
  GameFixture f;
  f.start(kInsane);
  f.put("Dirt", "Water");
  f.game->key_event(vk::Enter, 1);
  f.put("Dirt", "Water");
  f.game->key_event(vk::Enter, 1);
  f.put("Mud", "Rock");
  f.game->key_event(vk::Backspace, 1);
  EXPECT_EQ(f.platform.lines.back(), "say: Recipe reversed.");
  EXPECT_EQ(f.game->slot1, 0);
  EXPECT_EQ(f.game->slot2, 0);
  f.platform.lines.clear();
  f.game->key_event(vk::Enter, 1);
  EXPECT_EQ(f.platform.lines, (Lines{"say: Nothing selected."}));
  EXPECT_EQ(f.game->itemcount, 36);
}

TEST(EmptyInventory, EveryKeyIsSafeAndEnterSaysNoItemIsSelected) {
  GameFixture f;
  write_bytes(f.path("cheat.ini"), "\r\n\r\n");
  f.game->Form_Load();
  ASSERT_EQ(f.game->itemcount, 0);
  EXPECT_EQ(f.platform.lines.back(), "wait: 1");
  EXPECT_EQ(f.platform.lines[f.platform.lines.size() - 2],
            "say: Cheat mode has loaded in your 0 custom items.  Have fun!");
  f.platform.lines.clear();
  for (int key : {vk::Down, vk::Up, vk::Left, vk::Right, vk::M, vk::Enter})
    f.game->key_event(key, 0);
  EXPECT_EQ(f.platform.lines, (Lines{"say: No item selected"}));
  f.platform.lines.clear();
  f.game->key_event(vk::Digit4, 0);
  f.game->key_event(vk::Digit5, 0);
  f.game->key_event(vk::Enter, 1);
  f.game->key_event(vk::Backspace, 1);
  EXPECT_EQ(f.platform.lines,
            (Lines{"say: No item selected", "say: No item selected", "say: Nothing selected."}));
}

TEST(Cheat, ReadsNamesWholeSkipsEmptyLinesAndStopsAtTheLastEntry) {
  GameFixture f;
  write_bytes(f.path("cheat.ini"), "Fire\r\n\r\n Fire\r\nWater\r\n");
  f.game->Form_Load();
  EXPECT_EQ(f.game->cheatmode, 1);
  EXPECT_EQ(f.game->itemcount, 3);
  EXPECT_EQ(f.game->items[1], "Fire");
  EXPECT_EQ(f.game->items[2], " Fire");
  EXPECT_EQ(f.game->items[3], "Water");
  EXPECT_EQ(f.game->menu, 0);
  EXPECT_EQ(f.game->parentmenu, 1);

  GameFixture big;
  std::string lines;
  for (int i = 1; i <= 10050; ++i) lines += "Item" + std::to_string(i) + "\r\n";
  write_bytes(big.path("cheat.ini"), lines);
  big.game->Form_Load();
  EXPECT_EQ(big.game->itemcount, 9999);
  EXPECT_EQ(big.game->items[9999], "Item9999");
  EXPECT_EQ(big.platform.lines[big.platform.lines.size() - 2],
            "say: Cheat mode has loaded in your 9999 custom items.  Have fun!");
  // A full inventory still combines without growing past its last entry.
  big.game->key_event(vk::Enter, 0);
  big.game->key_event(vk::Down, 0);
  big.game->key_event(vk::Enter, 0);
  big.game->key_event(vk::Enter, 1);
  EXPECT_EQ(big.game->itemcount, 9999);
}

TEST(LetterJump, KeypadAndFunctionCodesJumpLikeLowerCaseLetters) {
  GameFixture f;
  for (const char* n : {"Mud", "Mud", "Mushroom", "apple"}) f.game->newitem(n);
  f.game->menu = 0;
  f.game->selected = 1;
  f.game->key_event(vk::M, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: Mushroom, you have 1.");
  f.game->key_event(97, 0);  // keypad 1 has the code of "a"
  EXPECT_EQ(f.platform.lines.back(), "say: apple, you have 1.");
  f.game->key_event(vk::Up, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: Mushroom, you have 1.");
  f.game->key_event(vk::Up, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: Mud, you have 2.");
  EXPECT_EQ(f.game->selected, 2);
  f.game->key_event(vk::Up, 0);  // wraps to the last different name
  EXPECT_EQ(f.platform.lines.back(), "say: apple, you have 1.");
  const auto said = f.platform.lines.size();
  f.game->key_event(vk::Enter, 2);  // Ctrl+Enter goes on to the letter jump and finds nothing
  EXPECT_EQ(f.platform.lines.size(), said);
}

}  // namespace
}  // namespace quillvane::testing
