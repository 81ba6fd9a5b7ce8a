// A front-end for unit tests, written like any other against the platform
// interface alone (no game header): a virtual clock, scripted events, a
// record of every call the game makes, and the transcript of what it said,
// showed, played and waited.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/platform.h"

namespace quillvane::testing {

class FakePlatform;

class FakeVoice : public Voice {
 public:
  explicit FakeVoice(std::vector<std::string>& calls) : calls_(calls) {}
  void speak_purge(const std::string& text) override { calls_.push_back("voice:" + text); }
  void set_rate(int rate) override { calls_.push_back("rate:" + std::to_string(rate)); }
  void set_volume(int volume) override { calls_.push_back("volume:" + std::to_string(volume)); }
  void stop() override { calls_.push_back("voice-stop"); }

 private:
  std::vector<std::string>& calls_;
};

class FakeJaws : public ScreenReader {
 public:
  explicit FakeJaws(std::vector<std::string>& calls) : calls_(calls) {}
  void say_string(const std::string& text, bool flush) override {
    calls_.push_back("jaws:" + text + (flush ? "|flush" : "|noflush"));
  }

 private:
  std::vector<std::string>& calls_;
};

class FakePlatform : public Platform {
 public:
  explicit FakePlatform(std::string folder = ".") : folder_(std::move(folder)) {}

  // Every call the game made, in order: the voice's "voice:TEXT",
  // "rate:N", "volume:N" and "voice-stop"; "caption:TEXT"; "yield" (a call
  // for pending events that found no more) and "wait-until" (a wait with a
  // deadline); synthetic keys "key:CODE:down" and "key:CODE:up";
  // "jaws:TEXT|flush" or "jaws:TEXT|noflush"; "sound:PATH"; "cue-volume:N".
  std::vector<std::string> calls;
  bool has_voice = true;
  bool has_jaws = false;
  // Events to hand in: at a virtual time, or on a yield.
  struct TimedKey {
    double at;
    int keycode;
    int shift;
  };
  std::vector<TimedKey> timed_keys;
  // Any other event at a virtual time (a touch on the list); taken in turn
  // with timed_keys by time, keys first at the same time.
  struct TimedEvent {
    double at;
    Event event;
  };
  std::vector<TimedEvent> timed_events;
  // Events handed over at the next call for one, before anything else.
  std::deque<Event> pending;
  // A quit (the window closed, Ctrl+C) handed in at this virtual time.
  std::optional<double> timed_close;
  // The page being hidden (a hurry) handed in at this virtual time.
  std::optional<double> timed_hurry;
  // Run when the game takes the pending events without waiting (the yield
  // inside sayit), while set; it may queue events in pending.
  std::function<void(FakePlatform&)> on_yield;
  // Run at each wait, while set; true when it did what an event would (the
  // wait then returns without one).
  std::function<bool(FakePlatform&)> at_wait;
  std::function<void()> on_make_screen_reader;
  // Makes write_file fail, leaving the old file (or none).
  bool fail_writes = false;
  // Files that exist but cannot be opened (no permission).
  std::set<std::string> unreadable;
  // Files whose reading fails once this many bytes of them have been read
  // since they were opened (a bad sector, a network folder gone).
  std::map<std::string, std::size_t> read_fails_after;
  // How many bytes the game has read of each file, over all its reads.
  std::map<std::string, std::size_t> bytes_read;
  // What the game reported on standard error.
  std::vector<std::string> errors;
  // The item list last shown: names, selection and slots.
  struct Shown {
    std::vector<std::string> names;
    int selected = 0, slot1 = 0, slot2 = 0;
  };
  std::optional<Shown> shown;
  // The transcript: "say: ", "title: ", "cue: ", "wait: " lines and "exit".
  std::vector<std::string> lines;
  std::vector<int> sent_keys_down;
  double clock = 0;
  std::string caption_text;

  double now() override { return clock; }
  // A call with a deadline of minus infinity is a yield, logged "yield"
  // once it finds nothing more; any other is a wait, logged "wait-until".
  std::optional<Event> next_event(double deadline) override;
  std::uint32_t random_seed() override { return 12345; }
  std::string caption() override { return caption_text; }
  void set_caption(const std::string& text) override {
    caption_text = text;
    calls.push_back("caption:" + text);
  }
  void show_items(const ItemView& view) override {
    shown = Shown{{view.names.begin(), view.names.end()}, view.selected, view.slot1, view.slot2};
  }
  // The transcript's lines, written as the headless runner writes them.
  void on_say(const std::string& text) override { lines.push_back(transcript_line::say(text)); }
  void set_title(const std::string& text) override {
    lines.push_back(transcript_line::title(text));
    set_caption(text);
  }
  void on_cue(const std::string& literal) override {
    lines.push_back(transcript_line::cue(literal));
  }
  void on_wait(double seconds) override { lines.push_back(transcript_line::wait(seconds)); }
  void on_exit() override { lines.push_back(transcript_line::exit()); }
  // The speech modes the game told, in order ("1", or "0 said" where the
  // game says the change itself), and the keys it asked for.
  std::vector<std::string> speech_modes;
  std::vector<Prompt> prompts;
  void on_speech_mode(int mode, bool said) override {
    speech_modes.push_back(std::to_string(mode) + (said ? " said" : ""));
  }
  void on_prompt(Prompt prompt) override { prompts.push_back(prompt); }
  Voice* make_voice() override { return has_voice ? &voice_ : nullptr; }
  ScreenReader* make_screen_reader() override {
    if (on_make_screen_reader) on_make_screen_reader();
    return has_jaws ? &jaws_ : nullptr;
  }
  void send_key(int keycode, bool key_up) override;
  void play_sound(const std::string& path) override { calls.push_back("sound:" + path); }
  void set_cue_volume(int percent) override {
    calls.push_back("cue-volume:" + std::to_string(percent));
  }
  // What a window would show beside the list: the place and the last line.
  std::string place, last_line;
  void show_context(const std::string& where, const std::string& line) override {
    place = where;
    last_line = line;
  }
  std::string program_folder() override { return folder_; }
  std::string data_folder() override { return folder_; }
  // Keeps every file in memory instead of on disk (for long key storms).
  bool memory_files = false;
  std::map<std::string, std::string> memory;

  void report_error(const std::string& text) override { errors.push_back(text); }
  std::unique_ptr<InputFile> open_file(const std::string& path) override;
  bool file_exists(const std::string& path) override {
    return memory_files ? memory.count(path) == 1 : Platform::file_exists(path);
  }
  bool write_file(const std::string& path, const std::string& bytes) override {
    if (fail_writes) return false;
    if (memory_files) {
      memory[path] = bytes;
      return true;
    }
    return Platform::write_file(path, bytes);
  }
  bool append_file(const std::string& path, const std::string& bytes) override {
    if (fail_writes) return false;
    if (memory_files) {
      memory[path] += bytes;
      return true;
    }
    return Platform::append_file(path, bytes);
  }

 private:
  bool yielding_ = false;  // a yield has begun and not yet found nothing more
  std::string folder_;
  FakeVoice voice_{calls};
  FakeJaws jaws_{calls};
};

// A fresh empty folder under the system's temporary folder.
std::string make_temp_folder();
std::string read_bytes(const std::string& path);
// Text as this build writes it: every @VERSION@ becomes the game's version
// (golden files and expected lines name the version only so).
std::string with_version(std::string text);
void write_bytes(const std::string& path, const std::string& bytes);

}  // namespace quillvane::testing
