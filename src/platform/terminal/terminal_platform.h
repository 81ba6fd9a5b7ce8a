// The terminal front-end: the game played in a terminal through a console
// screen reader. Every spoken line is printed on a line of its own, whatever
// the speech mode; mode 0 also speaks through speech-dispatcher; the cues play
// through SDL_mixer when there is an audio device. Keys are read in raw mode.
#pragma once

#include <termios.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio/cue_player.h"
#include "platform/braille/braille_display.h"
#include "platform/platform.h"
#include "platform/speechd/speechd_voice.h"
#include "platform/wake_pipe.h"

namespace quillvane {

class TerminalPlatform : public Platform {
 public:
  TerminalPlatform(int input, int output, std::string program_folder, std::string data_folder,
                   std::optional<std::uint32_t> seed);
  ~TerminalPlatform() override;
  TerminalPlatform(const TerminalPlatform&) = delete;
  TerminalPlatform& operator=(const TerminalPlatform&) = delete;

  // Puts the terminal in raw mode and asks for distinct modified keys; false
  // when the input is not a terminal.
  bool open();
  // Gives the terminal back as it was. Safe to call more than once.
  void restore();

  double now() override;
  std::optional<Event> next_event(double deadline) override;
  std::uint32_t random_seed() override;

  // The caption of modes 1 and 2 is the printed line, which on_say writes.
  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override { caption_ = text; }
  // The terminal shows the spoken lines, not the item list.

  Voice* make_voice() override;
  ScreenReader* make_screen_reader() override { return nullptr; }
  void send_key(int, bool) override {}
  void play_sound(const std::string& path) override;
  void set_cue_volume(int percent) override {
    if (cues_) cues_->set_volume(percent);
  }

  std::string program_folder() override { return program_folder_; }
  std::string data_folder() override { return data_folder_; }

  // The player reads the printed line already; standard error repeats it
  // only when it goes somewhere else (a file).
  void report_error(const std::string& text) override;

  // The game's output as the terminal shows it.
  void on_say(const std::string& text) override;
  // A new speech output is named in a printed line (its cue is silent
  // without a sound card). The mode the game starts in is not announced.
  void on_speech_mode(int mode, bool said) override;
  // Shift+Enter or Shift+Backspace asked for: the next line may carry the hint.
  void on_prompt(Prompt prompt) override;

 private:
  // Reads what the terminal has sent, waiting at most timeout_ms (-1: no
  // limit); false at the end of input. A wake-up (the voice's state
  // changed) ends the wait early.
  bool read_input(int timeout_ms);
  // A lost voice is told once, as a printed line.
  void notice_voice_change();
  // So is a braille display that BRLTTY does not give.
  void notice_braille_change();
  // Turns every complete key in the buffer into a queued event; final: a
  // sequence cut short is taken as it stands (a lone ESC is Escape).
  void decode_keys(bool final);
  void write_out(const std::string& text);
  // Keeps one line of the game's (a spoken line, or a line of the
  // terminal's: its keys, a new speech output, a lost voice) to be printed
  // when the game next waits.
  void print_line(std::string text);
  // Prints the lines kept, in one write, leaving the caret after the last
  // one's text or, at the foot of the screen, at the start of the row below.
  void flush_lines();
  // Writes the line break the last printed line still waits for.
  void close_line();
  // The screen row of the caret (1 for the top row): as worked out from the
  // last write, else as the terminal answers when asked; nullopt from a
  // terminal that does not answer within a moment (after three such, it is
  // not asked again).
  std::optional<int> caret_row();
  // Takes an answer about the caret (its row); true when it is the one a
  // wait is for, false when it belongs to an earlier question.
  bool take_position_report(int row);

  int input_;
  int output_;
  std::string program_folder_;
  std::string data_folder_;
  std::optional<std::uint32_t> seed_;
  std::string caption_;
  std::string pending_;       // bytes read but not yet decoded
  std::deque<Event> events_;  // decoded, not yet taken by the game
  bool input_closed_ = false;
  bool raw_ = false;
  bool first_line_shown_ = false;  // the game has said a line
  bool first_printed_ = false;
  std::vector<std::string> said_;  // said since the game last waited
  bool quit_delivered_ = false;
  // The terminal has reported a modified Enter (Backspace): it can send
  // Shift+Enter (Shift+Backspace) as such.
  bool shift_enter_reported_ = false;
  bool shift_backspace_reported_ = false;
  // Ctrl+J and Ctrl+H have been named once; the next line is to name them.
  bool keys_hint_shown_ = false;
  bool hint_next_line_ = false;
  bool intro_printed_ = false;
  bool terminal_answers_ = true;  // false once answers have not come
  int unanswered_ = 0;            // questions in a row the terminal let pass
  int late_answers_ = 0;          // answers still to come of questions given up on
  int checks_ = 0;                // answers still to come of questions asked after a write
  std::optional<int> caret_row_;  // where the last write left the caret
  int speech_mode_ = -1;          // as the game last told it
  termios saved_{};

  WakePipe wake_;  // before voice_: the voice's thread writes to it
  std::unique_ptr<SpeechdVoice> voice_;
  bool voice_tried_ = false;
  VoiceLossNotice voice_loss_;
  bool woke_ = false;  // the last read_input was ended by a wake-up
  std::unique_ptr<CuePlayer> cues_;
  // The player's braille display (--braille), shown every printed line.
  std::unique_ptr<BrailleDisplay> braille_;
  BrailleLossNotice braille_loss_;
};

}  // namespace quillvane
