// The game's saves: the progress and achievements files, the cheat file, the
// legacy report, the log and the settings. The file formats live in storage/;
// here the fields are copied in and out, and a file that cannot be read or
// is damaged ends the game.
#include <memory>
#include <string>
#include <utility>
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
static_assert(content::kAchievementItems * 2 * kLevels + kOldRecipeRows + 3 ==
                  static_cast<int>(kOldAchievementsLines),
              "the older achievements layout is known by its length");

namespace {

// A file the platform opened, handed to the readers of storage/ a piece at a
// time. A read that fails ends the bytes and is remembered: such a file
// could not be read, which is not a damaged file.
class FileBytes : public ByteSource {
 public:
  explicit FileBytes(InputFile& file) : file_(file) {}
  std::size_t read(char* buffer, std::size_t size) override {
    if (failed_) return 0;
    const auto count = file_.read(buffer, size);
    failed_ = !count;
    return count.value_or(0);
  }
  bool failed() const { return failed_; }

 private:
  InputFile& file_;
  bool failed_ = false;
};

// What a reader of storage/ made of a file, and whether the file could be
// read at all (a file that could not be opened could not).
template <typename Record>
struct SavedFile {
  bool readable = false;
  Record record{};
};

// Reads file (nullptr: it could not be opened) with read, and closes it.
template <typename Read>
auto read_saved(std::unique_ptr<InputFile> file, Read read)
    -> SavedFile<decltype(read(std::declval<ByteSource&>()))> {
  if (!file) return {};
  FileBytes bytes(*file);
  auto record = read(bytes);
  return {!bytes.failed(), std::move(record)};
}

auto progress_reader() {
  return [](ByteSource& bytes) { return read_progress(bytes); };
}

auto achievements_reader(int item_count) {
  return [item_count](ByteSource& bytes) { return read_achievements(bytes, item_count); };
}

}  // namespace

std::string refused_saved_file(std::unique_ptr<InputFile> progress,
                               std::unique_ptr<InputFile> achievements) {
  if (progress) {
    auto [readable, record] = read_saved(std::move(progress), progress_reader());
    if (!readable || !record) return "progress.ini";
  }
  if (achievements) {
    auto [readable, record] =
        read_saved(std::move(achievements), achievements_reader(content::kAchievementItems));
    if (!readable || !record) return "achievements.ini";
  }
  return "";
}

SettingsRecord saved_settings(std::unique_ptr<InputFile> file) {
  auto [readable, settings] =
      read_saved(std::move(file), [](ByteSource& bytes) { return read_settings(bytes); });
  return readable ? settings : SettingsRecord{};
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
  // The lines the game uses are read and checked before any of them is used:
  // a damaged file changes nothing, and its message is heard in the speech
  // mode in force.
  auto [readable, record] = read_saved(platform_.open_file(path), progress_reader());
  if (!readable) unreadablefile();
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
    // Everything is read and checked before any of it is used.
    auto [readable, record] =
        read_saved(platform_.open_file(path), achievements_reader(achievementcount));
    if (!readable) unreadablefile();
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
  auto [readable, names] = read_saved(platform_.open_file(datapath("cheat.ini")),
                                      [](ByteSource& bytes) { return read_cheat_names(bytes); });
  if (readable)
    for (std::string& name : names) items[++itemcount] = std::move(name);
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
  const SettingsRecord settings = saved_settings(platform_.open_file(datapath("settings.ini")));
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
