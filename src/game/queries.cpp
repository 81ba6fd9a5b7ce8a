// The spoken recipe lists: all discovered recipes, those possible now, those
// that use the selected item and those that create it.
#include "game/form1.h"
#include "game/names.h"
#include "lang/format.h"

namespace quillvane {
namespace {

const char* const kMagicLine = N_("Magic combined with anything makes a copy.");

}  // namespace

void Form1::startrecipelist() {
  List2.clear();
  list2rows_.clear();
  if (howmany("Magic") > 0) {
    List2.push_back(tr(kMagicLine));
    list2rows_.push_back(0);
  }
}

void Form1::addrecipeline(int r) {
  List2.push_back(recipeline(r));
  list2rows_.push_back(r);
}

std::string Form1::recipeline(int r) const {
  return lang::format(
      tr(N_("%1$s and %2$s becomes %3$s and %4$s.")),
      {heard(ruleuses1[r]), heard(ruleuses2[r]), heard(rulemakes1[r]), heard(rulemakes2[r])});
}

void Form1::allknown() {
  startrecipelist();
  for (int r = 1; r <= rulecount; ++r)
    if (ruleknown[r] == 1) addrecipeline(r);
}

void Form1::allcando() {
  startrecipelist();
  for (int r = 1; r <= rulecount; ++r) {
    if (ruleknown[r] != 1) continue;
    bool held = ruleuses1[r] == ruleuses2[r]
                    ? howmany(ruleuses1[r]) >= 2
                    : howmany(ruleuses1[r]) > 0 && howmany(ruleuses2[r]) > 0;
    if (held) addrecipeline(r);
  }
}

void Form1::usesselected() {
  startrecipelist();
  const std::string name = selectedname();
  for (int r = 1; r <= rulecount; ++r)
    if (ruleknown[r] == 1 && (ruleuses1[r] == name || ruleuses2[r] == name)) addrecipeline(r);
}

void Form1::makesselected() {
  startrecipelist();
  const std::string name = selectedname();
  // First the rows that create the item without using it, then the rows
  // that use it and give it back.
  for (int pass = 1; pass <= 2; ++pass) {
    for (int r = 1; r <= rulecount; ++r) {
      if (ruleknown[r] != 1) continue;
      bool makes = rulemakes1[r] == name || rulemakes2[r] == name;
      bool uses = ruleuses1[r] == name || ruleuses2[r] == name;
      if (makes && uses == (pass == 2)) addrecipeline(r);
    }
  }
}

void Form1::recipelistcommand(int key) {
  std::string heading;
  const std::string name = selectedname();
  if ((key == 4 || key == 5) && name.empty()) {
    sayit(tr(N_("No item selected")));
    return;
  }
  switch (key) {
    case 2:
      allknown();
      // TRANSLATORS: "recipies" is a typo the game's English keeps in its
      // headings; write your language's word for recipes.
      heading = tr(N_("All known recipies."));
      break;
    case 3:
      allcando();
      if (List2.empty()) return sayit(tr(N_("No known recipes possible at this moment.")));
      heading = tr(N_("Known recipies possible at this moment."));
      break;
    case 4:
      usesselected();
      if (List2.empty())
        return sayit(lang::format(tr(N_("No known recipes that use %1$s.")), {heard(name)}));
      heading = lang::format(tr(N_("Known recipies that use %1$s.")), {heard(name)});
      break;
    case 5:
      makesselected();
      if (List2.empty())
        return sayit(lang::format(tr(N_("No known recipes that create %1$s.")), {heard(name)}));
      heading = lang::format(tr(N_("Known recipies that create %1$s.")), {heard(name)});
      break;
    default:
      return;
  }
  openmenu(kRecipeList, kGameScreen);
  playcue("\\sounds/dink.wav");
  sayit(heading);
}

}  // namespace quillvane
