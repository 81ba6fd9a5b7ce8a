// The headless front-end: keys come from a key script, time is virtual (a
// wait advances the clock at once), nothing is drawn, spoken or played.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>

#include "platform/headless/key_script.h"
#include "platform/platform.h"

namespace quillvane {

// The transcript's lines, without their line feed: a tag, a colon, a space
// and the value as the game produced it.
namespace transcript_line {
std::string key(const std::string& name);
std::string say(const std::string& text);
std::string title(const std::string& text);
std::string cue(const std::string& literal);
std::string wait(double seconds);
std::string exit();
}  // namespace transcript_line

// Writes the transcript: one line per event, in order.
class Transcript {
 public:
  explicit Transcript(std::ostream& out) : out_(out) {}
  void on_key(const std::string& name);
  void on_say(const std::string& text);
  void on_title(const std::string& text);
  void on_cue(const std::string& literal);
  void on_wait(double seconds);
  void on_exit();

 private:
  void write(const std::string& line) { out_ << line << '\n'; }

  std::ostream& out_;
};

// The shortest decimal form of a number of seconds: 0.5, 1, 2.
std::string shortest_decimal(double seconds);

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform(KeyScript& script, std::string data_folder, std::optional<std::uint32_t> seed,
                   Transcript* transcript);

  double now() override { return clock_; }
  // A synthetic key sent by the game, then a timed key whose moment has
  // come; while the game is idle (an infinite deadline) the next script key
  // whatever its time, the clock first advanced to it; inside a wait a timed
  // key due by the deadline, the clock advanced to it. Otherwise the clock
  // moves to the deadline. The script's end is the input's end.
  std::optional<Event> next_event(double deadline) override;
  std::uint32_t random_seed() override;

  void on_say(const std::string& text) override {
    if (transcript_) transcript_->on_say(text);
  }
  void set_title(const std::string& text) override {
    if (transcript_) transcript_->on_title(text);
    caption_ = text;
  }
  void on_cue(const std::string& literal) override {
    if (transcript_) transcript_->on_cue(literal);
  }
  void on_wait(double seconds) override {
    if (transcript_) transcript_->on_wait(seconds);
  }
  void on_exit() override {
    if (transcript_) transcript_->on_exit();
  }

  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override { caption_ = text; }

  Voice* make_voice() override { return nullptr; }
  ScreenReader* make_screen_reader() override { return nullptr; }
  void send_key(int keycode, bool key_up) override;
  void play_sound(const std::string&) override {}

  std::string program_folder() override { return data_folder_; }
  std::string data_folder() override { return data_folder_; }

 private:
  // Takes the next script key off the script and writes its key line.
  Event take(const ScriptKey& key);

  KeyScript& script_;
  std::string data_folder_;
  std::optional<std::uint32_t> seed_;
  Transcript* transcript_;  // null: no transcript is written
  double clock_ = 0;
  std::string caption_;
  // Synthetic key-downs sent by the game, handed back on the next yield as
  // the window would receive them.
  std::deque<int> synthetic_;
};

}  // namespace quillvane
