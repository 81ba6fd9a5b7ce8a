// The browser front-end: the game compiled to WebAssembly on the page's one
// thread. Keys come from the page's keydown handler (already Windows
// virtual-key codes), speech goes to speechSynthesis (mode 0) or to an ARIA
// live region (modes 1 and 2), cues play through Web Audio, the item list is
// drawn on a canvas the screen reader does not see, and the files live in
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

  std::string caption() override { return caption_; }
  // The caption is the document's title; in the screen reader's modes (1
  // and 2) each line is also written to the page's live region.
  void set_caption(const std::string& text) override;
  void on_title(const std::string&) override { title_pending_ = true; }
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
  bool title_pending_ = false;  // the next caption is the title the game set itself
  bool waited_idle_ = false;    // the page was told the game waits for its first key
  std::unique_ptr<Voice> voice_;
};

// Runs the game's own strict file readers over the progress.ini and
// achievements.ini found in folder, as a game starting there would.
// Returns "" when both (where present) can be read, else the name of the
// first one the game would refuse.
std::string check_saved_files(const std::string& folder);

}  // namespace quillvane
