// What the terminal front-end writes, read back from a pseudo-terminal: each
// printed line leaves the caret right after its text, its line break coming
// before the next line, while the screen has room below; a line that
// reaches the screen's last row takes two breaks along, and the next comes
// without one before it. The break comes before the terminal is given back,
// and a terminal that has not sent a modified Enter or Backspace is told
// once which keys stand for them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/terminal/terminal_platform.h"

namespace quillvane {
namespace {

constexpr const char* kReady =
    "Chicken and Cow are ready to combine.  Press Shift and Enter when ready.";
constexpr const char* kBackspace = "Press Shift + Backspace to undo the last recipe.";
constexpr const char* kHint = "In this terminal, Ctrl+J combines and Ctrl+H undoes.";
constexpr const char* kIntroEnd = "Ctrl+C quits.";

// A pseudo-terminal with the terminal front-end on its far side. Its
// terminal side runs on a thread of its own, as a terminal emulator does:
// it keeps what the game wrote, follows the caret over a screen of rows_ x
// columns_ (characters, wrapping, CR, LF and scrolling) and answers the
// question where the caret is (ESC [ 6 n) unless answers_ is false, after
// the keys in typed_before_answer_ (before the first answer only), the
// first answer held back with late_first_answer_.
class TerminalOutput : public ::testing::Test {
 protected:
  void SetUp() override { start(); }
  void TearDown() override { stop(); }

  void start() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows_);
    size.ws_col = static_cast<unsigned short>(columns_);
    ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    row_ = 1;
    column_ = 0;
    running_ = true;
    terminal_ = std::thread([this] { run_terminal(); });
    platform_ =
        std::make_unique<TerminalPlatform>(slave_, slave_, "/nonexistent", "/nonexistent", 1);
    ASSERT_TRUE(platform_->open());
  }
  void stop() {
    platform_.reset();
    running_ = false;
    if (terminal_.joinable()) terminal_.join();
    close(slave_);
    close(master_);
    std::lock_guard lock(mutex_);
    output_.clear();
    questions_ = 0;
  }

  // The caret after one byte the terminal shows (escape sequences are
  // handled by the caller).
  void follow(char byte) {
    if (byte == '\r') {
      column_ = 0;
    } else if (byte == '\n') {
      if (row_ < rows_) ++row_;
      if (column_ == columns_) column_ = columns_ - 1;
    } else if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) {
      if (column_ == columns_) {  // the pending wrap of a full row
        if (row_ < rows_) ++row_;
        column_ = 0;
      }
      ++column_;
    }
  }

  void run_terminal() {
    std::size_t seen = 0;
    while (running_) {
      pollfd descriptor{master_, POLLIN, 0};
      poll(&descriptor, 1, 20);
      char buffer[4096];
      ssize_t got;
      std::string reply;
      {
        std::lock_guard lock(mutex_);
        while ((got = read(master_, buffer, sizeof buffer)) > 0)
          output_.append(buffer, static_cast<std::size_t>(got));
        while (seen < output_.size()) {
          if (output_[seen] != '\x1b') {
            follow(output_[seen++]);
            continue;
          }
          // ESC [ parameters final, or ESC and one byte.
          std::size_t end = seen + 1;
          if (end < output_.size() && output_[end] == '[') {
            ++end;
            while (end < output_.size() && (output_[end] < 0x40 || output_[end] > 0x7E)) ++end;
          }
          if (end >= output_.size()) break;  // the rest is still on its way
          if (output_.compare(seen, end + 1 - seen, "\x1b[6n") == 0) {
            ++questions_;
            const std::string answer = std::exchange(typed_before_answer_, "") + "\x1b[" +
                                       std::to_string(row_) + ";" +
                                       std::to_string(std::min(column_ + 1, columns_)) + "R";
            if (late_first_answer_ && questions_ == 1)
              held_answer_ = answer;
            else if (answers_)
              reply += std::exchange(held_answer_, "") + answer;
          }
          seen = end + 1;
        }
      }
      if (!reply.empty()) (void)!write(master_, reply.data(), reply.size());
    }
  }

  // Everything the terminal has shown so far.
  std::string output() {
    std::lock_guard lock(mutex_);
    return output_;
  }
  int questions() {
    std::lock_guard lock(mutex_);
    return questions_;
  }

  // What the terminal showed, without the questions about its caret.
  static std::string without_questions(std::string text) {
    for (std::size_t at; (at = text.find("\x1b[6n")) != std::string::npos;) text.erase(at, 4);
    return text;
  }

  // Waits (at most 10 s) until the output, questions aside, ends with ending.
  bool wait_for_output(const std::string& ending) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < limit) {
      if (without_questions(output()).ends_with(ending)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // The game waits for its next event (briefly: none comes), which shows
  // what it has said since it last waited.
  void game_waits() { platform_->next_event(platform_->now() + 0.001); }

  // The keys a terminal sends, taken by the game.
  void type(const std::string& bytes, int keys) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    for (int i = 0; i < keys; ++i)
      ASSERT_TRUE(platform_->next_event(platform_->now() + 10).has_value());
  }

  // What the game wrote after the intro, without the questions.
  std::string shown() {
    const std::string text = without_questions(output());
    return text.substr(text.find(kIntroEnd) + std::string(kIntroEnd).size());
  }

  // The printed lines after the intro, split at the terminal's line breaks.
  std::vector<std::string> lines() {
    const std::string text = shown();
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      result.push_back(text.substr(start, end - start));
    result.push_back(text.substr(start));
    return result;
  }

  int master_ = -1;
  int slave_ = -1;
  std::unique_ptr<TerminalPlatform> platform_;
  std::thread terminal_;
  std::atomic<bool> running_{false};
  std::mutex mutex_;
  std::string output_;
  int questions_ = 0;
  int rows_ = 24;
  int columns_ = 80;
  int row_ = 1;     // 1 for the top row
  int column_ = 0;  // characters on the caret's row before it; columns_ when full
  bool answers_ = true;
  std::string typed_before_answer_;
  // The first answer comes only with the second, after the game has given
  // up waiting for it.
  bool late_first_answer_ = false;
  std::string held_answer_;
};

TEST_F(TerminalOutput, EachLineEndsAtTheCaretAndBreaksBeforeTheNext) {
  // The terminal's own first line comes with the game's first line.
  platform_->on_say("Welcome");
  game_waits();
  ASSERT_TRUE(wait_for_output("Ctrl+C quits.\r\nWelcome"));
  platform_->on_say("Choose puzzle difficulty");
  game_waits();
  // The break and the next line in one write, the terminal asked where its
  // caret is after each.
  ASSERT_TRUE(wait_for_output("Welcome\r\nChoose puzzle difficulty"));
  EXPECT_NE(output().find("Welcome\x1b[6n\r\nChoose puzzle difficulty\x1b[6n"), std::string::npos);
  // Lines said in one go are one write.
  platform_->on_say("Menu");
  platform_->on_say("Return to the game");
  game_waits();
  ASSERT_TRUE(wait_for_output("difficulty\r\nMenu\r\nReturn to the game"));
  EXPECT_NE(output().find("\r\nMenu\r\nReturn to the game"), std::string::npos);
  // Giving the terminal back ends the last line, then releases the key modes.
  platform_->restore();
  ASSERT_TRUE(wait_for_output("Return to the game\r\n\x1b[<u\x1b[>4;0m\x1b>"));
  // Nothing more is written: the shell's prompt starts on a line of its own.
  platform_->restore();
  EXPECT_TRUE(without_questions(output()).ends_with("\x1b>"));
}

TEST_F(TerminalOutput, ALineReachingTheLastRowTakesItsBreaksAlong) {
  // At the foot a line takes two breaks (an empty row after it), and the
  // next line comes with none before it.
  const std::string wide(50, 'w');
  struct Case {
    const char* what;
    int rows, columns;
    std::vector<std::string> said;  // the first comes with the intro (157 characters)
    std::string shown;              // after the intro
  };
  const Case cases[] = {
      {"short lines fill the screen, then each scrolls it",
       6,
       80,
       {"Welcome", "One", "Two", "Three", "Four"},
       "\r\nWelcome\r\nOne\r\nTwo\r\nThree\r\n \r\nFour\r\n \r\n"},
      {"a line that wraps onto the last row",
       6,
       40,
       {"Welcome", wide, "Next"},
       "\r\nWelcome\r\n" + wide + "\r\n \r\nNext\r\n \r\n"},
      {"the first lines already reach the last row",
       3,
       80,
       {"Welcome", "Menu"},
       "\r\nWelcome\r\n \r\nMenu\r\n \r\n"},
      {"a line filling its last row exactly",
       5,
       40,
       {"Welcome", std::string(40, 'x'), "Next"},
       "\r\nWelcome\r\n \r\n" + std::string(40, 'x') + "\r\n \r\nNext\r\n \r\n"},
  };
  for (const Case& c : cases) {
    stop();
    rows_ = c.rows;
    columns_ = c.columns;
    start();
    for (const std::string& line : c.said) {
      platform_->on_say(line);
      game_waits();
    }
    ASSERT_TRUE(wait_for_output(c.said.back() + "\r\n \r\n")) << c.what << ": " << output();
    EXPECT_EQ(shown(), c.shown) << c.what;
    // The breaks are written: giving the terminal back adds none.
    platform_->restore();
    ASSERT_TRUE(wait_for_output(c.said.back() + "\r\n \r\n\x1b[<u\x1b[>4;0m\x1b>")) << c.what;
  }
}

TEST_F(TerminalOutput, ANewSpeechOutputIsALineLikeAnyOther) {
  platform_->on_speech_mode(0, false);
  platform_->on_say("Welcome");
  game_waits();
  platform_->on_speech_mode(1, false);
  game_waits();
  ASSERT_TRUE(wait_for_output("(NVDA mode)."));
  platform_->on_say("Menu");
  platform_->on_speech_mode(0, false);
  game_waits();
  ASSERT_TRUE(wait_for_output("voice and printed lines."));
  platform_->on_speech_mode(1, false);
  // A change the game tells in its own line (past mode 2 with no JAWS, back
  // to the voice) gets no line of the terminal's.
  platform_->on_speech_mode(0, true);
  platform_->on_say("Jaws does not seem to be responding, Sapi on.");
  game_waits();
  ASSERT_TRUE(wait_for_output("Sapi on."));
  EXPECT_EQ(lines(), (std::vector<std::string>{
                         "", "Welcome",
                         "Speech output: printed lines only, for your screen reader (NVDA mode).",
                         "Menu", "Speech output: voice and printed lines.",
                         "Speech output: printed lines only, for your screen reader (NVDA mode).",
                         "Jaws does not seem to be responding, Sapi on."}));
}

TEST_F(TerminalOutput, TheKeysThatStandForShiftAreNamedOnceWhereShiftCannotBeSent) {
  struct Case {
    const char* what;
    std::string reports;            // bytes the terminal sends first
    int keys;                       // the keys they make
    std::vector<const char*> said;  // kReady and kBackspace come with their prompt
    std::vector<std::string> printed;
    bool prompted = true;  // false: the game says the lines without asking for a key
  };
  const Case cases[] = {
      {"no report: after the first ready line only",
       "",
       0,
       {kReady, kReady},
       {"", kReady, kHint, kReady}},
      {"no report: after a plain Backspace, then never again",
       "\x7f",
       1,
       {kBackspace, kReady},
       {"", kBackspace, kHint, kReady}},
      {"Shift+Enter reported (CSI u): the ready line stands alone",
       "\x1b[13;2u",
       1,
       {kReady},
       {"", kReady}},
      {"only Shift+Enter reported (xterm): Backspace still gets the hint",
       "\x1b[27;2;13~",
       1,
       {kReady, kBackspace},
       {"", kReady, kBackspace, kHint}},
      {"both reported: no hint",
       "\x1b[13;2u\x1b[127;2u",
       2,
       {kBackspace, kReady},
       {"", kBackspace, kReady}},
      {"a plain Enter shows nothing", "\r", 1, {kReady}, {"", kReady, kHint}},
      {"the game's words alone, with no prompt, bring no hint",
       "",
       0,
       {kReady, kBackspace},
       {"", kReady, kBackspace},
       false},
  };
  for (const Case& c : cases) {
    stop();
    start();
    type(c.reports, c.keys);
    for (const char* line : c.said) {
      if (c.prompted && line == kReady) platform_->on_prompt(Prompt::kCombine);
      if (c.prompted && line == kBackspace) platform_->on_prompt(Prompt::kUndo);
      platform_->on_say(line);
      game_waits();
    }
    ASSERT_TRUE(wait_for_output(c.printed.back())) << c.what << ": " << output();
    EXPECT_EQ(lines(), c.printed) << c.what;
  }
}

TEST_F(TerminalOutput, KeysTypedBeforeTheAnswerStayQueued) {
  typed_before_answer_ = "d";
  platform_->on_say("Beginning puzzle on easy mode");
  // The game waits: the line is shown once the terminal has said where its
  // caret is, and the letter typed meanwhile is a key; the answer is none.
  const auto key = platform_->next_event(platform_->now() + 10);
  ASSERT_TRUE(wait_for_output("Beginning puzzle on easy mode"));
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->kind, Event::Kind::key);
  EXPECT_EQ(key->keycode, 68);
  EXPECT_FALSE(platform_->next_event(platform_->now() + 0.2).has_value());
}

TEST_F(TerminalOutput, ALateAnswerIsNotTakenForTheNextOne) {
  stop();
  rows_ = 4;
  late_first_answer_ = true;
  start();
  // The intro takes rows 1 and 2, the welcome row 3: its question's answer
  // (row 1) comes only with the next, which says row 3, so the next line
  // reaches the last row and takes its breaks.
  platform_->on_say("Welcome");
  game_waits();
  platform_->on_say("Menu");
  game_waits();
  ASSERT_TRUE(wait_for_output("Menu\r\n \r\n")) << output();
  EXPECT_EQ(shown(), "\r\nWelcome\r\nMenu\r\n \r\n");
  // The late answer typed no key.
  EXPECT_FALSE(platform_->next_event(platform_->now() + 0.2).has_value());
}

TEST_F(TerminalOutput, ATerminalThatDoesNotAnswerIsNotAskedForever) {
  stop();
  answers_ = false;
  start();
  for (const char* line : {"Welcome", "Menu", "Exit the game", "Goodbye"}) {
    platform_->on_say(line);
    game_waits();
  }
  ASSERT_TRUE(wait_for_output("Goodbye"));
  // Three questions waited for in vain (each write also asks, without
  // waiting), then none.
  EXPECT_EQ(questions(), 5);
  // Without an answer every line breaks before its text.
  EXPECT_EQ(lines(), (std::vector<std::string>{"", "Welcome", "Menu", "Exit the game", "Goodbye"}));
}

}  // namespace
}  // namespace quillvane
