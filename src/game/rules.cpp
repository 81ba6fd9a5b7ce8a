// The recipe book: four columns of names and the discovered flags.
#include "content/content.h"
#include "game/form1.h"

namespace quillvane {

void Form1::newrule(const std::string& tempm, const std::string& tempm2, const std::string& tempm3,
                    const std::string& tempm4) {
  if (rulecount >= kLastEntry) return;
  ++rulecount;
  int r = rulecount;
  // Each pair is stored in ordinal order; every message names it that way.
  if (tempm <= tempm2) {
    ruleuses1[r] = tempm;
    ruleuses2[r] = tempm2;
  } else {
    ruleuses1[r] = tempm2;
    ruleuses2[r] = tempm;
  }
  if (tempm3 <= tempm4) {
    rulemakes1[r] = tempm3;
    rulemakes2[r] = tempm4;
  } else {
    rulemakes1[r] = tempm4;
    rulemakes2[r] = tempm3;
  }
}

void Form1::loadrules() {
  // The discovered flags belong to the player and survive the rebuild.
  rulecount = 0;
  for (const auto& row : content::kRecipes) newrule(row.uses1, row.uses2, row.makes1, row.makes2);
}

int Form1::rulesdiscovered() const {
  int count = 0;
  for (int r = 1; r <= rulecount; ++r)
    if (ruleknown[r] > 0) ++count;
  return count;
}

}  // namespace quillvane
