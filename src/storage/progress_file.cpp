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

std::optional<ProgressRecord> read_progress(ByteSource& bytes) {
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

  // Line 43, the speech mode, is optional: absent, empty or spaces mean none;
  // anything else must be a number. Nothing after it is read.
  auto line = file.line();
  if (!line) return file.too_long() ? std::nullopt : std::optional(record);
  if (!is_blank(*line)) {
    auto mode = parse_number(*line, kInt32Min, kInt32Max);
    if (!mode) return std::nullopt;
    record.speechmode = static_cast<std::int32_t>(*mode);
  }
  return record;
}

std::optional<ProgressRecord> read_progress(std::string_view bytes) {
  StringSource source(bytes);
  return read_progress(source);
}

}  // namespace quillvane
