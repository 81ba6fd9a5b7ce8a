// The key dispatcher: every key-down of the window arrives here.
#include <algorithm>
#include <climits>
#include <string>

#include "game/form1.h"
#include "game/names.h"

namespace quillvane {
namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void Form1::Form_KeyDown(int KeyCode, int Shift) {
  if (sendingkeys == 1) return;
  if (comfortkey(KeyCode)) return;

  if (KeyCode == vk::Tab) {
    speechmode = speechmode + 1 > kJawsMode ? kVoiceMode : speechmode + 1;
    platform_.on_speech_mode(speechmode);
    if (speechmode == kVoiceMode) {
      settitle(programtitle());
      playcue("/sounds/SAPI.wav");
    } else if (speechmode == kNvdaMode) {
      playcue("/sounds/NVDA.wav");
    } else if (speechmode == kWindowEyesMode) {
      playcue("/sounds/WE.wav");
    } else if (jawsstatus == 1) {
      settitle(programtitle());
      playcue("/sounds/JAWS.wav");
    } else {
      speechmode = kVoiceMode;
      platform_.on_speech_mode(speechmode);
      settitle(programtitle());
      sayit("Jaws does not seem to be responding, Sapi on.");
    }
    return;
  }
  if (KeyCode == vk::NumPlus || KeyCode == vk::Plus) {
    if (sapirate < INT_MAX) ++sapirate;
    if (voice) voice->set_rate(sapirate);
    sayit("Sapi rate raised to " + std::to_string(sapirate) + ".");
    saveprogress();
    report_save_failure();
    return;
  }
  if (KeyCode == vk::NumMinus || KeyCode == vk::Minus) {
    if (sapirate > 1) {
      --sapirate;
      if (voice) voice->set_rate(sapirate);
    }
    sayit("Sapi rate lowered to " + std::to_string(sapirate) + ".");
    saveprogress();
    report_save_failure();
    return;
  }
  if (KeyCode == vk::Escape && menu == kGameScreen) {
    openmenu(kGameMenu, kGameScreen);
    sayit("Menu");
    return;
  }
  if (menu != kGameScreen) {
    menustuff(KeyCode);
    return;
  }
  if (KeyCode == vk::Backspace) {
    if (Shift == mask::None)
      sayit("Press Shift + Backspace to undo the last recipe.");
    else
      undo();
    return;
  }
  if (KeyCode == vk::Delete) {
    slot1 = 0;
    slot2 = 0;
    drawitems();
    sayit("Slots cleared");
    return;
  }
  if (KeyCode == vk::Digit1) {
    sayit("You have made " + std::to_string(steps) + " steps so far.");
    return;
  }
  if (KeyCode >= vk::Digit2 && KeyCode <= vk::Digit5) {
    recipelistcommand(KeyCode - vk::Digit1 + 1);
    return;
  }
  if (KeyCode == vk::Enter && Shift == mask::None) {
    // With no entry in use (an empty cheat inventory) there is nothing to put in a slot.
    if (selected < 1 || selected > itemcount) {
      sayit("No item selected");
      return;
    }
    if (slot1 == 0) {
      slot1 = selected;
      sayit(items[selected] + " in slot 1.");
      drawitems();
    } else if (slot2 == 0) {
      if (selected == slot1 && howmany(items[selected]) < 2) return;
      slot2 = selected;
      sayit(items[selected] + " in slot 2.  Press Shift and Enter to combine.");
      drawitems();
    } else {
      sayit(items[slot1] + " and " + items[slot2] +
            " are ready to combine.  Press Shift and Enter when ready.");
      drawitems();
    }
    return;
  }
  if (KeyCode == vk::Enter && Shift == mask::Shift) {
    if (slot1 == 0) {
      sayit("Nothing selected.");
    } else if (slot2 == 0) {
      sayit(items[slot1] + " in slot 1.  Nothing in slot 2.");
    } else {
      combine();
      slot1 = 0;
      slot2 = 0;
      drawitems();
    }
    return;
  }

  const std::string current = selectedname();
  auto announce = [&](int i) { select_and_say(i); };
  if (KeyCode == vk::Up || KeyCode == vk::Left) {
    // Back to the last copy of the previous different name, wrapping around.
    for (int i = std::min(selected - 1, itemcount); i >= 1; --i)
      if (items[i] != current) return announce(i);
    for (int i = itemcount; i >= std::max(selected, 1); --i)
      if (items[i] != current) return announce(i);
  } else if (KeyCode == vk::Down || KeyCode == vk::Right) {
    for (int i = std::max(selected, 1); i <= itemcount; ++i)
      if (items[i] != current) return announce(i);
    for (int i = 1; i <= std::min(selected - 1, itemcount); ++i)
      if (items[i] != current) return announce(i);
  }

  // The letter jump: the key code taken as a character, in upper case.
  const char letter = upper(static_cast<char>(KeyCode));
  auto matches = [&](int i) {
    return !items[i].empty() && upper(items[i][0]) == letter && items[i] != current;
  };
  for (int i = std::max(selected, 1); i <= itemcount; ++i)
    if (matches(i)) return announce(i);
  for (int i = 1; i <= std::min(selected - 1, itemcount); ++i)
    if (matches(i)) return announce(i);
}

void Form1::select_and_say(int entry) {
  selected = entry;
  drawitems();
  sayit(items[entry] + ", you have " + std::to_string(howmany(items[entry])) + ".");
}

void Form1::select_entry(int entry) {
  if (menu != kGameScreen || entry < 1 || entry > itemcount || items[entry].empty()) return;
  select_and_say(entry);
}

}  // namespace quillvane
