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
  f.press(vk::Enter, 1);
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
  f.press(vk::Enter, 1);
  EXPECT_EQ(f.platform.lines[0], "cue: /sounds/success.wav");
  EXPECT_EQ(f.platform.lines[2], "say: Mud and Mud created.");
  EXPECT_EQ(f.platform.lines[3], "wait: 2");
  EXPECT_EQ(f.platform.lines[4], "say: Chicken, you have 1.");
  EXPECT_EQ(f.platform.lines[5], "say: You have made 1 steps so far.");
  EXPECT_EQ(f.platform.lines[6], "cue: /sounds/NVDA.wav");
  EXPECT_EQ(f.platform.lines[7], "cue: /sounds/achievement.wav");
}

// A quit (the window closed) or a hurry (the page hidden) that arrives
// 1.5 s into the 2-second wait after "Mud and Mud created.", with an Enter
// held back before it: the move finishes its changes, log lines and saves
// without its remaining waits and speech. A quit then ends the program and
// drops the held-back Enter; after a hurry the Enter still fills a slot,
// silently, and the game goes on.
TEST(QuitAndHurry, DuringAMoveFinishesItsChangesLogAndSaves) {
  struct Case {
    const char* what;
    bool quit;
    Lines lines;
    int slot1;
  };
  const Lines move{"cue: /sounds/success.wav", "wait: 0.5", "say: Mud and Mud created.", "wait: 2"};
  Lines ended = move;
  ended.push_back("exit");
  const Case cases[] = {{"quit", true, ended, 0}, {"hurry", false, move, 1}};
  for (const Case& c : cases) {
    GameFixture f;
    f.start(kEasy);
    f.put("Dirt", "Water");
    f.platform.timed_keys = {{1.2, vk::Enter, 0}};
    (c.quit ? f.platform.timed_close : f.platform.timed_hurry) = 1.5;
    EXPECT_EQ(f.ends_program([&] { f.press(vk::Enter, 1); }), c.quit) << c.what;
    EXPECT_EQ(f.platform.lines, c.lines) << c.what;
    EXPECT_EQ(f.platform.clock, 1.5) << c.what;  // no later wait was served
    EXPECT_EQ(f.game->slot1, c.slot1) << c.what;
    const std::string log = f.file("log.txt");
    for (const char* line :
         {"You have combined Dirt and Water, to make Mud and Mud.  You have made 1 total "
          "moves.\r\n",
          "You have discovered Mud, which is part of the General collection!\r\n",
          "New discovery!  Combining Dirt and Water creates Mud and Mud.\r\n"})
      EXPECT_NE(log.find(line), std::string::npos) << c.what << ": " << line;
    int steps = 1;
    if (!c.quit) {
      // The game goes on: the next keys speak and wait as ever.
      f.platform.lines.clear();
      f.press(vk::Digit1, 0);
      EXPECT_EQ(f.platform.lines, (Lines{"say: You have made 1 steps so far."}));
      f.platform.lines.clear();
      f.put("Dirt", "Water");
      f.press(vk::Enter, 1);
      EXPECT_EQ(f.platform.lines.at(0), "cue: /sounds/success.wav");
      EXPECT_EQ(f.platform.lines.at(2), "say: Mud and Mud created.");
      EXPECT_EQ(f.platform.lines.at(3), "wait: 2");
      steps = 2;
    }
    // Both saves hold the moves and read back as valid files.
    f.reset();
    EXPECT_FALSE(f.ends_program([&] {
      f.game->loadprogress();
      f.game->loadrules();
      f.game->loadachievements();
    })) << c.what;
    EXPECT_EQ(f.game->steps, steps) << c.what;
    f.game->itemcount = 36;
    EXPECT_EQ(f.game->howmany("Mud"), 2 * steps) << c.what;
    EXPECT_EQ(f.game->ruleknown[1], 1) << c.what;
    EXPECT_EQ(f.game->myachievements(), 1) << c.what;
  }
}

TEST(Quit, WhenIdleEndsAtOnce) {
  GameFixture f;
  f.start(kEasy);
  EXPECT_TRUE(f.ends_program([&] { f.quit(); }));
  EXPECT_EQ(f.platform.lines, (Lines{"exit"}));
}

TEST(Hurry, WhenIdleChangesNothing) {
  GameFixture f;
  f.start(kEasy);
  f.platform.lines.clear();
  f.game->handle(Event{Event::Kind::hurry});
  EXPECT_TRUE(f.platform.lines.empty());
  f.press(vk::Digit1, 0);
  EXPECT_EQ(f.platform.lines, (Lines{"say: You have made 0 steps so far."}));
}

TEST(Undo, EmptiesBothSlotsSoAFollowingCombineConsumesNothingStale) {
  GameFixture f;
  f.start(kInsane);
  f.put("Dirt", "Water");
  f.press(vk::Enter, 1);
  f.put("Dirt", "Water");
  f.press(vk::Enter, 1);
  f.put("Mud", "Rock");
  f.press(vk::Backspace, 1);
  EXPECT_EQ(f.platform.lines.back(), "say: Recipe reversed.");
  EXPECT_EQ(f.game->slot1, 0);
  EXPECT_EQ(f.game->slot2, 0);
  f.platform.lines.clear();
  f.press(vk::Enter, 1);
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
  for (int key : {vk::Down, vk::Up, vk::Left, vk::Right, vk::M, vk::Enter}) f.press(key, 0);
  EXPECT_EQ(f.platform.lines, (Lines{"say: No item selected"}));
  f.platform.lines.clear();
  f.press(vk::Digit4, 0);
  f.press(vk::Digit5, 0);
  f.press(vk::Enter, 1);
  f.press(vk::Backspace, 1);
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
  big.press(vk::Enter, 0);
  big.press(vk::Down, 0);
  big.press(vk::Enter, 0);
  big.press(vk::Enter, 1);
  EXPECT_EQ(big.game->itemcount, 9999);
}

TEST(LetterJump, KeypadAndFunctionCodesJumpLikeLowerCaseLetters) {
  GameFixture f;
  for (const char* n : {"Mud", "Mud", "Mushroom", "apple"}) f.game->newitem(n);
  f.game->menu = 0;
  f.game->selected = 1;
  f.press(vk::M, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: Mushroom, you have 1.");
  f.press(97, 0);  // keypad 1 has the code of "a"
  EXPECT_EQ(f.platform.lines.back(), "say: apple, you have 1.");
  f.press(vk::Up, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: Mushroom, you have 1.");
  f.press(vk::Up, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: Mud, you have 2.");
  EXPECT_EQ(f.game->selected, 2);
  f.press(vk::Up, 0);  // wraps to the last different name
  EXPECT_EQ(f.platform.lines.back(), "say: apple, you have 1.");
  const auto said = f.platform.lines.size();
  f.press(vk::Enter, 2);  // Ctrl+Enter goes on to the letter jump and finds nothing
  EXPECT_EQ(f.platform.lines.size(), said);
}

}  // namespace
}  // namespace quillvane::testing
