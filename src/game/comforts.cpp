// The comforts a screen-reader user expects beyond the game's own keys:
// the speech history, stopping the voice, the cue volume and a status line.
// Each key's code is one the letter jump can never match to a built-in item
// name and that a menu would only answer by repeating its current entry.
#include <string>

#include "game/form1.h"
#include "game/names.h"

namespace quillvane {
namespace {

// The steps of the cue volume, from loud to off and round again.
constexpr int kCueVolumes[] = {100, 75, 50, 25, 0};

const char* const kMenuNames[] = {"Game screen",       "Main menu",          "Difficulty menu",
                                  "Achievements menu", "Help menu",          "Recipe list",
                                  "Game menu",         "Achievement details"};
const char* const kLevelNames[] = {"Insane mode", "Hard mode", "Normal mode", "Easy mode"};

std::string counted(int count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

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
      sayit(cuevolume == 0 ? std::string("Sounds off.")
                           : "Sounds at " + std::to_string(cuevolume) + " percent.");
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
  const std::string name = kMenuNames[menu];
  if (menuitem < 1 || menuitem > menulast()) return name + ", no entry chosen yet.";
  return name + ", " + menulabel(menuitem);
}

std::string Form1::statusline() const {
  if (menu != kGameScreen) return placeline();
  auto slot = [&](int index) { return index >= 1 && index <= itemcount ? items[index] : "empty"; };
  const std::string level =
      difficulty >= kInsane && difficulty <= kEasy ? kLevelNames[difficulty] : "";
  return level + ", " + counted(steps, "step", "steps") + ", " +
         counted(itemcount, "item", "items") + ", " +
         counted(rulesdiscovered(), "recipe", "recipes") + " known.  Slot 1: " + slot(slot1) +
         ".  Slot 2: " + slot(slot2) + ".";
}

void Form1::showcontext() {
  platform_.show_context(placeline(), history_.empty() ? std::string() : history_.back());
}

}  // namespace quillvane
