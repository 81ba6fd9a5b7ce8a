// The Windows front-end: one window whose key presses, repaints and closing
// go to the game; GDI drawing of the item list; the SAPI voice and the JAWS
// object; the caption that NVDA and Window-Eyes read; sndPlaySound cues.
//
// Everything runs on the thread that made the window. The window procedure
// only queues the game's events (keys, repaints, closing); the game takes
// them when it waits, so no game code runs inside a system call back.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/item_layout.h"
#include "platform/platform.h"
#include "platform/text/code_page.h"

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
  std::optional<Event> next_event(double deadline) override;
  std::uint32_t random_seed() override;

  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override;
  void show_items(const ItemView& view) override;

  Voice* make_voice() override;
  ScreenReader* make_screen_reader() override;
  void send_key(int keycode, bool key_up) override;
  void play_sound(const std::string& path) override;
  void set_cue_volume(int percent) override { cue_volume_ = percent; }

  std::string program_folder() override { return options_.program_folder; }
  std::string data_folder() override { return options_.data_folder; }

  // What the window shows: the item list's lines as last shown.
  const std::vector<layout::TextLine>& shown() const { return shown_; }

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  // Dispatches every pending message; the window procedure queues the
  // game's events.
  void pump();
  // The character a key-down just typed (its WM_CHAR), 0 for none.
  char32_t typed_character();
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
  std::vector<layout::TextLine> shown_;  // the list as last shown
  std::deque<Event> events_;             // queued by the window, not yet taken

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
