// The speech router, the timed wait and the sound cues.
#include <cmath>

#include "game/form1.h"
#include "game/names.h"
#include "lang/format.h"

namespace quillvane {

void Form1::sayit(std::string tempm) {
  // After a quit or a hurry the action finishing its work says nothing more.
  if (skipping()) return;
  if (!repeating_) {
    // The history keeps the last 100 lines; saying one again resets the
    // place Page Up and Page Down step from.
    if (history_.size() == 100) history_.pop_front();
    history_.push_back(tempm);
    history_cursor_ = history_.size() - 1;
  }
  // The voice is handed the line before the front-end shows it: the
  // terminal's printing may wait a moment for the terminal's answer.
  if (speechmode == kVoiceMode && voice) voice->speak_purge(tempm);
  platform_.on_say(tempm);
  if (speechmode == kVoiceMode) serve_pending();
  if (speechmode == kNvdaMode || speechmode == kWindowEyesMode) {
    // A caption screen reader only announces a change: saying the same line
    // twice first shows it with a leading space.
    if (platform_.caption() == tempm) {
      platform_.set_caption(" " + tempm);
      serve_pending();
    }
    platform_.set_caption(tempm);
  }
  if (speechmode == kWindowEyesMode) {
    // Window-Eyes reads the new caption on Ctrl+Shift+T; the game ignores
    // these keys while sendingkeys is 1.
    sendingkeys = 1;
    platform_.send_key(vk::Ctrl, false);
    platform_.send_key(vk::Shift, false);
    platform_.send_key(vk::T, false);
    serve_pending();
    platform_.send_key(vk::Ctrl, true);
    platform_.send_key(vk::Shift, true);
    platform_.send_key(vk::T, true);
    sendingkeys = 0;
    serve_pending();
  }
  if (speechmode == kJawsMode) {
    if (jaws) jaws->say_string(tempm, false);
  }
  // The window shows the line too, once it is on its way to the player.
  showcontext();
}

void Form1::loadjaws() {
  jawsstatus = -1;
  jaws = platform_.make_screen_reader();
  jawsstatus = jaws ? 1 : 0;
}

void Form1::hold(double seconds) {
  if (skipping()) return;
  platform_.on_wait(seconds);
  // The timer counts whole milliseconds; a wait of none ends at once (and
  // ends the wait it was started in, as any nested hold does).
  const long interval = std::lround(seconds * 1000.0);
  holder_deadline_.reset();
  if (interval >= 1) holder_deadline_ = platform_.now() + static_cast<double>(interval) / 1000.0;
  // A nested hold sets the same timer anew; the tick that ends it ends the
  // outer wait too.
  while (holder_deadline_ && !skipping()) {
    // One event at a time until the deadline: keys that arrive are handled
    // (or held back) here, inside the wait.
    if (auto event = platform_.next_event(*holder_deadline_)) handle(*event);
    if (holder_deadline_ && platform_.now() >= *holder_deadline_) holder_Timer();
  }
  holder_deadline_.reset();
}

void Form1::holder_Timer() { holder_deadline_.reset(); }

void Form1::makesound(const std::string& tempm) { platform_.play_sound(tempm); }

void Form1::playcue(const std::string& literal) {
  if (skipping()) return;
  platform_.on_cue(literal);
  // Both spellings of the literals name the same sounds folder: where a
  // backslash is no separator it becomes one.
  std::string tail = literal;
  if (platform_.path_separator() != '\\') {
    for (char& c : tail)
      if (c == '\\') c = '/';
  }
  makesound(platform_.program_folder() + tail);
}

void Form1::settitle(const std::string& text) { platform_.set_title(text); }

void Form1::setspeechmode(int mode) {
  const int before = speechmode;
  // A mode no output exists for would leave the player in silence.
  if (mode < kVoiceMode || mode > kJawsMode) mode = kVoiceMode;
  // Nor would JAWS' mode without its object: the voice takes over, and says so.
  const bool nojaws = mode == kJawsMode && jawsstatus == 0;
  if (nojaws) mode = kVoiceMode;
  speechmode = mode;
  platform_.on_speech_mode(speechmode, nojaws);
  // The outputs that leave the caption alone get the program's title back
  // from the lines a caption mode put there.
  if ((speechmode != before || nojaws) && (speechmode == kVoiceMode || speechmode == kJawsMode))
    settitle(programtitle());
  if (nojaws) sayit(tr(N_("Jaws does not seem to be responding, Sapi on.")));
}

std::string Form1::programtitle() const {
  return lang::format(tr(N_("Orlick's Quillvane (v%1$s)")), {version});
}

}  // namespace quillvane
