// The game's files as plain functions: each builds a file's bytes from a
// record, or reads a record back from a source of bytes (a file being read,
// or bytes in memory), and nothing else. They know nothing of the game or
// the platform: the game copies its fields in and out, opens and writes the
// files, and decides what a damaged file means. A reader takes the lines it
// uses, one at a time, and reads nothing after them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/textfile.h"

namespace quillvane {

// The item lines of progress.ini: the first 36 inventory entries, whatever
// the inventory's count.
inline constexpr int kSavedItems = 36;
// The recipe rows whose discovered flags achievements.ini keeps.
inline constexpr int kLiveRecipeRows = 289;
// The older achievements.ini held two recipe rows fewer, 2,234 lines in all.
inline constexpr int kOldRecipeRows = 287;
inline constexpr std::size_t kOldAchievementsLines = 2234;
// The difficulty levels, 0 insane to 3 easy: each achievement has a value
// and a record per level.
inline constexpr int kSavedLevels = 4;
// The most names cheat.ini can give: the inventory ends at entry 9999.
inline constexpr int kMostCheatNames = 9999;

// The two checksum lines of the progress and achievements files.
struct FileSums {
  std::int64_t a = 0;
  std::int64_t b = 0;
  bool operator==(const FileSums&) const = default;
};

// progress.ini: the item lines, steps, difficulty, the checksum, then the
// speech rate and the speech mode (outside the checksum).
struct ProgressRecord {
  std::array<std::string, kSavedItems> items;  // line i + 1 holds items[i]
  std::int32_t steps = 0;
  std::int32_t difficulty = 0;  // 0 to 3
  std::int32_t sapirate = 0;
  // Absent when the file has no speech mode line, or an empty one.
  std::optional<std::int32_t> speechmode;
};

// The sums progress.ini stores for this record and random number r.
FileSums progress_sums(const ProgressRecord& record, std::int64_t r);
// The whole file, its checksum made with the random number r (10 to 99). A
// record without a speech mode is written with mode 0.
std::string write_progress(const ProgressRecord& record, int r);
// The record lines 1 to 43 hold; nullopt for a damaged file: a missing
// line, a line longer than kLongestLine, a non-number where a number belongs
// (line 43 may be absent, empty or spaces: no speech mode), a number outside
// the range its field holds (a difficulty outside 0 to 3), or sums that do
// not match. Nothing after line 43 is read.
std::optional<ProgressRecord> read_progress(ByteSource& bytes);
std::optional<ProgressRecord> read_progress(std::string_view bytes);

// One achievement item's unlocked value and record at each level.
struct AchievementEntry {
  std::array<std::int32_t, kSavedLevels> unlocked{};
  std::array<std::int32_t, kSavedLevels> records{};
};

// achievements.ini: every item's values at the four levels, each recipe
// row's discovered flag (0, undiscovered, is an empty line), the checksum.
struct AchievementsRecord {
  std::vector<AchievementEntry> entries;  // the achievement items in order
  std::vector<std::int32_t> known;        // row j + 1 is known[j]
};

FileSums achievements_sums(const AchievementsRecord& record, std::int64_t r);
// The whole file: one line pair per entry and level, one line per row of
// known, the checksum made with r.
std::string write_achievements(const AchievementsRecord& record, int r);
// The record of a file with item_count items: kLiveRecipeRows rows, or
// kOldRecipeRows for a file of exactly the older layout's length (nothing
// after that many lines). A recipe line empty or of spaces is a row not
// discovered. nullopt for a damaged file, as for progress.ini. Nothing after
// the last line of the layout is read.
std::optional<AchievementsRecord> read_achievements(ByteSource& bytes, int item_count);
std::optional<AchievementsRecord> read_achievements(std::string_view bytes, int item_count);

// cheat.ini: its names in order, empty lines skipped, at most kMostCheatNames.
// A line longer than kLongestLine is no name the game could hold: it is
// passed over, never kept, like an empty line.
std::vector<std::string> read_cheat_names(ByteSource& bytes);
std::vector<std::string> read_cheat_names(std::string_view bytes);

// mylegacy.txt: one line per name.
std::string legacy_report(const std::vector<std::string>& names);

// One line of log.txt, with its line end.
std::string log_line(std::string_view text);

// settings.ini: line 1 the cue volume in percent (0 to 100 in steps of 25),
// line 2 the braille setting (a number), line 3 the language kept (a code
// such as "es"). Read leniently: a missing or damaged line (an over-long one
// too) means its default, and a file of line 1 alone is whole. Nothing after
// line 3 is read.
struct SettingsRecord {
  int cuevolume = 100;
  int braille = 0;
  std::string language;  // "": none kept; the environment decides
  bool operator==(const SettingsRecord&) const = default;
};
// The file's lines; a line beyond the first is written only when it or a
// line after it differs from its default, so the defaults give one line.
std::string write_settings(const SettingsRecord& settings);
SettingsRecord read_settings(ByteSource& bytes);
SettingsRecord read_settings(std::string_view bytes);

}  // namespace quillvane
