// The browser front-end: the game compiled to WebAssembly on the page's one
// thread. Keys come from the page's keydown handler (already Windows
// virtual-key codes); each line goes to the page's log of lines, which a
// screen reader announces, or in mode 0 to speechSynthesis (and to the log
// when the browser has no voice); cues play through Web Audio, the item list
// is drawn on a canvas the screen reader does not see, and the files live in
// IndexedDB. Waiting suspends the game (Asyncify) until a key or the
// deadline: a waiting game uses no CPU. Only this folder knows the browser.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillvane {

class WebPlatform : public Platform {
 public:
  explicit WebPlatform(std::string data_folder);
  ~WebPlatform() override;

  double now() override;
  std::optional<Event> next_event(double deadline) override;
  std::uint32_t random_seed() override;

  // Each line goes where the speech mode sends it: the page's log of lines
  // for the screen reader, or in mode 0 the browser's voice (the log too
  // when the browser has no voice).
  void on_say(const std::string& text) override;
  void on_speech_mode(int mode, bool) override { speech_mode_ = mode; }
  // The caption is only remembered, for the game to read back: the lines
  // reach the screen reader through on_say, and the page's title stays
  // the game's name.
  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override { caption_ = text; }
  // The item list, a row per entry with the selected one marked.
  void show_items(const ItemView& view) override;

  Voice* make_voice() override;
  // Browsers have no JAWS object: Tab into mode 3 falls back to the voice.
  ScreenReader* make_screen_reader() override { return nullptr; }
  // A first visit (no saved game yet) starts in the screen reader's mode:
  // every player who reached the Start button did so with one.
  int default_speech_mode() override;
  // Window-Eyes' Ctrl+Shift+T has no browser reader to wake: nothing is sent.
  void send_key(int, bool) override {}
  void play_sound(const std::string& path) override;
  void set_cue_volume(int percent) override;

  std::string program_folder() override { return "."; }
  std::string data_folder() override { return data_folder_; }
  // Each write is kept in IndexedDB at once, before it counts as done; a
  // write the browser refuses, or does not answer within a few seconds,
  // fails and leaves the stored file and the game's copy as they were.
  bool write_file(const std::string& path, const std::string& bytes) override;
  bool append_file(const std::string& path, const std::string& bytes) override;

 private:
  std::string data_folder_;
  std::string caption_;
  int speech_mode_ = kVoiceMode;
  bool waited_idle_ = false;  // the page was told the game waits for its first key
  std::unique_ptr<Voice> voice_;
};

}  // namespace quillvane
