#include "platform/terminal/terminal_platform.h"

#include <SDL.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <utility>

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
    (void)!write(signal_fd, "\n", 1);
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

// Asks the terminal for its primary device attributes (every terminal
// answers), and how long the answer is waited for.
constexpr std::string_view kAskAttributes = "\x1b[c";
constexpr double kAnswerSeconds = 0.2;

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
  // Ctrl+C, Ctrl+Z, Ctrl+S arrive as keys. Output is left as it was.
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INLCR | IGNCR | INPCK | ISTRIP | IXON);
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
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
  return true;
}

void TerminalPlatform::restore() {
  if (!raw_) return;
  raw_ = false;
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
  write_out("\n");
}

void TerminalPlatform::print_lines(std::initializer_list<std::string_view> lines) {
  // The line break of the line before, then the lines with the caret left
  // right after the last one's text. The terminal's output processing turns
  // each break into CR LF, so console readers and screen captures see the
  // same lines. Lines printed together go in one write, so that the terminal
  // reports them to a screen reader as one insertion, spoken once.
  std::string out;
  if (line_open) {
    // Once the screen is full, a break and a line written together reach a
    // screen reader as one insertion that starts on the line before, and
    // Orca then reads that line again. The terminal answers its attributes
    // question after it has shown the break: the line then comes on its own.
    line_open = 0;
    if (terminal_answers_) {
      write_out("\n" + std::string(kAskAttributes));
      await_terminal_answer();
    } else {
      out = "\n";
    }
  }
  std::size_t count = 0;
  // The terminal's keys are named with the first line, not before it: two
  // insertions a moment apart were read together and then the second again.
  if (!intro_printed_) {
    intro_printed_ = true;
    out += language().text(kIntro);
    out += '\n';
    ++count;
  }
  for (std::string_view line : lines) {
    if (count > 0 && !out.ends_with('\n')) out += '\n';
    out += line;
    ++count;
  }
  write_out(out);
  line_open = 1;
  // The screen-reader scenario puts each printed line beside the time the
  // screen reader spoke it.
  for (std::size_t i = 0; i < count; ++i) latency_stamp("printed");
}

void TerminalPlatform::print_line(const std::string& text) { print_lines({text}); }

void TerminalPlatform::await_terminal_answer() {
  if (!terminal_answers_) return;
  const double limit = now() + kAnswerSeconds;
  for (;;) {
    // The answer is ESC [ ? parameters c; keys typed meanwhile stay queued.
    const std::size_t start = pending_.find("\x1b[?");
    if (start != std::string::npos) {
      const std::size_t end = pending_.find_first_not_of("0123456789;", start + 3);
      if (end != std::string::npos && pending_[end] == 'c') {
        pending_.erase(start, end + 1 - start);
        return;
      }
    }
    const double left = limit - now();
    pollfd descriptor{input_, POLLIN, 0};
    const int ready =
        left <= 0 ? 0 : poll(&descriptor, 1, static_cast<int>(std::ceil(left * 1000.0)));
    if (ready < 0 && errno == EINTR) continue;  // a signal, not the end of the wait
    if (ready <= 0) {
      // A terminal that does not answer is not asked again; a late answer
      // is skipped by the key decoder.
      terminal_answers_ = false;
      return;
    }
    char buffer[256];
    const ssize_t got = read(input_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      terminal_answers_ = false;
      return;
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
    print_lines({printable_utf8(text),
                 language().text(N_("In this terminal, Ctrl+J combines and Ctrl+H undoes."))});
  } else {
    print_line(printable_utf8(text));
  }
  if (!first_line_shown_) {
    first_line_shown_ = true;
    first_frame_stamp();
  }
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
  if (voice_ && voice_loss_.check(voice_->state()) == VoiceLossNotice::Change::lost)
    print_line(std::string(language().text(
        N_("No voice: speech-dispatcher does not answer. The lines are printed."))));
}

void TerminalPlatform::play_sound(const std::string& path) {
  if (cues_) cues_->play(path);
}

}  // namespace quillvane
