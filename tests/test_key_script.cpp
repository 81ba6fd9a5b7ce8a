// The key-script parser of the headless runner.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/headless/key_script.h"

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
      {"Enter", 13, 0, "Enter", false, 0},
      {"Shift+Enter", 13, 1, "Shift+Enter", false, 0},
      {"Alt+Ctrl+Shift+Backspace", 8, 7, "Shift+Ctrl+Alt+Backspace", false, 0},
      {"@2.5 Down", 40, 0, "Down", true, 2.5},
      {"@3 Ctrl+A", 65, 2, "Ctrl+A", true, 3},
      {"Z", 90, 0, "Z", false, 0},
      {"7", 55, 0, "7", false, 0},
      {"Num0", 96, 0, "Num0", false, 0},
      {"Num9", 105, 0, "Num9", false, 0},
      {"NumPlus", 107, 0, "NumPlus", false, 0},
      {"NumDivide", 111, 0, "NumDivide", false, 0},
      {"F1", 112, 0, "F1", false, 0},
      {"F12", 123, 0, "F12", false, 0},
      {"Plus", 187, 0, "Plus", false, 0},
      {"Shift+Minus", 189, 1, "Shift+Minus", false, 0},
      {"VK13", 13, 0, "VK13", false, 0},
      {"VK254", 254, 0, "VK254", false, 0},
      {"Space\r", 32, 0, "Space", false, 0},
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
  script.pop();
  try {
    script.peek();
    FAIL() << "bad line accepted";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.line, 4);
  }
}

}  // namespace
}  // namespace quillvane
