// The comforts a screen-reader user expects beyond the game's own keys:
// the speech history, stopping the voice, the cue volume and a status line.
// Each key's code is one the letter jump can never match to a built-in item
// name and that a menu would only answer by repeating its current entry.
#include <string>

#include "game/form1.h"
#include "game/names.h"
#include "lang/format.h"

namespace quillvane {
namespace {

// The steps of the cue volume, from loud to off and round again.
constexpr int kCueVolumes[] = {100, 75, 50, 25, 0};

const char* const kMenuNames[] = {
    N_("Game screen"), N_("Main menu"),   N_("Difficulty menu"), N_("Achievements menu"),
    N_("Help menu"),   N_("Recipe list"), N_("Game menu"),       N_("Achievement details")};
const char* const kLevelNames[] = {N_("Insane mode"), N_("Hard mode"), N_("Normal mode"),
                                   N_("Easy mode")};

}  // namespace

bool Form1::iscomfortkey(int keycode) {
  switch (keycode) {
    case vk::Ctrl:
    case vk::PageUp:
    case vk::PageDown:
    case vk::End:
    case vk::Home:
    case vk::F12:
      return true;
    default:
      return false;
  }
}

bool Form1::comfortkey(int keycode) {
  switch (keycode) {
    case vk::Home:
      if (!history_.empty()) sayagain(history_.size() - 1);
      return true;
    case vk::PageUp:
      if (!history_.empty()) sayagain(history_cursor_ > 0 ? history_cursor_ - 1 : 0);
      return true;
    case vk::PageDown:
      if (!history_.empty())
        sayagain(history_cursor_ + 1 < history_.size() ? history_cursor_ + 1 : history_.size() - 1);
      return true;
    case vk::End:
      sayit(statusline());
      return true;
    case vk::Ctrl:
      // Only the voice can be cut short; the caption modes have nothing to stop.
      if (speechmode == kVoiceMode && voice) voice->stop();
      return true;
    case vk::F12: {
      int next = kCueVolumes[0];
      for (std::size_t i = 0; i < std::size(kCueVolumes); ++i)
        if (kCueVolumes[i] == cuevolume) next = kCueVolumes[(i + 1) % std::size(kCueVolumes)];
      cuevolume = next;
      platform_.set_cue_volume(cuevolume);
      savesettings();
      sayit(cuevolume == 0
                ? tr(N_("Sounds off."))
                : lang::format(trn("Sounds at %1$d percent.", "Sounds at %1$d percent.", cuevolume),
                               {std::to_string(cuevolume)}));
      return true;
    }
    default:
      return false;
  }
}

void Form1::sayagain(std::size_t index) {
  history_cursor_ = index;
  repeating_ = true;
  sayit(history_[index]);
  repeating_ = false;
}

std::string Form1::placeline() const {
  if (menu < kMainMenu || menu > kDetailsList) return "";
  const std::string name = tr(kMenuNames[menu]);
  if (menuitem < 1 || menuitem > menulast())
    return lang::format(tr(N_("%1$s, no entry chosen yet.")), {name});
  return lang::format(tr(N_("%1$s, %2$s")), {name, menulabel(menuitem)});
}

std::string Form1::statusline() const {
  if (menu != kGameScreen) return placeline();
  auto slot = [&](int index) {
    return index >= 1 && index <= itemcount ? heard(items[index]) : tr(N_("empty"));
  };
  // Each count declines on its own; the sentence puts them in their places.
  auto counted = [](const std::string& form, int count) {
    return lang::format(form, {std::to_string(count)});
  };
  const std::string level =
      difficulty >= kInsane && difficulty <= kEasy ? tr(kLevelNames[difficulty]) : "";
  const int known = rulesdiscovered();
  return lang::format(tr(N_("%1$s, %2$s, %3$s, %4$s.  Slot 1: %5$s.  Slot 2: %6$s.")),
                      {level, counted(trn("%1$d step", "%1$d steps", steps), steps),
                       counted(trn("%1$d item", "%1$d items", itemcount), itemcount),
                       counted(trn("%1$d recipe known", "%1$d recipes known", known), known),
                       slot(slot1), slot(slot2)});
}

void Form1::showcontext() {
  platform_.show_context(placeline(), history_.empty() ? std::string() : history_.back());
}

}  // namespace quillvane
