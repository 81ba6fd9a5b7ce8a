// Combining two items: a Magic copy, a recipe, or nothing; and its undo.
#include <algorithm>
#include <climits>
#include <string>

#include "game/form1.h"
#include "game/names.h"
#include "lang/format.h"

namespace quillvane {

bool Form1::takepair(const std::string& first, const std::string& second) {
  // Copies of a name are interchangeable: the first ones are taken.
  int a = 0, b = 0;
  for (int i = 1; i <= itemcount && a == 0; ++i)
    if (items[i] == first) a = i;
  for (int i = 1; i <= itemcount && b == 0; ++i)
    if (i != a && items[i] == second) b = i;
  if (a == 0 || b == 0) return false;
  // The higher position first, so that the other one stays valid.
  deleteitem(std::max(a, b));
  deleteitem(std::min(a, b));
  return true;
}

void Form1::combine() {
  // The count stops at its largest value rather than wrapping round.
  if (steps < INT_MAX) ++steps;
  const std::string n1 = items[slot1];
  const std::string n2 = items[slot2];

  if (n1 == "Magic" || n2 == "Magic") {
    // Magic takes on the other item's name: a copy of it.
    if (items[slot1] == "Magic") items[slot1] = items[slot2];
    if (items[slot2] == "Magic") items[slot2] = items[slot1];
    playcue("/sounds/magic.wav");
    hold(0.5);
    // Said in the player's language; the log keeps the game's English.
    const char* magic =
        "You have used magic to create a new %1$s.  You have made %2$d total moves.";
    const std::string count = std::to_string(steps);
    sayit(lang::format(trn("You have used magic to create a new %1$s.  You have made %2$d total "
                           "moves.",
                           "You have used magic to create a new %1$s.  You have made %2$d total "
                           "moves.",
                           steps),
                       {heard(items[slot1]), count}));
    logit(lang::format(magic, {items[slot1], count}));
    undomade1 = items[slot1];
    undomade2 = items[slot1];
    undoused1 = items[slot1];
    undoused2 = "Magic";
    sortitems();
    slot1 = 0;
    slot2 = 0;
    drawitems();
    return;
  }

  int r = 0;
  for (int row = 1; row <= rulecount; ++row) {
    if ((ruleuses1[row] == n1 && ruleuses2[row] == n2) ||
        (ruleuses1[row] == n2 && ruleuses2[row] == n1)) {
      r = row;
      break;
    }
  }
  // No recipe for the pair, or (the slots naming items the inventory no
  // longer holds) nothing to take out: nothing is made.
  if (r == 0 || !takepair(ruleuses1[r], ruleuses2[r])) {
    playcue("/sounds/fail.wav");
    hold(0.5);
    sayit(tr(N_("Nothing could be created.")));
    return;
  }
  newitem(rulemakes1[r]);
  newitem(rulemakes2[r]);

  logit("You have combined " + ruleuses1[r] + " and " + ruleuses2[r] + ", to make " +
        rulemakes1[r] + " and " + rulemakes2[r] + ".  You have made " + std::to_string(steps) +
        " total moves.");
  undomade1 = rulemakes1[r];
  undomade2 = rulemakes2[r];
  undoused1 = ruleuses1[r];
  undoused2 = ruleuses2[r];
  playcue("/sounds/success.wav");
  hold(0.5);
  sayit(
      lang::format(tr(N_("%1$s and %2$s created.")), {heard(rulemakes1[r]), heard(rulemakes2[r])}));
  hold(2);

  for (const std::string& p : {rulemakes1[r], rulemakes2[r]}) {
    int result = isthisnew(p);
    if (result == kFirstMade) {
      playcue("/sounds/achievement.wav");
      hold(0.5);
      undomade1 = "";
      constexpr const char* kDiscovered =
          N_("You have discovered %1$s, which is part of the %2$s!");
      const std::string collection = partof(p);
      sayit(lang::format(tr(kDiscovered), {heard(p), heardcollection(collection)}));
      logit(lang::format(kDiscovered, {p, collection}));
      mylegacy();
      hold(2);
    } else if (result == kNewRecord) {
      playcue("/sounds/record.wav");
      hold(0.5);
      const char* record = "New record!  You've created %1$s in %2$d steps.";
      const std::string count = std::to_string(steps);
      sayit(lang::format(trn("New record!  You've created %1$s in %2$d steps.",
                             "New record!  You've created %1$s in %2$d steps.", steps),
                         {heard(p), count}));
      logit(lang::format(record, {p, count}));
      hold(3);
    }
  }

  if (ruleknown[r] == 0) {
    playcue("/sounds/rule.wav");
    hold(0.5);
    ruleknown[r] = 1;
    undomade1 = "";
    constexpr const char* kDiscovery =
        N_("New discovery!  Combining %1$s and %2$s creates %3$s and %4$s.");
    sayit(lang::format(tr(kDiscovery), {heard(ruleuses1[r]), heard(ruleuses2[r]),
                                        heard(rulemakes1[r]), heard(rulemakes2[r])}));
    logit(lang::format(kDiscovery, {ruleuses1[r], ruleuses2[r], rulemakes1[r], rulemakes2[r]}));
  }

  sortitems();
  drawitems();
  saveprogress();
  saveachievements();
  report_save_failure();
}

void Form1::undo() {
  // An emptied record means there is nothing to undo, even if some entry
  // of the inventory happens to be empty too.
  if (undomade1.empty()) return;
  if (!takepair(undomade1, undomade2)) return;
  undomade1 = "";
  newitem(undoused1);
  newitem(undoused2);
  // The entries have moved: the slots no longer name what the player put
  // there, so they are emptied rather than left to combine other items.
  slot1 = 0;
  slot2 = 0;
  sayit(tr(N_("Recipe reversed.")));
  drawitems();
}

}  // namespace quillvane
