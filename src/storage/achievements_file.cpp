// achievements.ini: every item's unlocked value and record at the four
// levels, the discovered flag of each live recipe row, then the checksum.
#include "storage/files.h"

namespace quillvane {

FileSums achievements_sums(const AchievementsRecord& record, std::int64_t r) {
  FileSums sums{r, r};
  for (const AchievementEntry& entry : record.entries) {
    for (int d = 0; d < kSavedLevels; ++d) {
      const std::int64_t unlocked = entry.unlocked[d];
      const std::int64_t best = entry.records[d];
      sums.a += 5 * unlocked + best;
      sums.b += 6 * unlocked + 3 * best;
    }
  }
  const std::int64_t rows = static_cast<std::int64_t>(record.known.size());
  for (std::int64_t j = 1; j <= rows; ++j) {
    sums.a -= 3 * j;
    sums.b -= 4 * j;
  }
  return sums;
}

std::string write_achievements(const AchievementsRecord& record, int r) {
  TextWriter file;
  for (const AchievementEntry& entry : record.entries) {
    for (int d = 0; d < kSavedLevels; ++d) {
      file.number(entry.unlocked[d]);
      file.number(entry.records[d]);
    }
  }
  for (std::int32_t flag : record.known) {
    // A row not yet discovered is an empty line.
    if (flag == 0)
      file.line("");
    else
      file.number(flag);
  }
  const FileSums sums = achievements_sums(record, r);
  file.number(sums.a);
  file.number(sums.b);
  file.number(152 * static_cast<std::int64_t>(r));
  return file.bytes();
}

std::optional<AchievementsRecord> read_achievements(const std::string& bytes, int item_count) {
  TextReader file(bytes);
  const int rows = file.line_count() == kOldAchievementsLines ? kOldRecipeRows : kLiveRecipeRows;
  AchievementsRecord record;
  record.entries.resize(static_cast<std::size_t>(item_count));
  record.known.resize(static_cast<std::size_t>(rows));
  for (AchievementEntry& entry : record.entries) {
    for (int d = 0; d < kSavedLevels; ++d) {
      auto unlocked = file.number(kInt32Min, kInt32Max);
      auto best = file.number(kInt32Min, kInt32Max);
      if (!unlocked || !best) return std::nullopt;
      entry.unlocked[d] = static_cast<std::int32_t>(*unlocked);
      entry.records[d] = static_cast<std::int32_t>(*best);
    }
  }
  for (std::int32_t& flag : record.known) {
    auto text = file.line();
    if (!text) return std::nullopt;
    if (!text->empty()) {
      auto value = parse_number(*text, kInt32Min, kInt32Max);
      if (!value) return std::nullopt;
      flag = static_cast<std::int32_t>(*value);
    }
  }
  auto stored_a = file.number(kInt64Min, kInt64Max);
  auto stored_b = file.number(kInt64Min, kInt64Max);
  auto scaled = file.number(0, kInt64Max);
  if (!stored_a || !stored_b || !scaled) return std::nullopt;
  // The file ends after its last line: anything more is no file the game wrote.
  if (!file.at_end()) return std::nullopt;
  if (achievements_sums(record, *scaled / 152) != FileSums{*stored_a, *stored_b})
    return std::nullopt;
  return record;
}

}  // namespace quillvane
