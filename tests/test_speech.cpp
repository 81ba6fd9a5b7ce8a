// Speech router, timed wait, cues, the log and start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "game_fixture.h"

namespace quillvane::testing {
namespace {

struct SpeechTest : ::testing::Test, GameFixture {
  void SetUp() override { game->voice = platform.make_voice(); }
};

TEST_F(SpeechTest, VoiceModeSpeaksWithPurgeThenYields) {
  game->speechmode = 0;
  game->sayit("Hello there");
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"voice:Hello there", "yield"}));
}

TEST_F(SpeechTest, CaptionModeChangesTheCaptionEvenForTheSameLineTwice) {
  game->speechmode = 1;
  game->sayit("Mud");
  game->sayit("Mud");
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{"caption:Mud", "caption: Mud", "yield", "caption:Mud"}));
}

TEST_F(SpeechTest, WindowEyesModeSendsCtrlShiftTWhileKeysAreIgnored) {
  game->speechmode = 2;
  game->menu = 0;
  std::vector<int> sending_during_yields;
  platform.on_yield = [&](FakePlatform& p) {
    sending_during_yields.push_back(game->sendingkeys);
    // The synthetic keys come back as key presses: the game must ignore them.
    for (int code : p.sent_keys_down) p.pending.push_back({Event::Kind::key, code, 0});
    p.sent_keys_down.clear();
  };
  game->sayit("Hello");
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{"caption:Hello", "key:17:down", "key:16:down", "key:84:down",
                                      "yield", "key:17:up", "key:16:up", "key:84:up", "yield"}));
  EXPECT_EQ(sending_during_yields, (std::vector<int>{1, 0}));
  EXPECT_EQ(game->sendingkeys, 0);
}

TEST_F(SpeechTest, JawsModeSaysWithoutFlushAndOtherModesSayNothing) {
  platform.has_jaws = true;
  game->loadjaws();
  game->speechmode = 3;
  game->sayit("One");
  game->speechmode = 7;
  game->sayit("Two");
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"jaws:One|noflush"}));
}

TEST_F(SpeechTest, JawsModeWithoutJawsIsSilent) {
  game->loadjaws();
  game->speechmode = 3;
  game->sayit("One");
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(SpeechTest, LoadjawsIsMinusOneWhileMakingThenOneOrZero) {
  for (bool present : {true, false}) {
    platform.has_jaws = present;
    int during = 99;
    platform.on_make_screen_reader = [&] { during = game->jawsstatus; };
    game->loadjaws();
    EXPECT_EQ(during, -1);
    EXPECT_EQ(game->jawsstatus, present ? 1 : 0);
    EXPECT_EQ(game->jaws != nullptr, present);
  }
}

TEST_F(SpeechTest, HoldWaitsOnTheClockWithoutSpinning) {
  game->hold(0.5);
  EXPECT_DOUBLE_EQ(platform.clock, 0.5);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"wait-until"}));
}

TEST_F(SpeechTest, HoldZeroReturnsAtOnce) {
  game->hold(0);
  EXPECT_EQ(platform.clock, 0);
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(SpeechTest, NestedHoldEndsTheOuterWaitToo) {
  bool nested = false;
  platform.at_wait = [&](FakePlatform&) {
    if (nested) return false;
    nested = true;
    game->hold(2);  // as a key handled inside the wait would
    return true;
  };
  game->hold(5);
  EXPECT_DOUBLE_EQ(platform.clock, 2);
}

TEST_F(SpeechTest, CuePathsUseOneSoundsFolderForBothSpellings) {
  game->playcue("/sounds/success.wav");
  game->playcue("\\sounds/restart.wav");
  const std::string folder = platform.program_folder();
  // Where the backslash is a separator (Windows) the literal stays as it is.
  const std::string restart =
      platform.path_separator() == '\\' ? "\\sounds/restart.wav" : "/sounds/restart.wav";
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"sound:" + folder + "/sounds/success.wav",
                                                      "sound:" + folder + restart}));
}

TEST_F(SpeechTest, LogAppendsLinesWithCrLfAndSurvivesAnUnwritableFolder) {
  game->logit("first");
  game->logit("");
  EXPECT_EQ(read_bytes(platform.data_folder() + "/log.txt"), "first\r\n\r\n");
  platform.fail_writes = true;
  game->logit("lost");
  EXPECT_EQ(read_bytes(platform.data_folder() + "/log.txt"), "first\r\n\r\n");
}

TEST(StartUp, WelcomeLineIsSpokenAndLoggedOncePerRun) {
  FakePlatform platform{make_temp_folder()};
  for (int run = 1; run <= 2; ++run) {
    platform.calls.clear();
    platform.lines.clear();
    Form1 game(platform);
    game.Form_Load();
    EXPECT_EQ(platform.lines,
              (std::vector<std::string>{
                  with_version("title: Orlick's Quillvane (v@VERSION@)"),
                  with_version("say: Welcome to Quillvane, version (@VERSION@), by Orlick")}));
    EXPECT_EQ(game.menu, 1);
    EXPECT_EQ(game.sapirate, 7);
    EXPECT_EQ(game.jawsstatus, 0);
    EXPECT_EQ(platform.calls[0], "rate:7");
    EXPECT_EQ(platform.calls[1], "volume:100");
  }
  const std::string line = with_version("Welcome to Quillvane, version (@VERSION@), by Orlick\r\n");
  EXPECT_EQ(read_bytes(platform.data_folder() + "/log.txt"), line + line);
}

}  // namespace
}  // namespace quillvane::testing

namespace quillvane::testing {
namespace {

// A front-end that starts a first game in the screen reader's mode (the
// web page does, when no progress.ini is stored yet).
class CaptionFirstPlatform : public FakePlatform {
 public:
  using FakePlatform::FakePlatform;
  int default_speech_mode() override { return 1; }
};

TEST(StartUp, TheFrontEndsSpeechModeHoldsUntilASavedOneIsRead) {
  const std::string welcome = with_version("Welcome to Quillvane, version (@VERSION@), by Orlick");
  CaptionFirstPlatform platform(make_temp_folder());
  auto game = std::make_unique<Form1>(platform);
  game->Form_Load();
  EXPECT_EQ(game->speechmode, 1);
  EXPECT_EQ(platform.caption_text, welcome);
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "voice:" + welcome), 0);

  // A game saved in the voice's mode starts there again.
  game->speechmode = 0;
  game->saveprogress();
  game = std::make_unique<Form1>(platform);
  platform.calls.clear();
  game->Form_Load();
  EXPECT_EQ(game->speechmode, 0);
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "voice:" + welcome), 1);

  // Every other front-end starts in the voice's mode.
  FakePlatform plain(make_temp_folder());
  auto native = std::make_unique<Form1>(plain);
  native->Form_Load();
  EXPECT_EQ(native->speechmode, 0);
}

// Every change of speech mode (Tab, a saved game) settles the mode first:
// out of range is the voice, and so is JAWS' mode without JAWS, which says
// so. The front-end is told the settled mode once, and the title comes back
// where the new output leaves the caption alone.
TEST(SpeechMode, IsSettledThenToldOnce) {
  const std::string title = with_version("title: Orlick's Quillvane (v@VERSION@)");
  const std::string nojaws = "say: Jaws does not seem to be responding, Sapi on.";
  struct Case {
    const char* what;
    bool jaws;
    int from;
    std::optional<int> saved;  // a saved mode read back, else a Tab
    std::string told;          // the mode settled on, as the front-end is told it
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"Tab to the first caption mode", false, 0, {}, "1", {"cue: /sounds/NVDA.wav"}},
      {"Tab to Window-Eyes", false, 1, {}, "2", {"cue: /sounds/WE.wav"}},
      {"Tab to JAWS with JAWS", true, 2, {}, "3", {title, "cue: /sounds/JAWS.wav"}},
      {"Tab to JAWS without JAWS", false, 2, {}, "0 said", {title, nojaws}},
      {"Tab from JAWS back to the voice", true, 3, {}, "0", {title, "cue: /sounds/SAPI.wav"}},
      {"a saved caption mode", false, 0, 1, "1", {}},
      {"a saved voice mode after a caption mode", false, 1, 0, "0", {title}},
      {"the same mode saved", false, 0, 0, "0", {}},
      {"a saved JAWS mode without JAWS", false, 1, 3, "0 said", {title, nojaws}},
      {"a saved mode out of range", false, 2, 7, "0", {title}},
      {"a saved negative mode", false, 0, -1, "0", {}},
  };
  for (const Case& c : cases) {
    GameFixture f;
    f.platform.has_jaws = c.jaws;
    f.game->version = with_version("@VERSION@");
    f.game->loadjaws();
    f.game->speechmode = c.from;
    if (c.saved) {
      f.game->speechmode = *c.saved;
      f.game->saveprogress();
      f.game->speechmode = c.from;
    }
    f.platform.lines.clear();
    if (c.saved)
      f.game->loadprogress();
    else
      f.press(vk::Tab);
    EXPECT_EQ(std::to_string(f.game->speechmode), c.told.substr(0, 1)) << c.what;
    EXPECT_EQ(f.platform.speech_modes, std::vector<std::string>{c.told}) << c.what;
    EXPECT_EQ(f.platform.lines, c.lines) << c.what;
  }
}

// The game tells the front-end which key it asks for, beside the line.
TEST(Prompts, TheLinesThatAskForShiftComeWithTheirPrompt) {
  GameFixture f;
  f.start(kEasy);
  f.put("Dirt", "Water");
  f.press(vk::Backspace);
  f.press(vk::Enter);
  ASSERT_EQ(f.platform.prompts, (std::vector<Prompt>{Prompt::kUndo, Prompt::kCombine}));
  EXPECT_EQ(f.platform.lines,
            (std::vector<std::string>{"say: Press Shift + Backspace to undo the last recipe.",
                                      "say: Dirt and Water are ready to combine.  Press Shift and "
                                      "Enter when ready."}));
}

}  // namespace
}  // namespace quillvane::testing
