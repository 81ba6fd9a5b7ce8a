#include "platform/terminal/terminal_platform.h"

#include <SDL.h>
#include <locale.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <wchar.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/format.h"
#include "platform/audio/quiet_audio.h"
#include "platform/clock.h"
#include "platform/latency_stamp.h"
#include "platform/quit_signal.h"
#include "platform/terminal/terminal_keys.h"
#include "platform/text/text.h"

namespace quillvane {

namespace {

// Asks for xterm's modifyOtherKeys level 2 and pushes the kitty keyboard
// protocol's "disambiguate" flag (where supported, Shift+Enter and
// Shift+Backspace arrive as their own sequences), and the application keypad
// (keypad keys arrive distinct from the main keys); and the reverse.
constexpr std::string_view kRequestKeys = "\x1b[>4;2m\x1b[>1u\x1b=";
constexpr std::string_view kReleaseKeys = "\x1b[<u\x1b[>4;0m\x1b>";

// How long a lone ESC waits for the rest of a sequence before it counts as
// the Escape key.
constexpr int kEscapeMilliseconds = 50;

// The terminal state a signal handler puts back before the program dies or
// stops, and the raw state it sets again when the program continues.
int signal_fd = -1;
termios signal_saved{};
termios signal_raw{};
volatile std::sig_atomic_t signal_armed = 0;
// The last printed line still waits for its line break: a screen reader
// reads new terminal text when it ends at the caret, so the break is written
// before the next output, or when the terminal is given back (the shell's
// prompt then starts on a line of its own).
volatile std::sig_atomic_t line_open = 0;

void give_terminal_back() {
  if (line_open) {
    line_open = 0;
    (void)!write(signal_fd, "\r\n", 2);
  }
  (void)!write(signal_fd, kReleaseKeys.data(), kReleaseKeys.size());
  tcsetattr(signal_fd, TCSANOW, &signal_saved);
}

void take_terminal_again() {
  tcsetattr(signal_fd, TCSANOW, &signal_raw);
  (void)!write(signal_fd, kRequestKeys.data(), kRequestKeys.size());
}

void restore_and_die(int signal_number) {
  if (signal_armed) give_terminal_back();
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

// Ctrl+Z from the shell (SIGTSTP): the terminal is given back while the
// game is stopped, and taken again in raw mode when it continues (fg).
void stop_for_shell(int) {
  const int saved_errno = errno;
  if (signal_armed) give_terminal_back();
  kill(getpid(), SIGSTOP);
  if (signal_armed) take_terminal_again();
  errno = saved_errno;
}

void continue_after_stop(int) {
  const int saved_errno = errno;
  if (signal_armed) take_terminal_again();
  errno = saved_errno;
}

// The quit signals (SIGINT, SIGTERM, SIGHUP) are not here: they end the game
// through its own quit, which first finishes the move being made.
constexpr int kFatalSignals[] = {SIGQUIT, SIGABRT, SIGSEGV, SIGBUS};

// Asks the terminal where its caret is (ESC [ row ; column R comes back),
// and how long the answer is waited for.
constexpr std::string_view kAskPosition = "\x1b[6n";
constexpr double kAnswerSeconds = 0.5;
// A terminal that has not answered this many questions in a row is not
// asked again (a busy machine can delay one answer past the wait).
constexpr int kQuestionsUnanswered = 3;

// The length of the cursor position report (ESC [ digits ; digits R) that
// starts at text[start], with its row; 0 when there is none there.
std::size_t position_report(const std::string& text, std::size_t start, int& row) {
  if (text.compare(start, 2, "\x1b[") != 0) return 0;
  const std::size_t semicolon = text.find_first_not_of("0123456789", start + 2);
  if (semicolon == std::string::npos || text[semicolon] != ';' || semicolon == start + 2) return 0;
  const std::size_t end = text.find_first_not_of("0123456789", semicolon + 1);
  if (end == std::string::npos || text[end] != 'R' || end == semicolon + 1) return 0;
  row = std::atoi(text.c_str() + start + 2);
  return end + 1 - start;
}

// How many columns the terminal gives UTF-8 text: wide characters take two,
// combining marks none (the C.UTF-8 locale's widths, as terminals use; one
// a character where that locale is missing).
std::size_t display_columns(std::string_view text) {
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  std::size_t columns = 0;
  if (!utf8) {
    for (char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
  }
  const locale_t previous = uselocale(utf8);
  std::mbstate_t state{};
  for (std::size_t at = 0; at < text.size();) {
    wchar_t character = 0;
    const std::size_t used = std::mbrtowc(&character, text.data() + at, text.size() - at, &state);
    if (used == 0 || used > text.size() - at) {
      // A byte that starts no character is shown as one.
      state = std::mbstate_t{};
      ++columns;
      ++at;
      continue;
    }
    const int width = wcwidth(character);
    columns += width < 0 ? 1 : static_cast<std::size_t>(width);
    at += used;
  }
  uselocale(previous);
  return columns;
}

// The terminal's first line: the keys that stand for Shift+Enter and
// Shift+Backspace, and how to quit.
constexpr const char* kIntro =
    N_("Quillvane in the terminal: where Shift+Enter or Shift+Backspace does not work, Ctrl+J or "
       "Alt+Enter combines and Ctrl+H or Alt+Backspace undoes; Ctrl+C quits.");

}  // namespace

TerminalPlatform::TerminalPlatform(int input, int output, std::string program_folder,
                                   std::string data_folder, std::optional<std::uint32_t> seed)
    : input_(input),
      output_(output),
      program_folder_(std::move(program_folder)),
      data_folder_(std::move(data_folder)),
      seed_(seed) {}

TerminalPlatform::~TerminalPlatform() {
  restore();
  // The braille display goes back to BRLTTY as the game ends.
  braille_.reset();
  // The voice and the cues end side by side, each within its own limit.
  if (voice_) voice_->begin_farewell();
  const bool audio_stopped = !cues_ || cues_->stop();
  cues_.reset();
  voice_.reset();
  // A cue thread stuck in the audio device keeps SDL's audio.
  if (audio_stopped) SDL_Quit();
}

bool TerminalPlatform::open() {
  if (!isatty(input_) || tcgetattr(input_, &saved_) != 0) return false;
  termios raw = saved_;
  // Every key reaches the game as typed: no line editing, no echo, and
  // Ctrl+C, Ctrl+Z, Ctrl+S arrive as keys. Output is written as it is
  // meant (the game writes CR LF itself), so that a line and its break
  // reach the terminal in one piece: with the terminal's output processing
  // the kernel hands the text and each break on separately, and a terminal
  // that shows the text before its break tells a screen reader two changes.
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INLCR | IGNCR | INPCK | ISTRIP | IXON);
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_cflag |= CS8;
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  signal_fd = input_;
  signal_saved = saved_;
  signal_raw = raw;
  signal_armed = 1;
  for (int signal_number : kFatalSignals) std::signal(signal_number, restore_and_die);
  std::signal(SIGTSTP, stop_for_shell);
  std::signal(SIGCONT, continue_after_stop);
  quit_signal::install();
  if (tcsetattr(input_, TCSANOW, &raw) != 0) {
    signal_armed = 0;
    return false;
  }
  raw_ = true;
  write_out(std::string(kRequestKeys));
  // The cues need only SDL's audio; SDL must not take the terminal's signals,
  // and the audio libraries must not print over the game's lines.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  quiet_audio_libraries();
  cues_ = std::make_unique<CuePlayer>();
  // The braille display is connected beside the game; its loss wakes the
  // wait, as the voice's does.
  if (braille_setting().on)
    braille_ = std::make_unique<BrailleDisplay>([wake = &wake_] { wake->notify(); });
  return true;
}

void TerminalPlatform::restore() {
  if (!raw_) return;
  raw_ = false;
  flush_lines();
  close_line();
  write_out(std::string(kReleaseKeys));
  tcsetattr(input_, TCSANOW, &saved_);
  signal_armed = 0;
  for (int signal_number : kFatalSignals) std::signal(signal_number, SIG_DFL);
  std::signal(SIGTSTP, SIG_DFL);
  std::signal(SIGCONT, SIG_DFL);
}

double TerminalPlatform::now() { return monotonic_seconds(); }

std::uint32_t TerminalPlatform::random_seed() { return seed_or_time_of_day(seed_); }

void TerminalPlatform::write_out(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(output_, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // the terminal has gone; nothing more to show
    done += static_cast<std::size_t>(written);
  }
}

void TerminalPlatform::close_line() {
  if (!line_open) return;
  line_open = 0;
  write_out("\r\n");
}

void TerminalPlatform::print_line(std::string text) { said_.push_back(std::move(text)); }

void TerminalPlatform::flush_lines() {
  if (said_.empty()) return;
  // Lines said in one go (with no wait between them) go in one write, so
  // that the terminal reports them to a screen reader as one insertion,
  // spoken once: a scrolling screen moves every line, and Orca, reading
  // the first of two quick insertions after the second had come, read the
  // wrong line. The terminal's keys are named with the first line, not
  // before it.
  std::vector<std::string> shown;
  const bool intro_now = !intro_printed_;
  if (intro_now) {
    intro_printed_ = true;
    shown.emplace_back(language().text(kIntro));
  }
  for (std::string& line : said_) shown.push_back(std::move(line));
  said_.clear();
  // Orca speaks an insertion after a navigation key only when it ends at
  // the caret, and reads a multi-line insertion from the start of its first
  // line. So the line break comes before the text, in the same write, while
  // the screen has an empty row below the caret (the text then fills rows
  // that are already there, and the insertion is the text alone); a text
  // that reaches the screen's last row takes its break along (the screen
  // scrolls, and the insertion is the text and its break, ending at the
  // caret), and the next line starts on that empty row with no break
  // before it. A break written on its own would move the caret to an empty
  // row, which Orca reads as "blank" after an arrow. Each break is CR LF.
  // At the foot a text takes a row holding one space between it and the
  // next: VTE, rebuilding its text from the screen (without empty rows at
  // the end) after taking a long write in pieces, has gone on to report
  // each later line from the break before it, and Orca then reads the row
  // before with the line, which is then that row, said as nothing.
  bool break_after = false;
  std::optional<int> row_after;
  if (const std::optional<int> row = caret_row()) {
    winsize size{};
    if (ioctl(output_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
      int rows_needed = 0;
      for (const std::string& line : shown)
        rows_needed += static_cast<int>(
            std::max<std::size_t>(1, (display_columns(line) + size.ws_col - 1) / size.ws_col));
      const int rows = size.ws_row;
      const int first_row = std::min(*row + (line_open ? 1 : 0), rows);
      break_after = first_row + rows_needed - 1 >= rows;
      row_after = break_after ? rows : first_row + rows_needed - 1;
    }
  }
  std::string out = line_open ? "\r\n" : "";
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += shown[i];
  }
  if (break_after) out += "\r\n \r\n";
  // The flag goes down before the write: a signal handler that runs
  // meanwhile writes no second break.
  line_open = 0;
  write_out(out);
  line_open = break_after ? 0 : 1;
  // Where the caret now is, worked out; the terminal is asked too, without
  // waiting, and its answer (which comes as it shows the write) corrects
  // the reckoning where a resize or a wide character misled it.
  caret_row_ = row_after;
  if (terminal_answers_) {
    write_out(std::string(kAskPosition));
    ++checks_;
  }
  // The braille display shows the lines together, the game's first: the
  // terminal's keys (its first line) come after the welcome.
  if (braille_) {
    std::string cells;
    const auto add = [&cells](const std::string& line) {
      if (!cells.empty()) cells += "  ";
      cells += line;
    };
    for (std::size_t i = intro_now ? 1 : 0; i < shown.size(); ++i) add(shown[i]);
    if (intro_now) add(shown.front());
    braille_->show(cells);
  }
  // The screen-reader scenario puts each printed line beside the time the
  // screen reader spoke it.
  for (std::size_t i = 0; i < shown.size(); ++i) latency_stamp("printed");
  if (!first_printed_) {
    first_printed_ = true;
    first_frame_stamp();
  }
}

bool TerminalPlatform::take_position_report(int row) {
  // Answers come in the order of the questions: first those given up on,
  // then those asked after each write, of which the last is current.
  if (late_answers_ > 0) {
    --late_answers_;
    return false;
  }
  if (checks_ > 0) {
    if (--checks_ == 0) caret_row_ = row;
    return false;
  }
  return true;
}

std::optional<int> TerminalPlatform::caret_row() {
  if (!terminal_answers_) return std::nullopt;
  if (caret_row_) return caret_row_;
  write_out(std::string(kAskPosition));
  const double limit = now() + kAnswerSeconds;
  for (;;) {
    // The answer is ESC [ row ; column R; keys typed meanwhile stay queued,
    // and the answers of questions given up on come first.
    int row = 0;
    for (std::size_t start = pending_.find("\x1b["); start != std::string::npos;
         start = pending_.find("\x1b[", start)) {
      const std::size_t length = position_report(pending_, start, row);
      if (length == 0) {
        ++start;
        continue;
      }
      pending_.erase(start, length);
      if (!take_position_report(row)) continue;
      unanswered_ = 0;
      caret_row_ = row;
      return row;
    }
    const double left = limit - now();
    pollfd descriptor{input_, POLLIN, 0};
    const int ready =
        left <= 0 ? 0 : poll(&descriptor, 1, static_cast<int>(std::ceil(left * 1000.0)));
    if (ready < 0 && errno == EINTR) continue;  // a signal, not the end of the wait
    char buffer[256];
    const ssize_t got = ready > 0 ? read(input_, buffer, sizeof buffer) : 0;
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      // This line breaks before its text; its answer, if it comes, is
      // skipped. A terminal that keeps silent is not asked again.
      ++late_answers_;
      if (++unanswered_ >= kQuestionsUnanswered) terminal_answers_ = false;
      return std::nullopt;
    }
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

void TerminalPlatform::on_prompt(Prompt prompt) {
  // The game asks for Shift+Enter or Shift+Backspace; a terminal that has
  // not shown that it can send the key gets, once, the keys that stand for it.
  const bool reported =
      prompt == Prompt::kCombine ? shift_enter_reported_ : shift_backspace_reported_;
  if (!keys_hint_shown_ && !reported) hint_next_line_ = true;
}

void TerminalPlatform::on_say(const std::string& text) {
  if (hint_next_line_) {
    hint_next_line_ = false;
    keys_hint_shown_ = true;
    print_line(printable_utf8(text));
    print_line(
        std::string(language().text(N_("In this terminal, Ctrl+J combines and Ctrl+H undoes."))));
  } else {
    print_line(printable_utf8(text));
  }
  first_line_shown_ = true;
}

void TerminalPlatform::report_error(const std::string& text) {
  if (!isatty(STDERR_FILENO)) Platform::report_error(text);
}

void TerminalPlatform::on_speech_mode(int mode, bool said) {
  const bool changed = speech_mode_ >= 0 && mode != speech_mode_;
  speech_mode_ = mode;
  // Before the first line the game is still starting: nothing was chosen.
  // A change the game tells in its own words needs no line of the terminal's.
  if (!changed || !first_line_shown_ || said) return;
  switch (mode) {
    case kVoiceMode:
      print_line(std::string(language().text(N_("Speech output: voice and printed lines."))));
      break;
    case kNvdaMode:
      print_line(std::string(language().text(
          N_("Speech output: printed lines only, for your screen reader (NVDA mode)."))));
      break;
    case kWindowEyesMode:
      print_line(std::string(language().text(
          N_("Speech output: printed lines only, for your screen reader (Window-Eyes mode)."))));
      break;
    default:
      break;  // the game settles on JAWS' mode only where there is a JAWS object
  }
}

bool TerminalPlatform::read_input(int timeout_ms) {
  // The voice's worker and a quit signal wake the wait as a key would (a
  // negative descriptor is skipped by poll).
  pollfd descriptors[3] = {
      {input_, POLLIN, 0},
      {wake_.fd(), POLLIN, 0},
      // Once handed over, the quit stays readable: it no longer wakes the wait.
      {quit_delivered_ ? -1 : quit_signal::fd(), POLLIN, 0}};
  const int ready = poll(descriptors, 3, timeout_ms);
  if (ready <= 0) return true;  // nothing yet (or a signal woke the wait)
  if (descriptors[1].revents & POLLIN) {
    woke_ = true;
    wake_.drain();
    notice_voice_change();
    notice_braille_change();
  }
  if (descriptors[2].revents & POLLIN) woke_ = true;
  if (!(descriptors[0].revents & (POLLIN | POLLHUP | POLLERR))) return true;
  char buffer[4096];
  const ssize_t got = read(input_, buffer, sizeof buffer);
  if (got < 0) return errno == EINTR || errno == EAGAIN;
  if (got == 0) return false;
  pending_.append(buffer, static_cast<std::size_t>(got));
  return true;
}

void TerminalPlatform::decode_keys(bool final) {
  while (!pending_.empty()) {
    // An answer to a question about the caret is no key.
    int row = 0;
    if (late_answers_ > 0 || checks_ > 0) {
      if (const std::size_t length = position_report(pending_, 0, row)) {
        pending_.erase(0, length);
        take_position_report(row);
        continue;
      }
    }
    // Where the terminal's Backspace sends BS, Ctrl+H cannot be told apart.
    const TerminalKey key = decode_terminal_key(pending_, final, saved_.c_cc[VERASE] == 0x08);
    if (key.kind == TerminalKey::incomplete) break;
    pending_.erase(0, std::max<std::size_t>(key.length, 1));
    if (key.kind == TerminalKey::quit) events_.push_back({Event::Kind::close});
    if (key.kind == TerminalKey::key) {
      latency_stamp("key");
      if (key.shift != 0 && key.reported_code == 13) shift_enter_reported_ = true;
      if (key.shift != 0 && (key.reported_code == 127 || key.reported_code == 8))
        shift_backspace_reported_ = true;
      Event event{Event::Kind::key, key.keycode, key.shift};
      event.character = key.character;
      events_.push_back(event);
    }
  }
}

std::optional<Event> TerminalPlatform::next_event(double deadline) {
  // The game waits: what it has said since it last waited is shown.
  if (deadline > now()) flush_lines();
  for (;;) {
    // A quit signal is the player's quit, handed over once.
    if (quit_signal::requested() && !quit_delivered_) {
      quit_delivered_ = true;
      return Event{Event::Kind::close};
    }
    decode_keys(false);
    if (!events_.empty()) {
      const Event event = events_.front();
      events_.pop_front();
      return event;
    }
    // The input has closed: nobody is left to play.
    if (input_closed_) return Event{Event::Kind::close};
    const double left = deadline - now();
    if (left <= 0) {
      // Only what has already arrived.
      if (!read_input(0)) input_closed_ = true;
      decode_keys(false);
      if (events_.empty() && !input_closed_) return std::nullopt;
      continue;
    }
    // Whole milliseconds, rounded up, at most an hour per poll; a sequence
    // cut short waits only briefly for its rest.
    int timeout = static_cast<int>(std::min(std::ceil(left * 1000.0), 3600000.0));
    const bool partial = !pending_.empty();
    if (partial) timeout = std::min(timeout, kEscapeMilliseconds);
    const std::size_t before = pending_.size();
    woke_ = false;
    if (!read_input(timeout)) {
      input_closed_ = true;
      continue;
    }
    // Nothing more came after a lone ESC (or a cut sequence): it is a key.
    if (partial && !woke_ && pending_.size() == before) decode_keys(true);
    if (events_.empty() && pending_.size() == before && !woke_ && now() >= deadline)
      return std::nullopt;
  }
}

Voice* TerminalPlatform::make_voice() {
  if (!voice_tried_) {
    voice_tried_ = true;
    voice_ = std::make_unique<SpeechdVoice>([wake = &wake_] { wake->notify(); });
  }
  return voice_.get();
}

void TerminalPlatform::notice_voice_change() {
  if (voice_ && voice_loss_.check(voice_->state()) == VoiceLossNotice::Change::lost) {
    // Told during a wait: shown at once.
    print_line(std::string(language().text(
        N_("No voice: speech-dispatcher does not answer. The lines are printed."))));
    flush_lines();
  }
}

void TerminalPlatform::notice_braille_change() {
  if (braille_ && braille_loss_.check(braille_->state()) == BrailleLossNotice::Change::lost) {
    // Told during a wait: shown at once.
    print_line(std::string(language().text(N_("No braille display: BRLTTY does not answer."))));
    flush_lines();
  }
}

void TerminalPlatform::play_sound(const std::string& path) {
  if (cues_) cues_->play(path);
}

}  // namespace quillvane
