// The comfort keys: the speech history, stopping the voice, the cue volume
// and its settings file, the status line, and what a window is told to show.
#include <gtest/gtest.h>

#include "game_fixture.h"

namespace quillvane::testing {
namespace {

using Lines = std::vector<std::string>;
constexpr int kComfortKeys[] = {vk::Ctrl, vk::PageUp, vk::PageDown, vk::End, vk::Home, vk::F12};

TEST(ComfortKeys, LeaveEveryMenuAndItsCursorAsTheyWere) {
  struct Place {
    const char* what;
    int menu, menuitem, parentmenu;
  };
  const Place places[] = {
      {"main menu, no entry yet", 1, 0, 0},
      {"main menu", 1, 3, 0},
      {"difficulty menu", 2, 4, 1},
      {"achievements", 3, 2, 6},
      {"help menu", 4, 5, 1},
      {"recipe list", 5, 2, 0},
      {"game menu", 6, 1, 0},
      {"details", 7, 1, 3},
  };
  for (const Place& place : places) {
    for (int key : kComfortKeys) {
      SCOPED_TRACE(std::string(place.what) + ", key " + std::to_string(key));
      GameFixture f;
      f.start(kEasy);
      f.game->allknown();
      f.game->menu = place.menu;
      f.game->menuitem = place.menuitem;
      f.game->parentmenu = place.parentmenu;
      f.press(key, 0);
      EXPECT_EQ(f.game->menu, place.menu);
      EXPECT_EQ(f.game->menuitem, place.menuitem);
      EXPECT_EQ(f.game->parentmenu, place.parentmenu);
    }
  }
}

TEST(ComfortKeys, RunAtOnceDuringAWaitEvenBehindAHeldBackKey) {
  GameFixture f;
  f.start(kEasy);
  f.put("Dirt", "Water");
  // Delete at 1.2 is held back; End at 1.5 still speaks inside the wait.
  f.platform.timed_keys = {{1.2, vk::Delete, 0}, {1.5, vk::End, 0}};
  f.press(vk::Enter, mask::Shift);
  const Lines& l = f.platform.lines;
  ASSERT_GE(l.size(), 5u);
  EXPECT_EQ(l[2], "say: Mud and Mud created.");
  // Inside the move: the step is counted, the slots' entries have moved.
  EXPECT_EQ(l[4].rfind("say: Easy mode, 1 step, 36 items, 0 recipes known.", 0), 0u) << l[4];
  EXPECT_EQ(l.back(), "say: Slots cleared");
}

TEST(SpeechHistory, HomeInCaptionModeSetsTheTitleAgainWithTheLeadingSpaceFirst) {
  GameFixture f;
  f.start(kEasy);
  f.game->speechmode = 1;
  f.game->sayit("Dirt, you have 2.");
  f.platform.calls.clear();
  f.press(vk::Home, 0);
  EXPECT_EQ(f.platform.calls,
            (Lines{"caption: Dirt, you have 2.", "yield", "caption:Dirt, you have 2."}));
}

TEST(SpeechHistory, KeepsTheLast100LinesAndPageUpStopsAtTheOldest) {
  GameFixture f;
  for (int i = 1; i <= 150; ++i) f.game->sayit("line " + std::to_string(i));
  for (int i = 0; i < 120; ++i) f.press(vk::PageUp, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: line 51");
  f.press(vk::PageDown, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: line 52");
  f.press(vk::Home, 0);
  EXPECT_EQ(f.platform.lines.back(), "say: line 150");
}

TEST(StopSpeech, CtrlStopsTheVoiceInVoiceModeOnly) {
  for (int mode : {0, 1, 2, 3}) {
    SCOPED_TRACE(mode);
    GameFixture f;
    f.game->voice = f.platform.make_voice();
    f.start(kEasy);
    f.game->speechmode = mode;
    f.platform.calls.clear();
    f.press(vk::Ctrl, 2);
    const bool stopped =
        std::count(f.platform.calls.begin(), f.platform.calls.end(), "voice-stop") == 1;
    EXPECT_EQ(stopped, mode == 0);
    EXPECT_TRUE(f.platform.lines.empty());
  }
}

TEST(CueVolume, StepsRoundAndIsKeptInItsOwnFile) {
  GameFixture f;
  f.start(kEasy);
  Lines said;
  for (int i = 0; i < 5; ++i) {
    f.press(vk::F12, 0);
    said.push_back(f.platform.lines.back());
  }
  EXPECT_EQ(said, (Lines{"say: Sounds at 75 percent.", "say: Sounds at 50 percent.",
                         "say: Sounds at 25 percent.", "say: Sounds off.",
                         "say: Sounds at 100 percent."}));
  Lines volumes;
  for (const std::string& call : f.platform.calls)
    if (call.rfind("cue-volume:", 0) == 0) volumes.push_back(call);
  EXPECT_EQ(volumes, (Lines{"cue-volume:75", "cue-volume:50", "cue-volume:25", "cue-volume:0",
                            "cue-volume:100"}));
  f.press(vk::F12, 0);
  EXPECT_EQ(f.file("settings.ini"), " 75 \r\n");
  f.reset();
  f.game->loadsettings();
  EXPECT_EQ(f.game->cuevolume, 75);
}

// --braille and --no-braille are kept in settings.ini's second line; a
// setting read from the file is left as it is.
TEST(BrailleSetting, TheCommandLinesChoiceIsKept) {
  struct Case {
    const char* before;  // settings.ini ("" for none)
    BrailleSetting braille;
    const char* after;
  };
  const Case cases[] = {
      {"", {true, true}, " 100 \r\n 1 \r\n"},
      {" 75 \r\n", {true, true}, " 75 \r\n 1 \r\n"},
      {" 75 \r\n 1 \r\n", {false, true}, " 75 \r\n"},
      {" 75 \r\n 1 \r\nes\r\n", {false, true}, " 75 \r\n 0 \r\nes\r\n"},
      {" 75 \r\n 1 \r\n", {true, false}, " 75 \r\n 1 \r\n"},
      {" 75 \r\n 1 \r\n", {true, true}, " 75 \r\n 1 \r\n"},
      {" 50 \r\n", {false, false}, " 50 \r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.before) + (c.braille.keep ? " kept" : "") +
                 (c.braille.on ? " on" : " off"));
    GameFixture f;
    if (*c.before) write_bytes(f.path("settings.ini"), c.before);
    f.platform.set_braille(c.braille);
    f.game->Form_Load();
    EXPECT_EQ(f.file("settings.ini"), c.after);
  }
}

TEST(CueVolume, AMissingOrDamagedSettingsFileMeansFullVolumeSaidNowhere) {
  for (const char* bytes : {"", " 40 \r\n", "loud\r\n", " 101 \r\n", "-25 \r\n"}) {
    SCOPED_TRACE(bytes);
    GameFixture f;
    write_bytes(f.path("settings.ini"), bytes);
    f.game->cuevolume = 25;
    EXPECT_FALSE(f.ends_program([&] { f.game->loadsettings(); }));
    EXPECT_EQ(f.game->cuevolume, 100);
    EXPECT_TRUE(f.platform.lines.empty());
  }
  // A settings file that cannot be written only lasts the run, silently.
  GameFixture f;
  f.platform.fail_writes = true;
  f.press(vk::F12, 0);
  EXPECT_EQ(f.platform.lines, (Lines{"say: Sounds at 75 percent."}));
}

TEST(WindowContext, TheWindowIsToldThePlaceAndTheLastLine) {
  GameFixture f;
  f.game->Form_Load();
  EXPECT_EQ(f.platform.place, "Main menu, no entry chosen yet.");
  EXPECT_EQ(f.platform.last_line,
            with_version("Welcome to Quillvane, version (@VERSION@), by Orlick"));
  f.press(vk::Down, 0);
  f.press(vk::Down, 0);
  EXPECT_EQ(f.platform.place, "Main menu, Continue where you left off");
  EXPECT_EQ(f.platform.last_line, "Continue where you left off");
  f.start(kEasy);
  f.press(vk::Digit1, 0);
  EXPECT_EQ(f.platform.place, "");
  EXPECT_EQ(f.platform.last_line, "You have made 0 steps so far.");
}

}  // namespace
}  // namespace quillvane::testing
