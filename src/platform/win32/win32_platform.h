// The Windows front-end: one window whose key presses, repaints and closing
// go to the game; GDI drawing of the item list; the SAPI voice and the JAWS
// object; the caption that NVDA and Window-Eyes read; sndPlaySound cues.
//
// Everything runs on the thread that made the window. Game code runs inside
// the window procedure (a key) and pumps messages itself (hold, sayit), so
// an exception thrown by the game (the program ending) is caught in the
// window procedure, kept, and thrown again once DispatchMessage has
// returned: it never crosses the system's frames.
#pragma once

#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/code_page.h"

namespace quillvane::win32 {

class SapiVoice;
class JawsReader;

struct WindowOptions {
  std::string program_folder;  // where the sounds folder is
  std::string data_folder;     // where the game's files are
  std::optional<std::uint32_t> seed;
};

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(WindowOptions options);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Makes the (still hidden) window. False when no window can be made, for
  // example with no display under wine.
  bool open();
  // Shows the window and gives it the keyboard.
  void show();
  // Stops the cue, lets the speech objects go and destroys the window.
  void close();
  HWND window() const { return window_; }

  double now() override;
  void wait_until(double deadline) override;
  void yield_once() override;
  std::uint32_t random_seed() override;

  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override;
  void clear_surface() override;
  void draw_text(int x, int y, const std::string& text, Rgb colour) override;
  void present() override;

  Voice* make_voice() override;
  ScreenReader* make_screen_reader() override;
  void send_key(int keycode, bool key_up) override;
  void play_sound(const std::string& path) override;
  void set_cue_volume(int percent) override { cue_volume_ = percent; }

  std::string program_folder() override { return options_.program_folder; }
  std::string data_folder() override { return options_.data_folder; }

  // One line of the item list as the game drew it.
  struct DrawCall {
    int x;
    int y;
    std::string text;
    Rgb colour;
  };
  // What the window shows: the lines of the last present().
  const std::vector<DrawCall>& shown() const { return shown_; }

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  // Dispatches every pending message; true when one of them reached the game.
  bool pump();
  // Calls the game for one event, keeping any exception it throws.
  template <typename Call>
  void deliver(Call call);
  void rethrow_pending();
  // True for a key-down that is one of the game's own synthetic keys.
  bool is_synthetic_echo(int keycode);
  void paint(HDC target);
  void make_font();
  int scaled(int units) const;

  WindowOptions options_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  bool com_ready_ = false;
  std::string caption_;
  // Below full volume a cue plays from memory, its samples scaled; the
  // bytes must live while it sounds.
  int cue_volume_ = 100;
  std::string playing_cue_;
  std::vector<DrawCall> drawing_;  // being built: clear_surface, draw_text
  std::vector<DrawCall> shown_;    // painted: the last present()
  bool in_paint_ = false;
  std::uint64_t events_ = 0;
  std::exception_ptr pending_;

  std::unique_ptr<SapiVoice> voice_;
  bool voice_tried_ = false;
  std::unique_ptr<JawsReader> jaws_;
  bool jaws_tried_ = false;

  // Synthetic key-downs sent for Window-Eyes and when they were sent. They
  // may reach the window after the game has stopped ignoring keys; they are
  // dropped here then.
  struct SentKey {
    int keycode;
    double at;
  };
  std::deque<SentKey> sent_keys_;
};

// The face the item list is drawn in: "MS Sans Serif" where it exists, else
// "Microsoft Sans Serif", else the system's default GUI font.
std::wstring item_font_face();

}  // namespace quillvane::win32
