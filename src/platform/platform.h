// The game's only door to the outside world. Form1 is built on a Platform&
// and reaches speech, sound, drawing, time, input and files through it; each
// front-end (headless, SDL window, terminal, Win32) supplies one.
//
// Every call here is made by the game on its one thread. No call may throw or
// report a failure to the game: a backend swallows its own failures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillvane {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// What a front-end hands to the game while it serves events. Form1
// implements it; the platform calls it from inside wait_until and yield_once.
class EventSink {
 public:
  virtual ~EventSink() = default;
  // A key went down: Windows virtual-key code and shift mask (1 Shift, 2 Ctrl, 4 Alt).
  virtual void key_event(int keycode, int shift) = 0;
  // The window must be redrawn.
  virtual void paint_event() = 0;
  // The player closed the window or asked to quit (Ctrl+C, a quit signal):
  // the program ends, once the action in progress has finished its changes
  // and saves.
  virtual void close_event() = 0;
};

// The voice of speech mode 0 (SAPI on Windows, speech-dispatcher on Linux).
class Voice {
 public:
  virtual ~Voice() = default;
  // Says text at once, dropping whatever was still being said.
  virtual void speak_purge(const std::string& text) = 0;
  virtual void set_rate(int rate) = 0;
  virtual void set_volume(int volume) = 0;
  // Silences what is being said (the player's Ctrl). A voice that cannot
  // leaves it to finish.
  virtual void stop() {}
};

// A JAWS-style screen reader's automation object (speech mode 3).
class ScreenReader {
 public:
  virtual ~ScreenReader() = default;
  virtual void say_string(const std::string& text, bool flush) = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- time and events ----
  // Monotonic clock in seconds.
  virtual double now() = 0;
  // Blocks until at least one event has been handed to the sink or the clock
  // reaches deadline (monotonic seconds), whichever comes first. Never spins.
  virtual void wait_until(double deadline) = 0;
  // Hands every event that is already pending to the sink, without blocking.
  virtual void yield_once() = 0;
  // Seed for the game's random source: seconds since midnight, unless the
  // front-end fixes it (the headless --seed).
  virtual std::uint32_t random_seed() = 0;
  void set_sink(EventSink* sink) { sink_ = sink; }

  // ---- window ----
  virtual std::string caption() = 0;
  virtual void set_caption(const std::string& text) = 0;
  // Drawing the item list: clear, then text lines, then present.
  virtual void clear_surface() = 0;
  virtual void draw_text(int x, int y, const std::string& text, Rgb colour) = 0;
  virtual void present() = 0;

  // ---- speech ----
  // The voice and the screen reader object, or nullptr when absent. Made on
  // the first call; the platform owns them.
  virtual Voice* make_voice() = 0;
  virtual ScreenReader* make_screen_reader() = 0;
  // The speech mode a game starts in until a saved one is read: 0, the
  // voice, unless the front-end knows its players better.
  virtual int default_speech_mode() { return 0; }
  // A synthetic key press into the window's input (Window-Eyes' Ctrl+Shift+T).
  virtual void send_key(int keycode, bool key_up) = 0;

  // ---- sound ----
  // Plays a WAV file asynchronously, cutting off the cue still playing.
  // A missing file is silent.
  virtual void play_sound(const std::string& path) = 0;
  // The loudness of the cues from the next one on, in percent (0 is off).
  virtual void set_cue_volume(int /*percent*/) {}

  // ---- what a sighted helper sees ----
  // Where the player is (the open menu and its current entry; empty on the
  // game screen) and the last line said, for a window to show beside the
  // item list. A front-end without room for them ignores them.
  virtual void show_context(const std::string& /*place*/, const std::string& /*last_line*/) {}

  // ---- problems ----
  // Reports a problem the player must hear about outside the game's own
  // speech as well (a saved game that cannot be read): standard error.
  virtual void report_error(const std::string& text);

  // ---- folders and files ----
  // The folder the sounds are found in (the program's folder), no trailing separator.
  virtual std::string program_folder() = 0;
  // The folder the game's files live in, no trailing separator.
  virtual std::string data_folder() = 0;
  // The separator the game puts between a folder and a file name.
  virtual char path_separator() const;
  // Whole-file read of a file's bytes; nullopt when it does not exist or cannot be read.
  virtual std::optional<std::string> read_file(const std::string& path);
  virtual bool file_exists(const std::string& path);
  // Replaces a file's contents atomically: temporary file, flush to disk,
  // rename over. Returns false (old file untouched) on any failure.
  virtual bool write_file(const std::string& path, const std::string& bytes);
  // Appends bytes, creating the file. Returns false on failure.
  virtual bool append_file(const std::string& path, const std::string& bytes);

 protected:
  EventSink* sink_ = nullptr;
};

}  // namespace quillvane
