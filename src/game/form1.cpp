// Form1's life: construction, start-up, repaint and the events the platform
// hands in.
#include "game/form1.h"

#include <limits>

#include "game/names.h"
#include "lang/format.h"
#include "quillvane/version.h"

namespace quillvane {
namespace {

// Marks an action as running for as long as it is in scope, even when the
// program ends inside it.
class ActionScope {
 public:
  explicit ActionScope(int& depth) : depth_(depth) { ++depth_; }
  ~ActionScope() { --depth_; }
  ActionScope(const ActionScope&) = delete;
  ActionScope& operator=(const ActionScope&) = delete;

 private:
  int& depth_;
};

}  // namespace

Form1::Form1(Platform& platform) : platform_(platform) {}

Form1::~Form1() = default;

void Form1::Form_Load() {
  ActionScope action(action_depth_);

  seedrandom(platform_.random_seed());
  version = kQuillvaneVersion;
  openmenu(kMainMenu, kGameScreen);
  undomade1 = undomade2 = undoused1 = undoused2 = "";
  cheatmode = 0;
  voice = platform_.make_voice();
  jawsstatus = 0;
  sapirate = 7;
  if (voice) voice->set_rate(sapirate);
  sapivolume = 100;
  if (voice) voice->set_volume(sapivolume);
  loadsettings();
  platform_.set_cue_volume(cuevolume);
  // A language chosen on the command line is kept for the next start.
  const LanguageSetting& chosen = platform_.language_setting();
  if (chosen.keep && keptlanguage != language().code()) {
    keptlanguage = language().code();
    savesettings();
  }
  // So is a braille display asked for or turned off there.
  const BrailleSetting& braille = platform_.braille_setting();
  if (braille.keep && (braillesetting == 1) != braille.on) {
    braillesetting = braille.on ? 1 : 0;
    savesettings();
  }
  if (voice)
    voice->set_language(language().code(),
                        tr(N_("No voice for your language is installed: the system's default "
                              "voice speaks.")));
  loadjaws();
  setspeechmode(platform_.default_speech_mode());
  settitle(programtitle());
  loadprogress();
  loadachievements();
  constexpr const char* kWelcome = N_("Welcome to Quillvane, version (%1$s), by Orlick");
  sayit(lang::format(tr(kWelcome), {version}));
  logit(lang::format(kWelcome, {version}));
  if (!chosen.unknown.empty())
    sayit(lang::format(tr(N_("There is no translation for %1$s: the game speaks English.")),
                       {chosen.unknown}));
  if (platform_.file_exists(datapath("cheat.ini"))) cheat();
  hurrying_ = false;
  if (quitting_) endprogram();
}

void Form1::Form_Paint() { drawitems(); }

// ---- events ----

void Form1::handle(const Event& event) {
  switch (event.kind) {
    case Event::Kind::key:
      return key_event(event.keycode, event.shift, event.character);
    case Event::Kind::select:
      return select_event(event.entry);
    case Event::Kind::paint:
      return Form_Paint();
    case Event::Kind::close:
      return close_event();
    case Event::Kind::hurry:
      return hurry_event();
    case Event::Kind::end:
      return;  // only the run's loop stops on it
  }
}

void Form1::serve_pending() {
  while (auto event = platform_.next_event(-std::numeric_limits<double>::infinity())) {
    if (event->kind == Event::Kind::end) return;
    handle(*event);
  }
}

void Form1::key_event(int keycode, int shift, char32_t character) {
  // Window-Eyes' synthetic keys are dropped at once, never held back; after
  // a quit no key starts anything new.
  if (sendingkeys == 1 || quitting_) return;
  Event event{Event::Kind::key, keycode, shift};
  event.character = character;
  run_or_hold(event);
}

void Form1::select_event(int entry) {
  if (quitting_) return;
  Event event{Event::Kind::select};
  event.entry = entry;
  run_or_hold(event);
}

void Form1::run_or_hold(const Event& event) {
  if (action_depth_ == 0) {
    run_action(event);
    return;
  }
  // The comfort keys only speak (or set the cue volume): they never wait
  // behind a held-back key.
  const bool comfort = event.kind == Event::Kind::key && iscomfortkey(event.keycode);
  if ((held_events_.empty() && safe_during_action(event)) || comfort) {
    ActionScope action(action_depth_);
    act(event);
    return;
  }
  held_events_.push_back(event);
}

void Form1::act(const Event& event) {
  if (event.kind == Event::Kind::select)
    select_entry(event.entry);
  else
    Form_KeyDown(event.keycode, event.shift, event.character);
}

void Form1::run_action(const Event& event) {
  ActionScope action(action_depth_);
  act(event);
  while (!held_events_.empty() && !quitting_) {
    const Event next = held_events_.front();
    held_events_.pop_front();
    act(next);
  }
  hurrying_ = false;
  if (quitting_) endprogram();
  // A key may change the menu without a word (closing a list).
  showcontext();
}

bool Form1::safe_during_action(const Event& event) const {
  if (event.kind == Event::Kind::key && event.keycode == vk::Tab)
    return true;  // Tab only changes the speech output
  if (menu != kGameScreen) return false;
  if (event.kind == Event::Kind::select) return true;  // a touch on the list moves like an arrow
  switch (event.keycode) {
    case vk::Backspace:  // undo
    case vk::Enter:      // slots and combining
    case vk::Escape:     // the game menu
    case vk::Delete:     // clears the slots
    case vk::Digit2:     // 2 to 5: the recipe lists open a menu
    case vk::Digit3:
    case vk::Digit4:
    case vk::Digit5:
    case vk::NumPlus:  // the rate keys save the progress file
    case vk::NumMinus:
    case vk::Plus:
    case vk::Minus:
      return false;
    default:
      return true;  // arrows, the 1 key and the letter jump only move or speak
  }
}

void Form1::close_event() {
  if (action_depth_ == 0) endprogram();
  // A quit in the middle of an action lets it finish its changes, its log
  // lines and its saves, without its remaining waits and speech; the
  // program ends as soon as it is done, and the keys held back are dropped.
  quitting_ = true;
  held_events_.clear();
}

void Form1::hurry_event() {
  // Idle, nothing is in progress. Otherwise the action, and the keys held
  // back before it, finish their changes, log lines and saves at once, as
  // for a quit, but the game goes on afterwards.
  if (action_depth_ > 0) hurrying_ = true;
}

// ---- program end, files, randomness ----

void Form1::endprogram() {
  platform_.on_exit();
  throw ProgramEnd{};
}

void Form1::damagedfile() {
  sayit(tr(N_("This progress file appears to have been damaged.  Exiting the game.")));
  hold(5);
  endprogram();
}

void Form1::unreadablefile() {
  const std::string message = tr(N_("Your saved game could not be read."));
  platform_.report_error(message);
  sayit(message);
  hold(5);
  endprogram();
}

std::string Form1::datapath(const std::string& name) {
  return platform_.data_folder() + platform_.path_separator() + name;
}

void Form1::report_save_failure() {
  if (save_failed_ && !told_save_failed_) {
    told_save_failed_ = true;
    sayit(tr(N_("Your progress could not be saved.")));
  }
}

int Form1::checksumrandom() {
  // splitmix64: the same numbers for the same seed on every platform.
  random_state_ += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = random_state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  double fraction = static_cast<double>(z >> 11) * 0x1.0p-53;  // in [0, 1)
  return static_cast<int>(fraction * 90) + 10;
}

}  // namespace quillvane
