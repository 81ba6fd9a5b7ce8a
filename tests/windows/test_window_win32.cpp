// The Windows front-end's window: keys with their codes and shift masks,
// waits that block until an event or the deadline, the program's end
// carried out of the message loop, the caption, and painting the list.
// These need a display (Xvfb under wine) and are skipped without one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/form1.h"
#include "platform/win32/win32_platform.h"

namespace quillvane::win32 {
namespace {

class RecordingSink : public EventSink {
 public:
  std::vector<std::string> events;
  std::function<void(int)> on_key;
  std::function<void()> on_paint;
  void key_event(int keycode, int shift) override {
    events.push_back("key " + std::to_string(keycode) + " " + std::to_string(shift));
    if (on_key) on_key(keycode);
  }
  void paint_event() override {
    events.push_back("paint");
    if (on_paint) on_paint();
  }
  // As the game does: closing ends the program.
  void close_event() override {
    events.push_back("close");
    throw ProgramEnd{};
  }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform.open()) {
      // CI sets QUILLVANE_REQUIRE_WINDOW, where a display is always there.
      if (std::getenv("QUILLVANE_REQUIRE_WINDOW")) FAIL() << "the window could not be made";
      GTEST_SKIP() << "no window can be made here (no display)";
    }
    platform.set_sink(&sink);
    platform.yield_once();  // the window's own start-up messages
    sink.events.clear();
  }
  void TearDown() override {
    platform.set_sink(nullptr);
    platform.close();
  }
  // lparam: the repeat count 1, and bit 30 set for a key already down (auto-repeat).
  void post_key(UINT message, int keycode, bool repeat = false) {
    const LPARAM lparam = repeat ? (1 | (1 << 30)) : 1;
    ASSERT_TRUE(PostMessageW(platform.window(), message, static_cast<WPARAM>(keycode), lparam));
  }

  Win32Platform platform{{".", ".", 5u}};
  RecordingSink sink;
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
  platform.yield_once();
  EXPECT_EQ(sink.events, (std::vector<std::string>{"key 68 0", "key 17 0", "key 13 0", "key 121 0",
                                                   "key 107 0"}));
}

TEST_F(WindowTest, AWaitEndsWhenAKeyArrives) {
  post_key(WM_KEYDOWN, VK_TAB);
  // Without the key this would sleep an hour: returning at all is the test.
  platform.wait_until(platform.now() + 3600);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"key 9 0"}));
}

TEST_F(WindowTest, AWaitWithNothingToDoLastsUntilItsDeadline) {
  const double deadline = platform.now() + 0.05;
  platform.wait_until(deadline);
  EXPECT_GE(platform.now(), deadline);
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(WindowTest, TheProgramsEndComesOutOfTheYieldAndTheLoopGoesOn) {
  sink.on_key = [](int keycode) {
    if (keycode == 'X') throw ProgramEnd{};
  };
  post_key(WM_KEYDOWN, 'X');
  post_key(WM_KEYDOWN, 'Y');
  EXPECT_THROW(platform.yield_once(), ProgramEnd);
  // The key after the end was not handed over with it.
  EXPECT_EQ(sink.events, (std::vector<std::string>{"key 88 0"}));
  platform.yield_once();
  EXPECT_EQ(sink.events, (std::vector<std::string>{"key 88 0", "key 89 0"}));
}

TEST_F(WindowTest, AnEndInsideANestedWaitUnwindsThroughTheOuterKey) {
  bool outer_finished = false;
  sink.on_key = [&](int keycode) {
    if (keycode == 'A') {
      // A key handler that waits, as combining does, while B arrives.
      PostMessageW(platform.window(), WM_KEYDOWN, 'B', 1);
      platform.wait_until(platform.now() + 3600);
      outer_finished = true;
    } else if (keycode == 'B') {
      throw ProgramEnd{};
    }
  };
  post_key(WM_KEYDOWN, 'A');
  EXPECT_THROW(platform.yield_once(), ProgramEnd);
  EXPECT_FALSE(outer_finished);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"key 65 0", "key 66 0"}));
}

TEST_F(WindowTest, ClosingTheWindowEndsTheProgram) {
  ASSERT_TRUE(PostMessageW(platform.window(), WM_CLOSE, 0, 0));
  EXPECT_THROW(platform.wait_until(platform.now() + 3600), ProgramEnd);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"close"}));
  // The front-end's loop, not the message, destroys the window.
  EXPECT_TRUE(IsWindow(platform.window()));
}

TEST_F(WindowTest, TheCaptionIsTheWindowTitle) {
  platform.set_caption("Orlick's Quillvane (v0.7 beta)");
  wchar_t title[256] = {};
  GetWindowTextW(platform.window(), title, 256);
  EXPECT_EQ(std::wstring(title), L"Orlick's Quillvane (v0.7 beta)");
  EXPECT_EQ(platform.caption(), "Orlick's Quillvane (v0.7 beta)");
  platform.set_caption(" Mud and Mud created.");
  GetWindowTextW(platform.window(), title, 256);
  EXPECT_EQ(std::wstring(title), L" Mud and Mud created.");
  if (GetACP() == 1252) {
    platform.set_caption("Caf\xE9");
    GetWindowTextW(platform.window(), title, 256);
    EXPECT_EQ(std::wstring(title), L"Caf\u00e9");
  }
}

TEST_F(WindowTest, APaintAsksTheGameToDrawAndPaintsItsLines) {
  const Rgb green{0, 220, 0};
  sink.on_paint = [&] {
    platform.clear_surface();
    platform.draw_text(20, 15, "IIIIIIII", green);
    platform.present();
  };
  platform.show();
  InvalidateRect(platform.window(), nullptr, FALSE);
  UpdateWindow(platform.window());
  ASSERT_FALSE(sink.events.empty());
  EXPECT_EQ(sink.events.back(), "paint");
  ASSERT_EQ(platform.shown().size(), 1u);
  EXPECT_EQ(platform.shown()[0].text, "IIIIIIII");
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
