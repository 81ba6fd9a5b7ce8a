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

std::optional<AchievementsRecord> read_achievements(ByteSource& bytes, int item_count) {
  TextReader file(bytes);
  AchievementsRecord record;
  record.entries.resize(static_cast<std::size_t>(item_count));
  for (AchievementEntry& entry : record.entries) {
    for (int d = 0; d < kSavedLevels; ++d) {
      auto unlocked = file.number(kInt32Min, kInt32Max);
      auto best = file.number(kInt32Min, kInt32Max);
      if (!unlocked || !best) return std::nullopt;
      entry.unlocked[d] = static_cast<std::int32_t>(*unlocked);
      entry.records[d] = static_cast<std::int32_t>(*best);
    }
  }
  // The recipe lines and the three checksum lines. The layout is known by the
  // file's length alone: a file that ends right after the older layout's
  // lines has that layout, any other the live one, whose two further lines
  // are the last ones read.
  constexpr int kChecksumLines = 3;
  std::vector<std::string> tail;
  while (tail.size() < static_cast<std::size_t>(kLiveRecipeRows + kChecksumLines)) {
    if (tail.size() == static_cast<std::size_t>(kOldRecipeRows + kChecksumLines) && file.at_end())
      break;
    auto line = file.line();
    if (!line) return std::nullopt;
    tail.push_back(std::move(*line));
  }
  const std::size_t rows = tail.size() - kChecksumLines;
  record.known.resize(rows);
  for (std::size_t j = 0; j < rows; ++j) {
    // A row not discovered is an empty line, or one of spaces.
    if (is_blank(tail[j])) continue;
    auto value = parse_number(tail[j], kInt32Min, kInt32Max);
    if (!value) return std::nullopt;
    record.known[j] = static_cast<std::int32_t>(*value);
  }
  auto stored_a = parse_number(tail[rows], kInt64Min, kInt64Max);
  auto stored_b = parse_number(tail[rows + 1], kInt64Min, kInt64Max);
  auto scaled = parse_number(tail[rows + 2], 0, kInt64Max);
  if (!stored_a || !stored_b || !scaled) return std::nullopt;
  if (achievements_sums(record, *scaled / 152) != FileSums{*stored_a, *stored_b})
    return std::nullopt;
  return record;
}

std::optional<AchievementsRecord> read_achievements(std::string_view bytes, int item_count) {
  StringSource source(bytes);
  return read_achievements(source, item_count);
}

}  // namespace quillvane
