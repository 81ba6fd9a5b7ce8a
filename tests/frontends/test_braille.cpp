// The game's own braille display: the window of cells over a line (always
// from the line's first character, panned a display width at a time, never
// past either end), the line's characters, and a display whose BRLTTY is
// missing or stalls, which the game's thread never waits for.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/braille/braille_display.h"
#include "platform/braille/braille_window.h"

namespace quillvane {
namespace {

using Clock = std::chrono::steady_clock;

TEST(BrailleWindow, ShowsALineFromItsStartAndPansAWidthAtATime) {
  const std::wstring line =
      L"Magic combined with anything makes a copy.  Press Shift and Enter to combine.";  // 77
  struct Step {
    const char* what;
    bool (BrailleWindow::*move)();
    bool moved;
    std::wstring view;
  };
  const Step steps[] = {
      {"right", &BrailleWindow::pan_right, true, line.substr(40, 40)},
      {"right at the end", &BrailleWindow::pan_right, false, line.substr(40, 40)},
      {"left", &BrailleWindow::pan_left, true, line.substr(0, 40)},
      {"left at the start", &BrailleWindow::pan_left, false, line.substr(0, 40)},
      {"to the end", &BrailleWindow::to_end, true, line.substr(40)},
      {"to the start", &BrailleWindow::to_start, true, line.substr(0, 40)},
  };
  BrailleWindow window;
  window.set_width(40);
  window.show(line);
  EXPECT_EQ(window.view(), line.substr(0, 40));
  for (const Step& step : steps) {
    EXPECT_EQ((window.*step.move)(), step.moved) << step.what;
    EXPECT_EQ(window.view(), step.view) << step.what;
  }
  // A new line starts at its beginning, wherever the last one was panned.
  window.pan_right();
  window.show(L"Menu");
  EXPECT_EQ(window.view(), L"Menu");
  EXPECT_FALSE(window.pan_right());
  EXPECT_FALSE(window.to_end());
  // A line of exactly two widths ends on its second window.
  window.set_width(10);
  window.show(std::wstring(20, L'x'));
  EXPECT_TRUE(window.pan_right());
  EXPECT_FALSE(window.pan_right());
  EXPECT_EQ(window.start(), 10u);
}

TEST(BrailleWindow, TheLinesCharactersOneCellEach) {
  const std::vector<std::pair<std::string, std::wstring>> cases{
      {"Dirt", L"Dirt"},
      {"Caf\xc3\xa9 \xe2\x82\xac", L"Caf\u00e9 \u20ac"},
      {"\xf0\x9f\x8d\x8e", L"\U0001F34E"},
      // A byte that starts no character stands for itself.
      {"a\xff"
       "b",
       L"a\u00ffb"},
      {"\xe2\x82", L"\u00e2\u0082"},
  };
  for (const auto& [utf8, cells] : cases) EXPECT_EQ(braille_characters(utf8), cells) << utf8;
}

// Waits (at most limit) until the display's state is wanted.
bool reaches(const BrailleDisplay& display, BrailleDisplay::State wanted,
             std::chrono::seconds limit) {
  const auto until = Clock::now() + limit;
  while (Clock::now() < until) {
    if (display.state() == wanted) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return display.state() == wanted;
}

// A BrlAPI address (host:N is port 4101 + N) with a listening socket that
// accepts and never answers, or (listening false) with nothing behind it.
class BrlapiAddress {
 public:
  explicit BrlapiAddress(bool listening) {
    for (int number = 300; number < 400 && address_.empty(); ++number) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in where{};
      where.sin_family = AF_INET;
      where.sin_port = htons(static_cast<uint16_t>(4101 + number));
      where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 &&
          (!listening || listen(fd, 4) == 0)) {
        address_ = "127.0.0.1:" + std::to_string(number);
        // Nothing behind it: the port stays bound, so nobody else takes
        // it, but a connection is refused.
        fd_ = fd;
      } else {
        close(fd);
      }
    }
    setenv("BRLAPI_HOST", address_.c_str(), 1);
    setenv("BRLAPI_AUTH", "none", 1);
  }
  ~BrlapiAddress() {
    if (fd_ >= 0) close(fd_);
  }
  bool found() const { return !address_.empty(); }

 private:
  std::string address_;
  int fd_ = -1;
};

TEST(BrailleDisplay, WithNoBrlttyItIsMissingAndTheGameGoesOn) {
  BrlapiAddress nobody(false);
  ASSERT_TRUE(nobody.found());
  std::atomic<int> changes{0};
  BrailleDisplay display([&] { ++changes; });
  // A line said meanwhile is left in the mailbox: the call returns at once.
  display.show("Welcome to Quillvane");
  ASSERT_TRUE(reaches(display, BrailleDisplay::State::missing, std::chrono::seconds(10)));
  EXPECT_GE(changes.load(), 1);
  EXPECT_FALSE(display.why().empty());
  display.show("Choose puzzle difficulty");
  EXPECT_EQ(display.state(), BrailleDisplay::State::missing);
}

TEST(BrailleDisplay, ABrlttyThatNeverAnswersIsGivenUpAndNotWaitedFor) {
  BrlapiAddress stalled(true);
  ASSERT_TRUE(stalled.found());
  const auto started = Clock::now();
  {
    BrailleDisplay display([] {});
    display.show("Welcome to Quillvane");
    EXPECT_EQ(display.state(), BrailleDisplay::State::connecting);
    ASSERT_TRUE(reaches(display, BrailleDisplay::State::missing, std::chrono::seconds(20)));
    EXPECT_EQ(display.why(), "BRLTTY does not answer");
  }
  // The connecting thread still waits for the server; the display's end
  // left it behind. (Printed, not asserted: the figure depends on load.)
  std::printf("display given up and ended after %.2f s\n",
              std::chrono::duration<double>(Clock::now() - started).count());
}

}  // namespace
}  // namespace quillvane
