// The key-script parser of the headless runner.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/headless/key_script.h"
#include "platform/keys.h"

namespace quillvane {
namespace {

TEST(KeyScript, ParsesNamesModifiersCodesAndTimes) {
  struct Case {
    const char* line;
    int keycode;
    int shift;
    const char* name;
    bool timed;
    double at;
  };
  const Case cases[] = {
      {"Enter", vk::Enter, mask::None, "Enter", false, 0},
      {"Shift+Enter", vk::Enter, mask::Shift, "Shift+Enter", false, 0},
      {"Alt+Ctrl+Shift+Backspace", vk::Backspace, mask::Shift | mask::Ctrl | mask::Alt,
       "Shift+Ctrl+Alt+Backspace", false, 0},
      {"@2.5 Down", vk::Down, mask::None, "Down", true, 2.5},
      {"@3 Ctrl+A", vk::letter('A'), mask::Ctrl, "Ctrl+A", true, 3},
      {"Z", vk::letter('Z'), mask::None, "Z", false, 0},
      {"7", vk::digit(7), mask::None, "7", false, 0},
      {"Num0", vk::num_digit(0), mask::None, "Num0", false, 0},
      {"Num9", vk::num_digit(9), mask::None, "Num9", false, 0},
      {"NumPlus", vk::NumPlus, mask::None, "NumPlus", false, 0},
      {"NumDivide", vk::NumDivide, mask::None, "NumDivide", false, 0},
      {"F1", vk::function_key(1), mask::None, "F1", false, 0},
      {"F12", vk::F12, mask::None, "F12", false, 0},
      {"Plus", vk::Plus, mask::None, "Plus", false, 0},
      {"Shift+Minus", vk::Minus, mask::Shift, "Shift+Minus", false, 0},
      {"VK13", vk::Enter, mask::None, "VK13", false, 0},
      {"VK254", 254, 0, "VK254", false, 0},
      {"Space\r", vk::Space, mask::None, "Space", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    auto key = parse_script_line(c.line, 1);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->keycode, c.keycode);
    EXPECT_EQ(key->shift, c.shift);
    EXPECT_EQ(key->name, c.name);
    EXPECT_EQ(key->timed, c.timed);
    EXPECT_DOUBLE_EQ(key->at, c.at);
  }
}

TEST(KeyScript, SkipsBlankAndCommentLines) {
  for (const char* line : {"", "   ", "# a comment", "#Enter", "\r"})
    EXPECT_FALSE(parse_script_line(line, 1).has_value()) << line;
}

TEST(KeyScript, RejectsBadLinesWithTheirLineNumber) {
  for (const char* line :
       {"enter", "Return", "VK0", "VK255", "F13", "F0", "Shift+Shift+A", "Meta+A", "@x Enter",
        "@-1 Enter", "@2", "Shift+", "a", "Num10", "VK", "@1e3 Enter"}) {
    try {
      parse_script_line(line, 7);
      ADD_FAILURE() << "accepted: " << line;
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.line, 7) << line;
    }
  }
}

TEST(KeyScript, ReadsLazilyAndCountsLines) {
  std::istringstream in("# start\nEnter\n\nbogus\n");
  KeyScript script(in);
  ASSERT_NE(script.peek(), nullptr);
  EXPECT_EQ(script.peek()->line, 2);
  EXPECT_TRUE(script.peek()->error.empty());
  script.pop();
  ASSERT_NE(script.peek(), nullptr);
  EXPECT_EQ(script.peek()->line, 4);
  EXPECT_FALSE(script.peek()->error.empty());
  EXPECT_FALSE(script.peek()->timed);
}

}  // namespace
}  // namespace quillvane

#include <filesystem>
#include <fstream>

#include "app/frontends.h"
#include "fake_platform.h"
#include "platform/headless/headless_platform.h"

namespace quillvane::testing {
namespace {

// The transcript of a first start and two Enters, up to the new easy
// game's wait: the start of every script below.
const std::string kEasyStart =
    "title: Orlick's Quillvane (v@VERSION@)\n"
    "say: Welcome to Quillvane, version (@VERSION@), by Orlick\n"
    "key: Enter\n"
    "say: Choose puzzle difficulty\n"
    "key: Enter\n"
    "say: Beginning puzzle on easy mode\n"
    "wait: 0.5\n";

TEST(HeadlessRunner, ABadLineStopsTheRunWithStatusTwoAfterWritingTheTranscriptSoFar) {
  const std::string folder = make_temp_folder();
  write_bytes(folder + "/game.keys", "Enter\n# fine\nEnter\nShift+Return\nEnter\n");
  HeadlessOptions options{folder + "/game.keys", folder, 1u, folder + "/out.txt", "", ""};
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(run_headless(options), 2);
  const std::string error = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(error.find("line 4"), std::string::npos) << error;
  EXPECT_EQ(read_bytes(folder + "/out.txt"),
            with_version(kEasyStart + "cue: \\sounds/restart.wav\n"));
  std::filesystem::remove_all(folder);
}

TEST(HeadlessRunner, TimedKeysArriveInsideTheWaitTheyFallIn) {
  const std::string folder = make_temp_folder();
  // The Escape at 0.2 arrives inside the new game's half-second wait and is
  // held back until the game has started (after its cue). The program then
  // ends before the clock reaches the last key.
  write_bytes(folder + "/game.keys", "Enter\nEnter\n@0.2 Escape\nUp\nEnter\n@30 Down\n");
  HeadlessOptions options{folder + "/game.keys", folder, 1u, folder + "/out.txt", "", ""};
  EXPECT_EQ(run_headless(options), 0);
  EXPECT_EQ(read_bytes(folder + "/out.txt"), with_version(kEasyStart + "key: Escape\n"
                                                                       "cue: \\sounds/restart.wav\n"
                                                                       "say: Menu\n"
                                                                       "key: Up\n"
                                                                       "say: Exit the game\n"
                                                                       "key: Enter\n"
                                                                       "say: Goodbye\n"
                                                                       "wait: 0.5\n"
                                                                       "exit\n"));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quillvane::testing

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace quillvane {
namespace {

std::string to_chars_text(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The WebAssembly build formats waits without to_chars: its text must be
// to_chars' own, or transcripts would differ between the builds.
TEST(ShortestDecimal, WritesWhatToCharsWrites) {
  std::vector<double> values = {
      0.5,     1,    2,     3,       5,       0.1,     0.25,  0.001,  0.0001,
      0.00001, 100,  1000,  1e15,    1e16,    1e17,    1e21,  1e22,   123456,
      1.5e-7,  -0.5, -3,    1.0 / 3, 2.0 / 3, 1e-300,  1e300, 5e-324, 1.7976931348623157e308,
      86400,   0.3,  12.25, 1e-5,    9.5e-5,  123.456, 4.35};
  std::mt19937_64 random(20240601);
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
    // Round numbers of a few digits, as waits and script times are.
    values.push_back(static_cast<double>(random() % 100000) / std::pow(10.0, random() % 8));
  }
  for (double value : values) ASSERT_EQ(shortest_decimal(value), to_chars_text(value)) << value;
}

// Script times are read without from_chars too, with the same result.
TEST(KeyScript, ReadsTimesAsFromCharsDoes) {
  for (const char* time : {"0", "0.5", "2", "12.25", "0.1", "0.3", "1.005", ".5", "7.", "86400",
                           "0.000000000000000000001", "123456789.123456789"}) {
    SCOPED_TRACE(time);
    double expected = 0;
    std::from_chars(time, time + std::strlen(time), expected);
    auto key = parse_script_line(std::string("@") + time + " Enter", 1);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->at, expected);
  }
  // Too large for a double: no time.
  EXPECT_THROW(parse_script_line("@" + std::string(400, '9') + " Enter", 1), ScriptError);
}

}  // namespace
}  // namespace quillvane

namespace quillvane::testing {
namespace {

// A key that types a letter beyond A to Z is written as that letter, in
// UTF-8: it has no key code, and its name in the transcript is the letter.
TEST(KeyScript, ALetterBeyondAToZIsTypedAsItself) {
  for (const std::string name : {"ñ", "Ä", "ß", "é", "ж"}) {
    auto key = parse_script_line(name, 1);
    ASSERT_TRUE(key) << name;
    EXPECT_EQ(key->keycode, 0);
    EXPECT_NE(key->character, 0u);
    EXPECT_EQ(key->name, name);
  }
  auto shifted = parse_script_line("@1.5 Shift+ñ", 3);
  ASSERT_TRUE(shifted);
  EXPECT_EQ(shifted->character, U'ñ');
  EXPECT_EQ(shifted->shift, mask::Shift);
  EXPECT_EQ(shifted->name, "Shift+ñ");
  EXPECT_EQ(parse_script_line("A", 1)->character, 0u);
  // Two letters, a control, an invisible space or broken UTF-8 are no key.
  for (const std::string bad : {"ññ", "\xc2\x85", "\xc2\xa0", "\xc3", "\xe2\x80\x8b"})
    EXPECT_THROW(parse_script_line(bad, 1), ScriptError) << bad;
}

}  // namespace
}  // namespace quillvane::testing
