// The game's saves: the progress and achievements files, the cheat file, the
// legacy report, the log and the settings. The file formats live in storage/;
// here the fields are copied in and out, and a file that cannot be read or
// is damaged ends the game.
#include <string>
#include <vector>

#include "content/content.h"
#include "game/form1.h"
#include "game/names.h"
#include "game/run_game.h"
#include "lang/format.h"
#include "storage/files.h"

namespace quillvane {

static_assert(kSavedLevels == kLevels, "the achievements file keeps every difficulty level");
static_assert(kMostCheatNames == kLastEntry, "cheat names fill the inventory to its last entry");
static_assert(kLiveRecipeRows < kListSize, "every recipe row has an entry");

std::string refused_saved_file(const std::optional<std::string>& progress,
                               const std::optional<std::string>& achievements) {
  if (progress && !read_progress(*progress)) return "progress.ini";
  if (achievements && !read_achievements(*achievements, content::kAchievementItems))
    return "achievements.ini";
  return "";
}

void Form1::saveprogress() {
  int r = checksumrandom();
  if (cheatmode == 0) itemcount = kSavedItems;
  ProgressRecord record;
  for (int i = 1; i <= kSavedItems; ++i) record.items[i - 1] = items[i];
  record.steps = steps;
  record.difficulty = difficulty;
  record.sapirate = sapirate;
  record.speechmode = speechmode;
  if (!platform_.write_file(datapath("progress.ini"), write_progress(record, r)))
    save_failed_ = true;
}

void Form1::loadprogress() {
  const std::string path = datapath("progress.ini");
  if (!platform_.file_exists(path)) {
    steps = 0;
    difficulty = 0;
    startinggear();
    return;
  }
  auto bytes = platform_.read_file(path);
  if (!bytes) unreadablefile();
  // The whole file is read and checked before any of it is used: a damaged
  // file changes nothing, and its message is heard in the speech mode in force.
  auto record = read_progress(*bytes);
  if (!record) damagedfile();

  for (int i = 1; i <= kSavedItems; ++i) items[i] = record->items[i - 1];
  steps = record->steps;
  difficulty = record->difficulty;
  sapirate = record->sapirate;
  if (record->speechmode) setspeechmode(*record->speechmode);
}

void Form1::saveachievements() {
  if (cheatmode == 1) return;
  int r = checksumrandom();
  AchievementsRecord record;
  record.entries.resize(static_cast<std::size_t>(achievementcount));
  for (int i = 1; i <= achievementcount; ++i) {
    for (int d = 0; d < kLevels; ++d) {
      record.entries[i - 1].unlocked[d] = unlocked[d][i];
      record.entries[i - 1].records[d] = records[d][i];
    }
  }
  record.known.assign(ruleknown.begin() + 1, ruleknown.begin() + 1 + rulecount);
  if (!platform_.write_file(datapath("achievements.ini"), write_achievements(record, r)))
    save_failed_ = true;
}

void Form1::loadachievements() {
  buildachievementtables();
  const std::string path = datapath("achievements.ini");
  if (platform_.file_exists(path)) {
    auto bytes = platform_.read_file(path);
    if (!bytes) unreadablefile();
    // Everything is read and checked before any of it is used.
    auto record = read_achievements(*bytes, achievementcount);
    if (!record) damagedfile();
    for (int d = 0; d < kLevels; ++d) {
      for (int i = 1; i <= achievementcount; ++i) {
        unlocked[d][i] = record->entries[i - 1].unlocked[d];
        records[d][i] = record->entries[i - 1].records[d];
      }
    }
    // The older layout lacks the last two rows: they start undiscovered.
    const int rows = static_cast<int>(record->known.size());
    for (int j = 1; j <= kLiveRecipeRows; ++j) ruleknown[j] = j <= rows ? record->known[j - 1] : 0;
  }
  rulecount = kLiveRecipeRows;
  mylegacy();
}

void Form1::cheat() {
  cheatmode = 1;
  preparegame(kEasy);
  drawitems();
  loadprogress();
  openmenu(kGameScreen, menu);
  // A file that vanished or cannot be read gives no custom items.
  itemcount = 0;
  for (std::string& name :
       read_cheat_names(platform_.read_file(datapath("cheat.ini")).value_or("")))
    items[++itemcount] = std::move(name);
  hold(1);
  sayit(lang::format(trn("Cheat mode has loaded in your %1$d custom items.  Have fun!",
                         "Cheat mode has loaded in your %1$d custom items.  Have fun!", itemcount),
                     {std::to_string(itemcount)}));
  hold(1);
}

void Form1::mylegacy() {
  std::vector<std::string> names;
  for (int i = 1; i <= achievementcount; ++i) {
    std::int64_t sum = 0;
    for (int d = 0; d < kLevels; ++d) sum += unlocked[d][i];
    if (sum != 0) names.push_back(achievementitems[i]);
  }
  // Nothing in the game depends on the report: a failed write is ignored.
  platform_.write_file(datapath("mylegacy.txt"), legacy_report(names));
}

void Form1::logit(const std::string& tempm) {
  // The game does not depend on its log: a failed write is ignored.
  platform_.append_file(datapath("log.txt"), log_line(tempm));
}

// settings.ini is read leniently: a missing, unreadable or damaged file
// means the defaults, said nowhere, and never ends the game.
void Form1::loadsettings() {
  SettingsRecord settings;
  if (auto bytes = platform_.read_file(datapath("settings.ini"))) settings = read_settings(*bytes);
  cuevolume = settings.cuevolume;
  braillesetting = settings.braille;
  keptlanguage = settings.language;
}

void Form1::savesettings() {
  // A setting that cannot be kept only lasts this run; the game's saves
  // report their own failures.
  SettingsRecord settings;
  settings.cuevolume = cuevolume;
  settings.braille = braillesetting;
  settings.language = keptlanguage;
  platform_.write_file(datapath("settings.ini"), write_settings(settings));
}

}  // namespace quillvane
