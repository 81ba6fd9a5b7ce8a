// The key dispatcher: every key-down of the window arrives here and goes
// down a chain of small handlers, each of which takes its keys and passes
// the rest on.
#include <algorithm>
#include <climits>
#include <string>

#include "game/form1.h"
#include "game/names.h"
#include "lang/collate.h"
#include "lang/format.h"

namespace quillvane {
namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The cue of each speech output that Tab reaches, in mode order.
const char* const kSpeechModeCues[] = {"/sounds/SAPI.wav", "/sounds/NVDA.wav", "/sounds/WE.wav",
                                       "/sounds/JAWS.wav"};

}  // namespace

void Form1::Form_KeyDown(int KeyCode, int Shift, char32_t typed) {
  if (sendingkeys == 1) return;
  // Everywhere: the comforts, the speech output, the rate; then the menus.
  if (comfortkey(KeyCode) || speech_output_key(KeyCode) || rate_key(KeyCode) || menu_key(KeyCode))
    return;
  // The game screen.
  if (slot_key(KeyCode, Shift) || list_key(KeyCode) || arrow_key(KeyCode)) return;
  letter_jump(KeyCode, typed);
}

bool Form1::speech_output_key(int keycode) {
  if (keycode != vk::Tab) return false;
  const int next = speechmode + 1 > kJawsMode ? kVoiceMode : speechmode + 1;
  setspeechmode(next);
  // A mode the game fell back from has said so instead of its cue.
  if (speechmode == next) playcue(kSpeechModeCues[speechmode]);
  return true;
}

bool Form1::rate_key(int keycode) {
  const bool raise = keycode == vk::NumPlus || keycode == vk::Plus;
  const bool lower = keycode == vk::NumMinus || keycode == vk::Minus;
  if (!raise && !lower) return false;
  // The rate stops at its largest value, and never goes below 1.
  const int before = sapirate;
  if (raise && sapirate < INT_MAX) ++sapirate;
  if (lower && sapirate > 1) --sapirate;
  if (voice && sapirate != before) voice->set_rate(sapirate);
  sayit(lang::format(
      raise ? tr(N_("Sapi rate raised to %1$d.")) : tr(N_("Sapi rate lowered to %1$d.")),
      {std::to_string(sapirate)}));
  saveprogress();
  report_save_failure();
  return true;
}

bool Form1::menu_key(int keycode) {
  if (keycode == vk::Escape && menu == kGameScreen) {
    openmenu(kGameMenu, kGameScreen);
    sayit(tr(N_("Menu")));
    return true;
  }
  if (menu == kGameScreen) return false;
  menustuff(keycode);
  return true;
}

bool Form1::slot_key(int keycode, int shift) {
  if (keycode == vk::Backspace) {
    if (shift != mask::None) {
      undo();
    } else {
      platform_.on_prompt(Prompt::kUndo);
      sayit(tr(N_("Press Shift + Backspace to undo the last recipe.")));
    }
    return true;
  }
  if (keycode == vk::Delete) {
    slot1 = 0;
    slot2 = 0;
    drawitems();
    sayit(tr(N_("Slots cleared")));
    return true;
  }
  if (keycode != vk::Enter) return false;
  if (shift == mask::None) {
    fill_slot();
    return true;
  }
  if (shift == mask::Shift) {
    combine_slots();
    return true;
  }
  return false;  // Enter with Ctrl or Alt goes on as any other key
}

void Form1::fill_slot() {
  // With no entry in use (an empty cheat inventory) there is nothing to put in a slot.
  if (selected < 1 || selected > itemcount) return sayit(tr(N_("No item selected")));
  if (slot1 == 0) {
    slot1 = selected;
    sayit(lang::format(tr(N_("%1$s in slot 1.")), {heard(items[selected])}));
  } else if (slot2 == 0) {
    if (selected == slot1 && howmany(items[selected]) < 2) return;
    slot2 = selected;
    sayit(lang::format(tr(N_("%1$s in slot 2.  Press Shift and Enter to combine.")),
                       {heard(items[selected])}));
  } else {
    platform_.on_prompt(Prompt::kCombine);
    sayit(lang::format(
        tr(N_("%1$s and %2$s are ready to combine.  Press Shift and Enter when ready.")),
        {heard(items[slot1]), heard(items[slot2])}));
  }
  drawitems();
}

void Form1::combine_slots() {
  if (slot1 == 0) return sayit(tr(N_("Nothing selected.")));
  if (slot2 == 0)
    return sayit(
        lang::format(tr(N_("%1$s in slot 1.  Nothing in slot 2.")), {heard(items[slot1])}));
  combine();
  slot1 = 0;
  slot2 = 0;
  drawitems();
}

bool Form1::list_key(int keycode) {
  if (keycode == vk::Digit1) {
    sayit(lang::format(
        trn("You have made %1$d steps so far.", "You have made %1$d steps so far.", steps),
        {std::to_string(steps)}));
    return true;
  }
  if (keycode < vk::Digit2 || keycode > vk::Digit5) return false;
  recipelistcommand(keycode - vk::Digit1 + 1);
  return true;
}

bool Form1::arrow_key(int keycode) {
  const bool back = keycode == vk::Up || keycode == vk::Left;
  const bool forward = keycode == vk::Down || keycode == vk::Right;
  if (!back && !forward) return false;
  const std::string current = selectedname();
  if (back) {
    // Back to the last copy of the previous different name, wrapping around.
    for (int i = std::min(selected - 1, itemcount); i >= 1; --i)
      if (items[i] != current) return select_and_say(i), true;
    for (int i = itemcount; i >= std::max(selected, 1); --i)
      if (items[i] != current) return select_and_say(i), true;
  } else {
    for (int i = std::max(selected, 1); i <= itemcount; ++i)
      if (items[i] != current) return select_and_say(i), true;
    for (int i = 1; i <= std::min(selected - 1, itemcount); ++i)
      if (items[i] != current) return select_and_say(i), true;
  }
  return true;
}

void Form1::letter_jump(int keycode, char32_t typed) {
  // The key code taken as a character, in upper case: the next entry after
  // the selection whose name starts with it, wrapping around.
  const std::string current = selectedname();
  const char letter = upper(static_cast<char>(keycode));
  // In another language the key is the letter typed (or, for a key that
  // types none, the key code's letter), and a name is reached by the first
  // letter the player hears, case- and accent-blind for the language.
  const std::string& code = language().code();
  char32_t weight = 0;
  if (!language().english()) {
    if (typed != 0)
      weight = lang::letter_weight(typed, code);
    else if (keycode > 32 && keycode < 127)
      weight = lang::letter_weight(static_cast<char32_t>(keycode), code);
    if (weight == 0) return;
  }
  auto matches = [&](int i) {
    if (items[i].empty() || items[i] == current) return false;
    if (weight != 0) return lang::first_letter(heard(items[i]), code) == weight;
    return upper(items[i][0]) == letter;
  };
  for (int i = std::max(selected, 1); i <= itemcount; ++i)
    if (matches(i)) return select_and_say(i);
  for (int i = 1; i <= std::min(selected - 1, itemcount); ++i)
    if (matches(i)) return select_and_say(i);
}

void Form1::select_and_say(int entry) {
  selected = entry;
  drawitems();
  sayit(lang::format(tr(N_("%1$s, you have %2$d.")),
                     {heard(items[entry]), std::to_string(howmany(items[entry]))}));
}

void Form1::select_entry(int entry) {
  if (menu != kGameScreen || entry < 1 || entry > itemcount || items[entry].empty()) return;
  select_and_say(entry);
}

}  // namespace quillvane
