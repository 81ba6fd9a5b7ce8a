// progress.ini: the 36 inventory lines, steps, difficulty, the checksum,
// then the speech rate and the speech mode (outside the checksum).
#include "storage/files.h"

namespace quillvane {

FileSums progress_sums(const ProgressRecord& record, std::int64_t r) {
  FileSums sums{r, r};
  for (int i = 1; i <= kSavedItems; ++i) {
    std::int64_t code = getcode(record.items[i - 1]);
    sums.a += code;
    sums.b += code - i;
  }
  sums.a += 3 * static_cast<std::int64_t>(record.steps) + 8 * record.difficulty;
  sums.b += 5 * static_cast<std::int64_t>(record.steps) + 9 * record.difficulty;
  return sums;
}

std::string write_progress(const ProgressRecord& record, int r) {
  TextWriter file;
  for (const std::string& name : record.items) file.line(name);
  file.number(record.steps);
  file.number(record.difficulty);
  const FileSums sums = progress_sums(record, r);
  file.number(sums.a);
  file.number(sums.b);
  file.number(152 * static_cast<std::int64_t>(r));
  file.number(record.sapirate);
  file.number(record.speechmode.value_or(0));
  return file.bytes();
}

std::optional<ProgressRecord> read_progress(const std::string& bytes) {
  TextReader file(bytes);
  ProgressRecord record;
  for (std::string& name : record.items) {
    auto line = file.line();
    if (!line) return std::nullopt;
    name = std::move(*line);
  }
  auto steps = file.number(kInt32Min, kInt32Max);
  // Only a difficulty of 0 to 3 can index the achievement tables.
  auto difficulty = file.number(0, 3);
  auto stored_a = file.number(kInt64Min, kInt64Max);
  auto stored_b = file.number(kInt64Min, kInt64Max);
  auto scaled = file.number(0, kInt64Max);
  auto rate = file.number(kInt32Min, kInt32Max);
  if (!steps || !difficulty || !stored_a || !stored_b || !scaled || !rate) return std::nullopt;
  record.steps = static_cast<std::int32_t>(*steps);
  record.difficulty = static_cast<std::int32_t>(*difficulty);
  record.sapirate = static_cast<std::int32_t>(*rate);
  if (progress_sums(record, *scaled / 152) != FileSums{*stored_a, *stored_b}) return std::nullopt;

  // The speech mode line is optional; when it is there it must be a number.
  if (auto line = file.line(); line && !line->empty()) {
    auto mode = parse_number(*line, kInt32Min, kInt32Max);
    if (!mode) return std::nullopt;
    record.speechmode = static_cast<std::int32_t>(*mode);
  }
  // The file ends after its last line: anything more is no file the game wrote.
  if (!file.at_end()) return std::nullopt;
  return record;
}

}  // namespace quillvane
