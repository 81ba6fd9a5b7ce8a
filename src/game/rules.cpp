// The recipe book: four columns of names and the discovered flags.
#include <utility>

#include "content/content.h"
#include "game/form1.h"

namespace quillvane {

void Form1::newrule(const std::string& tempm, const std::string& tempm2, const std::string& tempm3,
                    const std::string& tempm4) {
  if (rulecount >= kLastEntry) return;
  ++rulecount;
  int r = rulecount;
  // Each pair is stored in ordinal order; every message names it that way.
  auto store = [](const std::string& a, const std::string& b, std::string& first,
                  std::string& second) {
    const bool in_order = a <= b;
    std::string low = in_order ? a : b, high = in_order ? b : a;
    first = std::move(low);
    second = std::move(high);
  };
  store(tempm, tempm2, ruleuses1[r], ruleuses2[r]);
  store(tempm3, tempm4, rulemakes1[r], rulemakes2[r]);
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
