// A touch on a line of the item list (the web page's tap): it selects that
// very entry and says it as the arrows would, runs at once or waits its turn
// during an action by the arrows' rules, and does nothing where there is no
// entry to select.
#include <gtest/gtest.h>

#include "game/names.h"
#include "game_fixture.h"

namespace quillvane::testing {
namespace {

using Lines = std::vector<std::string>;

Event touch(int entry) {
  Event event{Event::Kind::select};
  event.entry = entry;
  return event;
}

TEST(SelectEntry, SelectsThatEntryShowsItAndSaysItsLine) {
  GameFixture f;
  f.start(kEasy);
  const int first_dirt = f.find("Dirt");
  const int second_dirt = f.find("Dirt", first_dirt);
  ASSERT_GT(second_dirt, first_dirt);
  // The second copy itself, which the arrows pass over.
  f.game->handle(touch(second_dirt));
  EXPECT_EQ(f.game->selected, second_dirt);
  ASSERT_TRUE(f.platform.shown);
  EXPECT_EQ(f.platform.shown->selected, second_dirt);
  EXPECT_EQ(f.platform.lines, (Lines{"say: Dirt, you have 2."}));
  // Touched again, it is said again; the arrows go on from it.
  f.game->handle(touch(second_dirt));
  f.press(vk::Down, 0);
  EXPECT_EQ(f.platform.lines,
            (Lines{"say: Dirt, you have 2.", "say: Dirt, you have 2.", "say: Grass, you have 1."}));
  // The line said is the one the arrow would say of the same entry.
  f.game->handle(touch(f.find("Water")));
  EXPECT_EQ(f.platform.lines.back(), "say: Water, you have 2.");
}

TEST(SelectEntry, DoesNothingInAMenuOrWhereNoEntryIsInUse) {
  struct Case {
    const char* what;
    int menu;
    int entry;  // 0 and below, or past the item count
    bool empty_name = false;
  };
  const Case cases[] = {
      {"the first line's top, above the list", kGameScreen, 0},
      {"a negative line", kGameScreen, -1},
      {"the line after the last entry", kGameScreen, 37},
      {"far below the list", kGameScreen, 9999},
      {"an entry with an empty name", kGameScreen, 5, true},
      {"the game menu", kGameMenu, 5},
      {"the main menu", kMainMenu, 5},
      {"a recipe list", kRecipeList, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFixture f;
    f.start(kEasy);
    ASSERT_EQ(f.game->itemcount, 36);
    if (c.empty_name) f.game->items[c.entry] = "";
    f.game->openmenu(c.menu, kGameScreen);
    f.game->selected = 2;
    f.platform.shown.reset();
    f.game->handle(touch(c.entry));
    EXPECT_EQ(f.platform.lines, Lines{});
    EXPECT_EQ(f.game->selected, 2);
    EXPECT_EQ(f.game->menu, c.menu);
    EXPECT_FALSE(f.platform.shown);
  }
}

TEST(SelectEntryDuringAnAction, IsSaidInsideTheWaitWhenNothingIsHeldBack) {
  GameFixture f;
  f.start(kEasy);
  f.put("Dirt", "Water");
  // In the 2-second wait after "Mud and Mud created." (said at 1).
  f.platform.timed_events = {{2.0, touch(1)}};
  f.press(vk::Enter, 1);
  ASSERT_GE(f.platform.lines.size(), 6u);
  EXPECT_EQ(f.platform.lines[2], "say: Mud and Mud created.");
  EXPECT_EQ(f.platform.lines[3], "wait: 2");
  EXPECT_EQ(f.platform.lines[4], "say: Apple, you have 1.");
  EXPECT_EQ(f.platform.lines[5], "cue: /sounds/achievement.wav");
  EXPECT_EQ(f.game->selected, 1);
}

TEST(SelectEntryDuringAnAction, WaitsBehindAHeldKeyAndObeysTheMenuItFinds) {
  {
    // Behind a held Enter: the Enter fills slot 1 after the combination,
    // then the touch selects its entry.
    GameFixture f;
    f.start(kEasy);
    f.put("Dirt", "Water");
    f.game->selected = 1;
    const int cow = f.find("Cow");
    f.platform.timed_keys = {{0.1, vk::Enter, 0}};
    f.platform.timed_events = {{0.2, touch(cow)}};
    f.press(vk::Enter, 1);
    const Lines& l = f.platform.lines;
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l[l.size() - 3],
              "say: New discovery!  Combining Dirt and Water creates Mud and Mud.");
    EXPECT_EQ(l[l.size() - 2], "say: Apple in slot 1.");
    EXPECT_EQ(l.back(), "say: Cow, you have 1.");
    EXPECT_EQ(f.game->slot1, 1);
    EXPECT_EQ(f.game->selected, cow);
  }
  {
    // Behind a held Escape: the game menu is open when the touch's turn
    // comes, so it selects nothing.
    GameFixture f;
    f.start(kEasy);
    f.put("Dirt", "Water");
    f.game->selected = 1;
    f.platform.timed_keys = {{0.1, vk::Escape, 0}};
    f.platform.timed_events = {{0.2, touch(4)}};
    f.press(vk::Enter, 1);
    EXPECT_EQ(f.platform.lines.back(), "say: Menu");
    EXPECT_EQ(f.game->menu, kGameMenu);
    EXPECT_EQ(f.game->selected, 1);
  }
}

}  // namespace
}  // namespace quillvane::testing
