// The Windows front-end's window: keys with their codes and shift masks,
// waits that block until an event or the deadline, the program's end
// carried out of the message loop, the caption, and painting the list.
// These need a display (Xvfb under wine) and are skipped without one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace quillvane::win32 {
namespace {

// Every event the window has queued, as text, taken without waiting.
std::vector<std::string> taken(Win32Platform& platform) {
  std::vector<std::string> events;
  while (auto event = platform.next_event(platform.now())) {
    switch (event->kind) {
      case Event::Kind::key:
        events.push_back("key " + std::to_string(event->keycode) + " " +
                         std::to_string(event->shift));
        break;
      case Event::Kind::paint:
        events.push_back("paint");
        break;
      case Event::Kind::close:
        events.push_back("close");
        break;
      case Event::Kind::end:
        events.push_back("end");
        break;
    }
  }
  return events;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform.open()) {
      // CI sets QUILLVANE_REQUIRE_WINDOW, where a display is always there.
      if (std::getenv("QUILLVANE_REQUIRE_WINDOW")) FAIL() << "the window could not be made";
      GTEST_SKIP() << "no window can be made here (no display)";
    }
    taken(platform);  // the window's own start-up messages
  }
  void TearDown() override { platform.close(); }
  // lparam: the repeat count 1, and bit 30 set for a key already down (auto-repeat).
  void post_key(UINT message, int keycode, bool repeat = false) {
    const LPARAM lparam = repeat ? (1 | (1 << 30)) : 1;
    ASSERT_TRUE(PostMessageW(platform.window(), message, static_cast<WPARAM>(keycode), lparam));
  }

  Win32Platform platform{{".", ".", 5u}};
};

TEST_F(WindowTest, KeysReachTheGameWithTheirCodesAndCtrlOncePerPress) {
  post_key(WM_KEYDOWN, 'D');
  post_key(WM_KEYDOWN, VK_SHIFT);
  // Ctrl alone silences the voice: its press reaches the game, not its repeats.
  post_key(WM_KEYDOWN, VK_CONTROL);
  post_key(WM_KEYDOWN, VK_CONTROL, true);
  post_key(WM_SYSKEYDOWN, VK_MENU);
  post_key(WM_KEYDOWN, VK_RETURN);
  post_key(WM_SYSKEYDOWN, VK_F10);  // F10 arrives as a system key
  post_key(WM_KEYDOWN, VK_ADD);
  EXPECT_EQ(taken(platform), (std::vector<std::string>{"key 68 0", "key 17 0", "key 13 0",
                                                       "key 121 0", "key 107 0"}));
}

TEST_F(WindowTest, AWaitEndsWhenAKeyArrives) {
  post_key(WM_KEYDOWN, VK_TAB);
  // Without the key this would sleep an hour: returning at all is the test.
  const auto event = platform.next_event(platform.now() + 3600);
  ASSERT_TRUE(event.has_value());
  EXPECT_EQ(event->kind, Event::Kind::key);
  EXPECT_EQ(event->keycode, VK_TAB);
}

TEST_F(WindowTest, AWaitWithNothingToDoLastsUntilItsDeadline) {
  const double deadline = platform.now() + 0.05;
  EXPECT_FALSE(platform.next_event(deadline).has_value());
  EXPECT_GE(platform.now(), deadline);
}

TEST_F(WindowTest, KeysWaitInTheirOrderUntilTheGameTakesThem) {
  post_key(WM_KEYDOWN, 'X');
  post_key(WM_KEYDOWN, 'Y');
  const auto first = platform.next_event(platform.now());
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->keycode, 'X');
  // A key arriving while the game handles X queues behind Y.
  post_key(WM_KEYDOWN, 'Z');
  EXPECT_EQ(taken(platform), (std::vector<std::string>{"key 89 0", "key 90 0"}));
}

TEST_F(WindowTest, ClosingTheWindowIsAnEventAndLeavesTheWindowToTheLoop) {
  ASSERT_TRUE(PostMessageW(platform.window(), WM_CLOSE, 0, 0));
  const auto event = platform.next_event(platform.now() + 3600);
  ASSERT_TRUE(event.has_value());
  EXPECT_EQ(event->kind, Event::Kind::close);
  // The front-end's loop, not the message, destroys the window.
  EXPECT_TRUE(IsWindow(platform.window()));
}

TEST_F(WindowTest, TheCaptionIsTheWindowTitle) {
  platform.set_caption("Orlick's Quillvane");
  wchar_t title[256] = {};
  GetWindowTextW(platform.window(), title, 256);
  EXPECT_EQ(std::wstring(title), L"Orlick's Quillvane");
  EXPECT_EQ(platform.caption(), "Orlick's Quillvane");
  platform.set_caption(" Mud and Mud created.");
  GetWindowTextW(platform.window(), title, 256);
  EXPECT_EQ(std::wstring(title), L" Mud and Mud created.");
  if (GetACP() == 1252) {
    platform.set_caption("Caf\xE9");
    GetWindowTextW(platform.window(), title, 256);
    EXPECT_EQ(std::wstring(title), L"Caf\u00e9");
  }
}

TEST_F(WindowTest, TheListShownIsPaintedAndARepaintAsksTheGameAgain) {
  const std::vector<std::string> names{"IIIIIIII"};
  platform.show();
  // The selected line: its brackets and name in green, its name over them.
  platform.show_items({names, 1, 0, 0});
  UpdateWindow(platform.window());
  ASSERT_EQ(platform.shown().size(), 3u);
  EXPECT_EQ(platform.shown()[1].text, "IIIIIIII ]");
  const std::vector<std::string> events = taken(platform);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "paint");
  // Some pixel of the line is the game's green; the background is not.
  HDC dc = GetDC(platform.window());
  ASSERT_NE(dc, nullptr);
  int green_pixels = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      if (GetPixel(dc, x, y) == RGB(0, 220, 0)) ++green_pixels;
  COLORREF corner = GetPixel(dc, 2, 2);
  ReleaseDC(platform.window(), dc);
  EXPECT_GT(green_pixels, 0);
  EXPECT_NE(corner, RGB(0, 220, 0));
}

TEST(ItemFont, IsARealFaceOfTheSystem) {
  std::wstring face = item_font_face();
  ASSERT_FALSE(face.empty());
  LOGFONTW wanted{};
  wanted.lfHeight = -13;
  wanted.lfWeight = FW_BOLD;
  wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&wanted);
  HDC screen = GetDC(nullptr);
  if (!screen) GTEST_SKIP() << "no display";
  HGDIOBJ old = SelectObject(screen, font);
  wchar_t chosen[LF_FACESIZE] = {};
  GetTextFaceW(screen, LF_FACESIZE, chosen);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  EXPECT_EQ(std::wstring(chosen), face);
}

}  // namespace
}  // namespace quillvane::win32
