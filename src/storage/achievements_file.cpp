// achievements.ini: every item's unlocked value and record at the four
// levels, the discovered flag of each live recipe row, then the checksum.
#include <memory>

#include "game/form1.h"
#include "storage/textfile.h"

namespace quillvane {
namespace {

constexpr int kLiveRows = 289;
constexpr int kOldLiveRows = 287;
// The older layout holds two recipe lines fewer.
constexpr std::size_t kOldLayoutLines = 2234;

}  // namespace

void Form1::saveachievements() {
  if (cheatmode == 1) return;
  int r = checksumrandom();
  std::int64_t a = r, b = r;
  TextWriter file;
  for (int i = 1; i <= achievementcount; ++i) {
    for (int d = 0; d < kLevels; ++d) {
      file.number(unlocked[d][i]);
      a += 5 * static_cast<std::int64_t>(unlocked[d][i]);
      b += 6 * static_cast<std::int64_t>(unlocked[d][i]);
      file.number(records[d][i]);
      a += records[d][i];
      b += 3 * static_cast<std::int64_t>(records[d][i]);
    }
  }
  for (int j = 1; j <= rulecount; ++j) {
    // A row not yet discovered is an empty line.
    if (ruleknown[j] == 0)
      file.line("");
    else
      file.number(ruleknown[j]);
    a -= 3 * j;
    b -= 4 * j;
  }
  file.number(a);
  file.number(b);
  file.number(152 * r);
  if (!platform_.write_file(datapath("achievements.ini"), file.bytes())) save_failed_ = true;
}

void Form1::loadachievements() {
  buildachievementtables();
  const std::string path = datapath("achievements.ini");
  if (platform_.file_exists(path)) {
    auto bytes = platform_.read_file(path);
    if (!bytes) unreadablefile();
    TextReader file(*bytes);
    const int rows = file.line_count() == kOldLayoutLines ? kOldLiveRows : kLiveRows;

    // Everything is read and checked before any of it is used.
    auto levels = std::make_unique<LevelTable[]>(2);
    LevelTable& read_unlocked = levels[0];
    LevelTable& read_records = levels[1];
    std::array<std::int32_t, kLiveRows + 1> read_known{};
    std::int64_t a = 0, b = 0;
    for (int i = 1; i <= achievementcount; ++i) {
      for (int d = 0; d < kLevels; ++d) {
        auto u = file.number(kInt32Min, kInt32Max);
        auto rec = file.number(kInt32Min, kInt32Max);
        if (!u || !rec) damagedfile();
        read_unlocked[d][i] = static_cast<std::int32_t>(*u);
        read_records[d][i] = static_cast<std::int32_t>(*rec);
        a += 5 * *u + *rec;
        b += 6 * *u + 3 * *rec;
      }
    }
    for (int j = 1; j <= rows; ++j) {
      auto text = file.line();
      if (!text) damagedfile();
      if (!text->empty()) {
        auto flag = parse_number(*text, kInt32Min, kInt32Max);
        if (!flag) damagedfile();
        read_known[j] = static_cast<std::int32_t>(*flag);
      }
      a -= 3 * j;
      b -= 4 * j;
    }
    auto stored_a = file.number(kInt64Min, kInt64Max);
    auto stored_b = file.number(kInt64Min, kInt64Max);
    auto scaled = file.number(0, kInt64Max);
    if (!stored_a || !stored_b || !scaled) damagedfile();
    std::int64_t r = *scaled / 152;
    a += r;
    b += r;
    if (a != *stored_a || b != *stored_b) damagedfile();

    for (int d = 0; d < kLevels; ++d) {
      for (int i = 1; i <= achievementcount; ++i) {
        unlocked[d][i] = read_unlocked[d][i];
        records[d][i] = read_records[d][i];
      }
    }
    // The older layout lacks the last two rows: they start undiscovered.
    for (int j = 1; j <= kLiveRows; ++j) ruleknown[j] = j <= rows ? read_known[j] : 0;
  }
  rulecount = kLiveRows;
  mylegacy();
}

}  // namespace quillvane
