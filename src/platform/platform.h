// The game's only door to the outside world. Form1 is built on a Platform&
// and reaches speech, sound, the item list, time, input and files through
// it; each front-end (headless, SDL window, terminal, Win32, web) supplies
// one. The game hands over meaning (a line said, the list with its selection
// and slots), never pixels; each front-end lays it out its own way.
//
// Every call here is made by the game on its one thread. The calls that can
// fail say so below and report it in their result (the file writes); every
// other failure is swallowed by the front-end. Only next_event may throw: the
// headless runner's key script throws ScriptError at a line it cannot read,
// which ends the run (run_headless reports it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "lang/catalog.h"

namespace quillvane {

// What a front-end hands to the game. Window procedures and terminal
// readers only queue these; the game takes them when it waits.
struct Event {
  enum class Kind {
    key,     // a key went down: Windows virtual-key code and shift mask (1 Shift, 2 Ctrl, 4 Alt)
    paint,   // the list must be shown again
    close,   // the player closed the window or asked to quit (Ctrl+C, a quit
             // signal): the game ends once the action in progress has
             // finished its changes and saves
    hurry,   // the page is being hidden (a browser tab switched away or
             // closing): the action in progress finishes at once, without its
             // waits, speech and cues, making its changes, log lines and
             // saves; then the game carries on
    end,     // the input is over (a key script's last line): the run stops as it stands
    select,  // the player touched a line of the item list (a tap on the web page's
             // list): on the game screen entry `entry` is selected and said, as
             // the arrows would; anywhere else, or on no entry in use, nothing
  };
  Kind kind = Kind::key;
  int keycode = 0;
  int shift = 0;
  int entry = 0;  // select: the inventory entry, 1 for the list's first line
  // key: the character the key typed, as a Unicode code point, where the
  // front-end knows it (0: none). Letters beyond A to Z (ñ, ä, ß) have no
  // virtual-key code of their own: such a key comes with keycode 0.
  char32_t character = 0;
};

// The item list as the game shows it: entry i of the inventory is names[i - 1];
// selected, slot1 and slot2 are entry numbers (0: none). Valid during the call.
struct ItemView {
  std::span<const std::string> names;
  int selected = 0;
  int slot1 = 0;
  int slot2 = 0;
};

// The game's speech modes, which a front-end is told of (on_speech_mode).
enum SpeechMode : int {
  kVoiceMode = 0,       // the voice (SAPI, speech-dispatcher)
  kNvdaMode = 1,        // the caption, for NVDA
  kWindowEyesMode = 2,  // the caption, read on Ctrl+Shift+T
  kJawsMode = 3,        // the JAWS automation object
};

// A key the game asks the player for in the line it is about to say, which
// a front-end whose keyboard may not send it can follow with its own way.
enum class Prompt {
  kCombine,  // Shift+Enter, to combine the two slots
  kUndo,     // Shift+Backspace, to undo the last recipe
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
  // Asks for a voice of the language (a catalog's code: "es", "de_AT"). A
  // system with none keeps its default voice and says notice, once, before
  // the next line.
  virtual void set_language(const std::string& /*code*/, const std::string& /*notice*/) {}
};

// A file open for reading from its start, a piece at a time, so that a
// reader keeps only what it uses of a file of any size.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Up to size bytes into buffer: how many were read, 0 at the end of the
  // file; nullopt when reading fails.
  virtual std::optional<std::size_t> read(char* buffer, std::size_t size) = 0;
};

// A JAWS-style screen reader's automation object (speech mode 3).
class ScreenReader {
 public:
  virtual ~ScreenReader() = default;
  virtual void say_string(const std::string& text, bool flush) = 0;
};

// The player's language as the program's start chose it (app/language.h):
// from the command line, settings.ini or the environment.
struct LanguageSetting {
  // Never null; English has no messages.
  std::shared_ptr<const lang::Catalog> catalog = std::make_shared<lang::Catalog>();
  // A code the player asked for that has no catalog: the game says so once,
  // in English, which it then speaks.
  std::string unknown;
  // The command line chose the language: settings.ini keeps its code.
  bool keep = false;
};

// The game's own braille display as the program's start chose it:
// --braille or --no-braille on the command line, else settings.ini's
// second line (1: on).
struct BrailleSetting {
  bool on = false;
  // The command line chose: settings.ini keeps the choice.
  bool keep = false;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- language ----
  // The player's language, set before the game starts (English until then).
  // The game says and shows its lines in it; a front-end says its own lines
  // in it too.
  const lang::Catalog& language() const { return *language_.catalog; }
  const LanguageSetting& language_setting() const { return language_; }
  void set_language(LanguageSetting setting) { language_ = std::move(setting); }

  // ---- braille ----
  // Whether the front-end writes every line to a braille display itself,
  // set before the game starts; the game keeps a command line's choice.
  const BrailleSetting& braille_setting() const { return braille_; }
  void set_braille(BrailleSetting setting) { braille_ = setting; }

  // ---- time and events ----
  // Monotonic clock in seconds.
  virtual double now() = 0;
  // The next event, waiting for one until the clock reaches deadline
  // (monotonic seconds; infinity while the game is idle); nullopt once the
  // deadline has passed. A deadline already past only takes an event that
  // is pending. Never spins.
  virtual std::optional<Event> next_event(double deadline) = 0;
  // Seed for the game's random source: seconds since midnight, unless the
  // front-end fixes it (the headless --seed).
  virtual std::uint32_t random_seed() = 0;

  // ---- what the game does, as it happens ----
  // Every line said, before the speech mode decides where it goes.
  virtual void on_say(const std::string& /*text*/) {}
  // The speech mode the game now speaks in (a SpeechMode), once it has
  // settled on it (a JAWS mode with no JAWS object is never told): at
  // start-up, when a saved game sets one, and on Tab. Where each line goes
  // (the voice, the caption, a printed line, a live region) can follow it.
  // said: the game tells the player of this change in a line of its own
  // (why it is not the mode asked for), which a front-end need not repeat.
  virtual void on_speech_mode(int /*mode*/, bool /*said*/) {}
  // The next line said asks the player for this key.
  virtual void on_prompt(Prompt /*prompt*/) {}
  // A cue, as the literal the game appends to its folder.
  virtual void on_cue(const std::string& /*literal*/) {}
  // A timed wait begins.
  virtual void on_wait(double /*seconds*/) {}
  // The game ends the program.
  virtual void on_exit() {}

  // ---- window ----
  // The caption: the window title as the game reads and writes it. In the
  // caption modes every line said is set here.
  virtual std::string caption() = 0;
  virtual void set_caption(const std::string& text) = 0;
  // The title the game sets itself (start-up, a new speech mode); captions
  // spoken in a caption mode are not this. A window whose title is its
  // caption shows it there; caption() returns it until the next line.
  virtual void set_title(const std::string& text) { set_caption(text); }
  // The item list to show (drawitems); a front-end without a window ignores it.
  virtual void show_items(const ItemView& /*view*/) {}

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
  // Opens a file for reading; nullptr when it does not exist or cannot be opened.
  virtual std::unique_ptr<InputFile> open_file(const std::string& path);
  virtual bool file_exists(const std::string& path);
  // Replaces a file's contents atomically: temporary file, flush to disk,
  // rename over. Returns false (old file untouched) on any failure.
  virtual bool write_file(const std::string& path, const std::string& bytes);
  // Appends bytes, creating the file. Returns false on failure.
  virtual bool append_file(const std::string& path, const std::string& bytes);

 private:
  LanguageSetting language_;
  BrailleSetting braille_;
};

}  // namespace quillvane
