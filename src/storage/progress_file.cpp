// progress.ini: the 36 inventory lines, steps, difficulty, the checksum,
// then the speech rate and the speech mode (outside the checksum).
#include <array>
#include <string>

#include "game/form1.h"
#include "storage/textfile.h"

namespace quillvane {
namespace {

constexpr int kSavedItems = 36;

}  // namespace

void Form1::saveprogress() {
  int r = checksumrandom();
  if (cheatmode == 0) itemcount = 36;
  std::int64_t a = r, b = r;
  TextWriter file;
  for (int i = 1; i <= kSavedItems; ++i) {
    file.line(items[i]);
    std::int64_t code = getcode(items[i]);
    a += code;
    b += code - i;
  }
  file.number(steps);
  a += 3 * static_cast<std::int64_t>(steps);
  b += 5 * static_cast<std::int64_t>(steps);
  file.number(difficulty);
  a += 8 * difficulty;
  b += 9 * difficulty;
  file.number(a);
  file.number(b);
  file.number(152 * r);
  file.number(sapirate);
  file.number(speechmode);
  if (!platform_.write_file(datapath("progress.ini"), file.bytes())) save_failed_ = true;
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
  TextReader file(*bytes);

  // Everything is read and checked before any of it is used: a damaged
  // file changes nothing, and its message is heard in the speech mode in force.
  std::array<std::string, kSavedItems + 1> names;
  std::int64_t a = 0, b = 0;
  for (int i = 1; i <= kSavedItems; ++i) {
    auto name = file.line();
    if (!name) damagedfile();
    names[i] = std::move(*name);
    std::int64_t code = getcode(names[i]);
    a += code;
    b += code - i;
  }
  auto saved_steps = file.number(kInt32Min, kInt32Max);
  // Only a difficulty of 0 to 3 can index the achievement tables.
  auto saved_difficulty = file.number(kInt32Min, kInt32Max);
  auto stored_a = file.number(kInt64Min, kInt64Max);
  auto stored_b = file.number(kInt64Min, kInt64Max);
  auto scaled = file.number(0, kInt64Max);
  auto saved_rate = file.number(kInt32Min, kInt32Max);
  if (!saved_steps || !saved_difficulty || !stored_a || !stored_b || !scaled || !saved_rate)
    damagedfile();
  a += 3 * *saved_steps + 8 * *saved_difficulty;
  b += 5 * *saved_steps + 9 * *saved_difficulty;
  std::int64_t r = *scaled / 152;
  a += r;
  b += r;
  if (a != *stored_a || b != *stored_b) damagedfile();
  if (*saved_difficulty < 0 || *saved_difficulty > 3) damagedfile();

  std::optional<std::int64_t> saved_mode;
  if (auto line = file.line(); line && !line->empty()) {
    saved_mode = parse_number(*line, kInt32Min, kInt32Max);
    if (!saved_mode) damagedfile();
  }

  for (int i = 1; i <= kSavedItems; ++i) items[i] = names[i];
  steps = static_cast<int>(*saved_steps);
  difficulty = static_cast<int>(*saved_difficulty);
  sapirate = static_cast<int>(*saved_rate);
  if (saved_mode) {
    // A mode no output exists for would leave the player in silence.
    speechmode = (*saved_mode >= 0 && *saved_mode <= 3) ? static_cast<int>(*saved_mode) : 0;
  }
  // A saved JAWS mode with no JAWS object would leave the player in silence:
  // fall back to the voice exactly as the Tab key does.
  if (speechmode == 3 && jawsstatus == 0) {
    speechmode = 0;
    settitle(programtitle());
    sayit("Jaws does not seem to be responding, Sapi on.");
  }
}

}  // namespace quillvane
