// The saved files: text format, checksums, round trips, damaged files,
// old layouts and saves that cannot be written.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "game_fixture.h"
#include "storage/files.h"
#include "storage/textfile.h"

namespace quillvane::testing {
namespace {

namespace fs = std::filesystem;

const std::string kDamaged =
    "say: This progress file appears to have been damaged.  Exiting the game.";

std::string join_crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

std::int64_t number_line(const std::string& line) {
  return *parse_number(line, INT64_MIN, INT64_MAX);
}

TEST(TextFormat, GetcodeAndNumberLines) {
  EXPECT_EQ(getcode(""), 0);
  EXPECT_EQ(getcode("abc"), 300);
  EXPECT_EQ(getcode("a"), 98);
  EXPECT_EQ(getcode("Dirt"), 413);
  EXPECT_EQ(getcode("Wind"), 412);
  EXPECT_EQ(getcode("\xE9"), 234);  // a single byte above 127 counts as itself
  TextWriter w;
  w.number(12);
  w.number(0);
  w.number(-1);
  w.line("");
  w.line("Pine cone");
  EXPECT_EQ(w.bytes(), " 12 \r\n 0 \r\n-1 \r\n\r\nPine cone\r\n");
}

TEST(TextFormat, StrictNumberParsing) {
  struct Case {
    const char* text;
    bool ok;
    std::int64_t value;
  };
  const Case cases[] = {{" 12 ", true, 12}, {"-1 ", true, -1}, {"7", true, 7},
                        {"  0", true, 0},   {"", false, 0},    {" ", false, 0},
                        {"1 2", false, 0},  {"x", false, 0},   {"- 1", false, 0},
                        {"1.5", false, 0},  {"+3", false, 0},  {"99999999999999999999", false, 0},
                        {"\t3", false, 0}};
  for (const auto& c : cases) {
    auto v = parse_number(c.text, INT64_MIN, INT64_MAX);
    EXPECT_EQ(v.has_value(), c.ok) << c.text;
    if (c.ok && v) {
      EXPECT_EQ(*v, c.value) << c.text;
    }
  }
  EXPECT_FALSE(parse_number(" 4 ", 0, 3).has_value());
}

TEST(FileFormats, ProgressSumsOfTheWorkedExampleAndARoundTrip) {
  ProgressRecord record;
  record.items.fill("abc");
  record.difficulty = 3;
  EXPECT_EQ(progress_sums(record, 10), (FileSums{10834, 10171}));
  EXPECT_EQ(progress_sums(record, 11), (FileSums{10835, 10172}));

  record.items[4] = "Pine cone";
  record.items[35] = "";
  record.steps = INT32_MAX;
  record.sapirate = -3;
  for (std::optional<std::int32_t> mode : {std::optional<std::int32_t>{2}, {7}, {}}) {
    record.speechmode = mode;
    const std::string bytes = write_progress(record, 42);
    EXPECT_EQ(crlf_lines(bytes)[42], " " + std::to_string(mode.value_or(0)) + " ");
    auto read = read_progress(bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->items, record.items);
    EXPECT_EQ(read->steps, INT32_MAX);
    EXPECT_EQ(read->difficulty, 3);
    EXPECT_EQ(read->sapirate, -3);
    EXPECT_EQ(read->speechmode, mode.value_or(0));  // read back as the mode written
  }
  // Without its last line the file has no speech mode; a sum one off is damaged.
  auto lines = crlf_lines(write_progress(record, 42));
  lines.pop_back();
  auto read = read_progress(join_crlf(lines));
  ASSERT_TRUE(read.has_value());
  EXPECT_FALSE(read->speechmode.has_value());
  lines[38] = " " + std::to_string(number_line(lines[38]) + 1) + " ";
  EXPECT_FALSE(read_progress(join_crlf(lines)).has_value());
}

TEST(FileFormats, AchievementsRowsFollowTheFileLength) {
  AchievementsRecord record;
  record.entries.resize(3);
  record.entries[1].unlocked = {0, 412, 412, 412};
  record.entries[1].records = {-1, 7, 7, 7};
  record.known.assign(kLiveRecipeRows, 0);
  record.known[0] = 1;
  record.known[kLiveRecipeRows - 1] = 5;
  const std::string bytes = write_achievements(record, 33);
  ASSERT_EQ(crlf_lines(bytes).size(), 3u * 8 + kLiveRecipeRows + 3);
  auto read = read_achievements(bytes, 3);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->known, record.known);
  EXPECT_EQ(read->entries[1].unlocked, record.entries[1].unlocked);
  EXPECT_EQ(read->entries[1].records, record.entries[1].records);
  // The same record read as if it had more items runs short of lines.
  EXPECT_FALSE(read_achievements(bytes, 4).has_value());

  // Only a file of exactly the older layout's length has two rows fewer.
  AchievementsRecord old;
  old.entries.resize(243);
  old.known.assign(kOldRecipeRows, 0);
  const std::string old_bytes = write_achievements(old, 50);
  ASSERT_EQ(crlf_lines(old_bytes).size(), kOldAchievementsLines);
  auto old_read = read_achievements(old_bytes, 243);
  ASSERT_TRUE(old_read.has_value());
  EXPECT_EQ(old_read->known.size(), static_cast<std::size_t>(kOldRecipeRows));
  EXPECT_FALSE(read_achievements(old_bytes + " 0 \r\n", 243).has_value());
}

// Both files end after their last line: a reader that took a valid file
// followed by anything else would let a page store junk as a saved game.
TEST(FileFormats, NothingMayFollowTheLastLine) {
  ProgressRecord progress;
  progress.items.fill("Dirt");
  progress.steps = 12;
  progress.difficulty = 3;
  progress.sapirate = 7;
  progress.speechmode = 1;
  const std::string with_mode = write_progress(progress, 40);
  // A file without line 43, as older saves end.
  const std::string without_mode = with_mode.substr(0, with_mode.rfind(" 1 \r\n"));
  AchievementsRecord achievements;
  achievements.entries.resize(243);
  for (auto& entry : achievements.entries) entry.records.fill(-1);
  achievements.known.assign(kLiveRecipeRows, 0);
  const std::string live = write_achievements(achievements, 60);
  achievements.known.assign(kOldRecipeRows, 0);
  const std::string old = write_achievements(achievements, 60);
  auto progress_reads = [](const std::string& b) { return read_progress(b).has_value(); };
  auto achievements_reads = [](const std::string& b) {
    return read_achievements(b, 243).has_value();
  };
  const std::string junk(5000, 'x');
  // What may not follow each file; after a file without line 43 a number
  // line is that line, so there a line 43 comes first.
  const std::vector<std::string> tails = {"\r\n", " 0 \r\n", "x", junk, "\r\n" + junk + "\r\n"};
  const std::vector<std::string> after_line_42 = {" 1 \r\n\r\n", " 1 \r\nx", "x", junk,
                                                  "\r\n" + junk + "\r\n"};
  struct Case {
    std::string bytes;
    std::function<bool(const std::string&)> reads;
    const std::vector<std::string>& tails;
  };
  const std::vector<Case> files = {{with_mode, progress_reads, tails},
                                   {without_mode, progress_reads, after_line_42},
                                   {live, achievements_reads, tails},
                                   {old, achievements_reads, tails}};
  for (std::size_t i = 0; i < files.size(); ++i) {
    const Case& file = files[i];
    EXPECT_TRUE(file.reads(file.bytes)) << "file " << i << " as the game writes it";
    for (const std::string& tail : file.tails)
      EXPECT_FALSE(file.reads(file.bytes + tail))
          << "file " << i << " followed by " << tail.substr(0, 8) << " (" << tail.size()
          << " bytes)";
  }
}

TEST(FileFormats, CheatNamesLegacyReportLogLineAndSettings) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cheat_cases{
      {"", {}},
      {"\r\n\r\n", {}},
      {"Fire\r\n\r\n Fire\r\nWater", {"Fire", " Fire", "Water"}},
      {"Mud\nRock\r\n", {"Mud", "Rock"}},
  };
  for (const auto& [bytes, names] : cheat_cases) EXPECT_EQ(read_cheat_names(bytes), names) << bytes;
  std::string many;
  for (int i = 1; i <= kMostCheatNames + 2; ++i) many += "Item" + std::to_string(i) + "\r\n\r\n";
  auto names = read_cheat_names(many);
  ASSERT_EQ(names.size(), static_cast<std::size_t>(kMostCheatNames));
  EXPECT_EQ(names.back(), "Item9999");

  EXPECT_EQ(legacy_report({"Dirt", "Wind"}), "Dirt\r\nWind\r\n");
  EXPECT_EQ(legacy_report({}), "");
  EXPECT_EQ(log_line("Welcome"), "Welcome\r\n");
  EXPECT_EQ(log_line(""), "\r\n");

  // The defaults write one line; the braille and language lines follow
  // only when they or a later line are set.
  const std::vector<std::pair<SettingsRecord, std::string>> written{
      {{75, 0, ""}, " 75 \r\n"},
      {{100, 1, ""}, " 100 \r\n 1 \r\n"},
      {{50, 0, "es"}, " 50 \r\n 0 \r\nes\r\n"},
      {{0, 2, "de_AT"}, " 0 \r\n 2 \r\nde_AT\r\n"}};
  for (const auto& [settings, bytes] : written) {
    EXPECT_EQ(write_settings(settings), bytes);
    EXPECT_EQ(read_settings(bytes), settings) << bytes;
  }
  // Read leniently: each damaged or missing line means its default.
  const std::vector<std::pair<std::string, SettingsRecord>> read{
      {" 75 \r\n", {75, 0, ""}},
      {" 0 \r\n", {0, 0, ""}},
      {"100", {100, 0, ""}},
      {" 60 \r\n", {100, 0, ""}},
      {"-25 \r\n", {100, 0, ""}},
      {" 125 \r\n", {100, 0, ""}},
      {"", {100, 0, ""}},
      {" 60 \r\n 1 \r\nde\r\n", {100, 1, "de"}},
      {" 25 \r\nbraille\r\nes\r\n", {25, 0, "es"}},
      {" 25 \r\n 0 \r\n../../etc\r\n", {25, 0, ""}},
      {" 25 \r\n 0 \r\n\r\n", {25, 0, ""}}};
  for (const auto& [bytes, settings] : read) EXPECT_EQ(read_settings(bytes), settings) << bytes;
}

TEST(ProgressFile, ChecksumOfTheWorkedExample) {
  GameFixture f;
  Form1& g = *f.game;
  for (int i = 1; i <= 36; ++i) g.items[i] = "abc";
  g.itemcount = 36;
  g.steps = 0;
  g.difficulty = 3;
  g.saveprogress();
  auto lines = crlf_lines(f.file("progress.ini"));
  ASSERT_EQ(lines.size(), 43u);
  // Line 41 is 152 times the random r, which lies in 10..99.
  EXPECT_EQ(number_line(lines[40]) % 152, 0);
  const std::int64_t r = number_line(lines[40]) / 152;
  EXPECT_GE(r, 10);
  EXPECT_LE(r, 99);
  // With r = 10 the sums are 10834 and 10171.
  EXPECT_EQ(number_line(lines[38]), 10834 - 10 + r);
  EXPECT_EQ(number_line(lines[39]), 10171 - 10 + r);
  EXPECT_EQ(lines[36], " 0 ");
  EXPECT_EQ(lines[37], " 3 ");
  EXPECT_EQ(lines[41], " 7 ");
  EXPECT_EQ(lines[42], " 0 ");
}

TEST(ProgressFile, RoundTripsForManyRandomNumbers) {
  GameFixture f;
  std::set<std::int64_t> seen_r;
  for (int round = 0; round < 60; ++round) {
    Form1& g = *f.game;
    g.difficulty = round % 4;
    g.startinggear();
    g.items[5] = round % 2 ? "" : "Pine cone";
    g.steps = round * 7;
    g.sapirate = 1 + round;
    g.speechmode = round % 4;
    g.seedrandom(round);
    g.saveprogress();
    seen_r.insert(number_line(crlf_lines(f.file("progress.ini"))[40]) / 152);
    const auto saved_items = g.items;
    f.reset();
    Form1& h = *f.game;
    f.platform.has_jaws = true;  // so that a saved JAWS mode stays
    h.loadjaws();
    h.loadprogress();
    for (int i = 1; i <= 36; ++i) EXPECT_EQ(h.items[i], saved_items[i]) << i;
    EXPECT_EQ(h.steps, round * 7);
    EXPECT_EQ(h.difficulty, round % 4);
    EXPECT_EQ(h.sapirate, 1 + round);
    EXPECT_EQ(h.speechmode, round % 4);
  }
  EXPECT_GT(seen_r.size(), 10u);
}

TEST(ProgressFile, NoFileGivesAFreshInsaneInventorySilently) {
  GameFixture f;
  f.game->difficulty = 3;
  f.game->steps = 9;
  f.game->loadprogress();
  EXPECT_EQ(f.game->difficulty, 0);
  EXPECT_EQ(f.game->steps, 0);
  EXPECT_EQ(f.game->itemcount, 36);
  EXPECT_EQ(f.game->howmany("Magic"), 0);
  EXPECT_TRUE(f.platform.lines.empty());
  EXPECT_FALSE(fs::exists(f.path("progress.ini")));
}

TEST(ProgressFile, CheatModeSavesThirtySixLinesAndKeepsTheCount) {
  GameFixture f;
  Form1& g = *f.game;
  g.cheatmode = 1;
  for (int i = 1; i <= 40; ++i) g.items[i] = "Item" + std::to_string(i);
  g.itemcount = 40;
  g.saveprogress();
  EXPECT_EQ(g.itemcount, 40);
  auto lines = crlf_lines(f.file("progress.ini"));
  EXPECT_EQ(lines.size(), 43u);
  EXPECT_EQ(lines[35], "Item36");
}

// A valid progress file to damage, and the lines it holds.
struct SavedGame : GameFixture {
  std::vector<std::string> lines;
  SavedGame() {
    game->difficulty = 2;
    game->startinggear();
    game->steps = 12;
    game->saveprogress();
    lines = crlf_lines(file("progress.ini"));
    reset();
  }
};

TEST(ProgressFile, AcceptsLinesOutsideTheChecksumAndAFileWithoutLine43) {
  SavedGame f;
  auto lines = f.lines;
  lines[41] = " 15 ";
  lines.pop_back();
  write_bytes(f.path("progress.ini"), join_crlf(lines));
  f.game->speechmode = 1;
  f.game->loadprogress();
  EXPECT_EQ(f.game->sapirate, 15);
  EXPECT_EQ(f.game->speechmode, 1);
  EXPECT_EQ(f.game->steps, 12);
  // Reordering the items or changing line 41 within the same r keeps the sums.
  lines = f.lines;
  std::swap(lines[0], lines[35]);
  lines[40] = " " + std::to_string(number_line(lines[40]) + 151) + " ";
  write_bytes(f.path("progress.ini"), join_crlf(lines));
  f.reset();
  EXPECT_FALSE(f.ends_program([&] { f.game->loadprogress(); }));
}

TEST(ProgressFile, DamagedFilesEndTheGameWithoutWritingAnything) {
  // Each case turns the saved file's lines into the bytes of a damaged
  // file. Line numbers count from 1, as in the file.
  using Damage = std::function<std::string(std::vector<std::string>)>;
  auto set = [](int line, std::string value) -> Damage {
    return [=](std::vector<std::string> l) {
      l[line - 1] = value;
      return join_crlf(l);
    };
  };
  auto shift_number = [](int line, int by) -> Damage {
    return [=](std::vector<std::string> l) {
      l[line - 1] = " " + std::to_string(number_line(l[line - 1]) + by) + " ";
      return join_crlf(l);
    };
  };
  auto cut = [](std::size_t bytes) -> Damage {
    return [=](std::vector<std::string> l) { return join_crlf(l).substr(0, bytes); };
  };
  // A difficulty of 4 (line 38) with both sums (lines 39 and 40) still adding up.
  const Damage difficulty_four = [](std::vector<std::string> l) {
    l[38 - 1] = " 4 ";
    l[39 - 1] = " " + std::to_string(number_line(l[39 - 1]) + 8 * 2) + " ";
    l[40 - 1] = " " + std::to_string(number_line(l[40 - 1]) + 9 * 2) + " ";
    return join_crlf(l);
  };
  const std::vector<std::pair<const char*, Damage>> cases{
      {"an item renamed", set(3, "Zebra")},
      {"steps", shift_number(37, 1)},
      {"difficulty", shift_number(38, -1)},
      {"check sum A", shift_number(39, 1)},
      {"check sum B", shift_number(40, -1)},
      {"scaled r", shift_number(41, 152)},
      {"a word for steps", set(37, "twelve")},
      {"an empty rate line", set(42, "")},
      {"a difficulty the tables cannot hold", difficulty_four},
      {"a speech mode that is no number", set(43, "x")},
      {"cut inside the items", cut(40)},
      {"cut after the items", cut(260)},
      {"cut before the rate", cut(0)},
  };
  for (const auto& [what, damage] : cases) {
    SCOPED_TRACE(what);
    SavedGame f;
    const std::string raw = damage(f.lines);
    write_bytes(f.path("progress.ini"), raw);
    const auto before = fs::last_write_time(f.path("progress.ini"));
    const auto items_before = f.game->items;
    EXPECT_TRUE(f.ends_program([&] { f.game->loadprogress(); }));
    EXPECT_EQ(f.platform.lines, (std::vector<std::string>{kDamaged, "wait: 5", "exit"}));
    EXPECT_EQ(f.file("progress.ini"), raw);
    EXPECT_EQ(fs::last_write_time(f.path("progress.ini")), before);
    EXPECT_EQ(f.game->items, items_before);
    EXPECT_FALSE(fs::exists(f.path("achievements.ini")));
  }
}

TEST(AchievementsFile, ChecksumOfTheWorkedExamples) {
  GameFixture f;
  Form1& g = *f.game;
  g.loadachievements();
  g.saveachievements();
  auto lines = crlf_lines(f.file("achievements.ini"));
  ASSERT_EQ(lines.size(), 2236u);
  std::int64_t r = number_line(lines[2235]) / 152;
  EXPECT_EQ(number_line(lines[2233]), -126677 - 10 + r);
  EXPECT_EQ(number_line(lines[2234]), -170526 - 10 + r);
  EXPECT_EQ(lines[0], " 0 ");
  EXPECT_EQ(lines[1], "-1 ");
  EXPECT_EQ(lines[1944], "");

  g.difficulty = 3;
  g.steps = 12;
  EXPECT_EQ(g.isthisnew("Dirt"), 1);
  lines = crlf_lines(f.file("achievements.ini"));
  r = number_line(lines[2235]) / 152;
  EXPECT_EQ(lines[6], " 413 ");
  EXPECT_EQ(lines[7], " 12 ");
  EXPECT_EQ(number_line(lines[2233]), -124599 - 10 + r);
  EXPECT_EQ(number_line(lines[2234]), -168009 - 10 + r);
  EXPECT_EQ(f.file("mylegacy.txt"), "");  // isthisnew leaves the report to its caller
}

TEST(AchievementsFile, RoundTripsForManyRandomNumbers) {
  GameFixture f;
  for (int round = 0; round < 40; ++round) {
    f.game->loadachievements();
    Form1& g = *f.game;
    g.unlocked[round % 4][1 + round] = 1000 + round;
    g.records[round % 4][1 + round] = round;
    g.ruleknown[1 + round * 7] = 1;
    g.seedrandom(round);
    g.saveachievements();
    const auto unlocked = g.unlocked;
    const auto records = g.records;
    const auto known = g.ruleknown;
    f.reset();
    EXPECT_FALSE(f.ends_program([&] { f.game->loadachievements(); }));
    EXPECT_EQ(f.game->unlocked, unlocked);
    EXPECT_EQ(f.game->records, records);
    for (int j = 1; j <= 289; ++j) EXPECT_EQ(f.game->ruleknown[j], known[j]) << j;
  }
}

// Builds an older 2234-line file: 287 recipe lines and its own checksum.
std::string old_layout_file(int r) {
  AchievementsRecord record;
  record.entries.resize(243);
  for (auto& entry : record.entries) entry.records.fill(-1);
  for (int d = 1; d < 4; ++d) {
    record.entries[6].unlocked[d] = 412;
    record.entries[6].records[d] = 7;
  }
  record.known.assign(kOldRecipeRows, 0);
  record.known[4] = 1;
  return write_achievements(record, r);
}

TEST(AchievementsFile, OlderLayoutIsReadAndTheNextSaveWritesTheNewOne) {
  GameFixture f;
  write_bytes(f.path("achievements.ini"), old_layout_file(42));
  f.game->ruleknown[288] = 1;
  f.game->ruleknown[289] = 1;
  EXPECT_FALSE(f.ends_program([&] { f.game->loadachievements(); }));
  EXPECT_EQ(f.game->unlocked[1][7], 412);
  EXPECT_EQ(f.game->unlocked[0][7], 0);
  EXPECT_EQ(f.game->records[2][7], 7);
  EXPECT_EQ(f.game->ruleknown[5], 1);
  EXPECT_EQ(f.game->ruleknown[288], 0);
  EXPECT_EQ(f.game->ruleknown[289], 0);
  EXPECT_EQ(f.game->rulecount, 289);
  EXPECT_EQ(f.file("mylegacy.txt"), "Wind\r\n");
  f.game->saveachievements();
  EXPECT_EQ(crlf_lines(f.file("achievements.ini")).size(), 2236u);
}

TEST(AchievementsFile, DamagedFilesEndTheGameWithoutWritingAnything) {
  const std::string good = old_layout_file(20);
  // Made valid in the new layout by a save, to damage in several ways.
  GameFixture base;
  write_bytes(base.path("achievements.ini"), good);
  base.game->loadachievements();
  base.game->saveachievements();
  const std::string saved = base.file("achievements.ini");
  auto lines = crlf_lines(saved);
  auto with_line = [&](int line, const std::string& value) {
    auto l = lines;
    l[line - 1] = value;
    return join_crlf(l);
  };
  const std::vector<std::pair<const char*, std::string>> cases{
      {"an unlocked value", with_line(51, " 1 ")},
      {"a record", with_line(2, " 3 ")},
      {"check sum A", with_line(2234, " 5 ")},
      {"check sum B", with_line(2235, " 5 ")},
      {"scaled r", with_line(2236, " 1 ")},
      {"a word where a number belongs", with_line(100, "none")},
      {"a recipe line that is no number", with_line(1950, "yes")},
      {"cut in the items", saved.substr(0, 5000)},
      {"cut in the recipe lines", saved.substr(0, saved.size() - 300)},
      {"cut before the last line", saved.substr(0, saved.size() - 8)},
      {"an empty file", ""},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    GameFixture f;
    write_bytes(f.path("achievements.ini"), bytes);
    EXPECT_TRUE(f.ends_program([&] { f.game->loadachievements(); }));
    EXPECT_EQ(f.platform.lines, (std::vector<std::string>{kDamaged, "wait: 5", "exit"}));
    EXPECT_EQ(f.file("achievements.ini"), bytes);
    EXPECT_FALSE(fs::exists(f.path("mylegacy.txt")));
  }
  // A recipe flag does not enter the sums: changing it is accepted.
  GameFixture f;
  write_bytes(f.path("achievements.ini"), with_line(1945, " 1 "));
  EXPECT_FALSE(f.ends_program([&] { f.game->loadachievements(); }));
  EXPECT_EQ(f.game->ruleknown[1], 1);
}

TEST(Achievements, IsthisnewUnlocksEasierLevelsAndLowersRecords) {
  GameFixture f;
  Form1& g = *f.game;
  g.loadachievements();
  g.difficulty = kHard;
  g.steps = 7;
  EXPECT_EQ(g.isthisnew("Wind"), 1);
  EXPECT_EQ(g.unlocked[kInsane][7], 0);
  EXPECT_EQ(g.records[kInsane][7], -1);
  for (int d = kHard; d <= kEasy; ++d) {
    EXPECT_EQ(g.unlocked[d][7], 412);
    EXPECT_EQ(g.records[d][7], 7);
  }
  g.steps = 5;
  EXPECT_EQ(g.isthisnew("Wind"), 2);
  for (int d = kHard; d <= kEasy; ++d) EXPECT_EQ(g.records[d][7], 5);
  fs::remove(f.path("achievements.ini"));
  EXPECT_EQ(g.isthisnew("Wind"), 0);
  g.steps = 9;
  EXPECT_EQ(g.isthisnew("Wind"), 0);
  EXPECT_FALSE(fs::exists(f.path("achievements.ini")));  // nothing changed, nothing written
  // Unlocking on insane resets every easier record to the current steps.
  g.difficulty = kInsane;
  g.steps = 20;
  EXPECT_EQ(g.isthisnew("Wind"), 1);
  for (int d = kInsane; d <= kEasy; ++d) EXPECT_EQ(g.records[d][7], 20);
  for (const char* name : {"Magic", "wind", ""}) EXPECT_EQ(g.isthisnew(name), 0) << name;
  g.cheatmode = 1;
  EXPECT_EQ(g.isthisnew("Dirt"), 0);
  EXPECT_EQ(g.unlocked[0][1], 0);
}

TEST(Achievements, CountsDetailsAndTheLegacyReport) {
  GameFixture f;
  Form1& g = *f.game;
  g.loadachievements();
  EXPECT_EQ(g.myachievements(), 0);
  EXPECT_EQ(f.file("mylegacy.txt"), "");
  g.difficulty = kHard;
  g.steps = 7;
  g.isthisnew("Wind");
  g.difficulty = 3;
  g.steps = 1;
  g.isthisnew("Mud");
  g.isthisnew("Dirt");
  EXPECT_EQ(g.myachievements(), 3);
  g.mylegacy();
  EXPECT_EQ(f.file("mylegacy.txt"), "Dirt\r\nMud\r\nWind\r\n");
  g.achievementdetails(2);  // Nature collection
  EXPECT_EQ(g.List2, (std::vector<std::string>{"Wind was unlocked in 7 turns on Hard mode.",
                                               "Wind was unlocked in 7 turns on Normal mode.",
                                               "Wind was unlocked in 7 turns on Easy mode."}));
  EXPECT_EQ(g.menu, 7);
  EXPECT_EQ(f.platform.lines.back(), "say: Nature collection details");
  g.achievementdetails(1);
  EXPECT_EQ(g.List2, (std::vector<std::string>{"Dirt was unlocked in 1 turn on Easy mode.",
                                               "Mud was unlocked in 1 turn on Easy mode."}));
  g.achievementdetails(31);
  EXPECT_TRUE(g.List2.empty());
  EXPECT_EQ(f.platform.lines.back(), "say: Glassblower collection details");
  EXPECT_EQ(
      g.achievementsummary(),
      "Achievements.  You have discovered 0 different recipies and 3 different achievements.");
}

TEST(SavedFiles, AFileThatCannotBeReadIsNotCalledDamagedAndIsLeftAlone) {
  const std::vector<std::pair<const char*, std::function<void(Form1&)>>> cases{
      {"progress.ini", [](Form1& game) { game.loadprogress(); }},
      {"achievements.ini", [](Form1& game) { game.loadachievements(); }},
  };
  for (const auto& [name, load] : cases) {
    SCOPED_TRACE(name);
    SavedGame f;
    f.game->saveachievements();
    const std::string bytes = f.file(name);
    f.platform.unreadable.insert(f.path(name));
    EXPECT_TRUE(f.ends_program([&] { load(*f.game); }));
    EXPECT_EQ(f.platform.lines, (std::vector<std::string>{"say: Your saved game could not be read.",
                                                          "wait: 5", "exit"}));
    EXPECT_EQ(f.platform.errors, (std::vector<std::string>{"Your saved game could not be read."}));
    EXPECT_EQ(f.file(name), bytes);
    EXPECT_FALSE(fs::exists(f.path("log.txt")));
  }
}

TEST(SavedFiles, ASaveThroughASymbolicLinkReplacesTheTargetAndKeepsTheLink) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
  SavedGame f;
  // progress.ini is a relative link into another folder, through a second link.
  const std::string elsewhere = make_temp_folder();
  fs::rename(f.path("progress.ini"), elsewhere + "/real.ini");
  fs::create_symlink(elsewhere + "/real.ini", elsewhere + "/hop.ini");
  fs::create_symlink(fs::relative(elsewhere + "/hop.ini", f.platform.data_folder()),
                     f.path("progress.ini"));
  f.game->loadprogress();
  f.game->steps = 44;
  f.game->saveprogress();
  EXPECT_TRUE(fs::is_symlink(f.path("progress.ini")));
  EXPECT_TRUE(fs::is_symlink(elsewhere + "/hop.ini"));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(elsewhere + "/real.ini")));
  EXPECT_FALSE(fs::exists(f.path("progress.ini.tmp")));
  f.reset();
  f.game->loadprogress();
  EXPECT_EQ(f.game->steps, 44);
  fs::remove_all(elsewhere);
#endif
}

TEST(ProgressFile, StepsStopAtTheLargestCountWithoutWrapping) {
  SavedGame f;
  f.game->loadprogress();
  f.game->steps = INT_MAX - 1;
  for (int i = 0; i < 2; ++i) {
    f.put("Dirt", "Rock");  // a pair that makes nothing still counts a step
    f.game->combine();
  }
  EXPECT_EQ(f.game->steps, INT_MAX);
  f.game->saveprogress();
  f.reset();
  f.game->loadprogress();
  EXPECT_EQ(f.game->steps, INT_MAX);
}

TEST(Saves, AWriteInterruptedBeforeItsRenameLeavesTheOldFileValid) {
  SavedGame f;
  const std::string old = f.file("progress.ini");
  // A crash after the temporary file was begun and before the rename.
  write_bytes(f.path("progress.ini.tmp"), old.substr(0, 30));
  EXPECT_FALSE(f.ends_program([&] { f.game->loadprogress(); }));
  EXPECT_EQ(f.game->steps, 12);
  // A save that fails part-way leaves the old file as it was.
  fs::remove(f.path("progress.ini.tmp"));
  fs::create_directory(f.path("progress.ini.tmp"));  // the temporary file cannot be made
  f.game->steps = 99;
  f.game->saveprogress();
  EXPECT_EQ(f.file("progress.ini"), old);
  fs::remove(f.path("progress.ini.tmp"));
  f.game->saveprogress();
  f.reset();
  f.game->loadprogress();
  EXPECT_EQ(f.game->steps, 99);
}

TEST(StartUp, RestoresTheSavedSpeechModeAndFallsBackFromJawsWithoutJaws) {
  for (int mode : {1, 3}) {
    SCOPED_TRACE(mode);
    SavedGame f;
    auto lines = f.lines;
    lines[42] = " " + std::to_string(mode) + " ";
    write_bytes(f.path("progress.ini"), join_crlf(lines));
    f.platform.calls.clear();
    f.game->Form_Load();
    const std::string welcome =
        with_version("Welcome to Quillvane, version (@VERSION@), by Orlick");
    if (mode == 1) {
      EXPECT_EQ(f.platform.caption_text, welcome);
      EXPECT_EQ(f.game->speechmode, 1);
    } else {
      EXPECT_EQ(f.game->speechmode, 0);
      EXPECT_EQ(f.platform.lines,
                (std::vector<std::string>{with_version("title: Orlick's Quillvane (v@VERSION@)"),
                                          with_version("title: Orlick's Quillvane (v@VERSION@)"),
                                          "say: Jaws does not seem to be responding, Sapi on.",
                                          "say: " + welcome}));
      EXPECT_NE(std::find(f.platform.calls.begin(), f.platform.calls.end(), "voice:" + welcome),
                f.platform.calls.end());
    }
  }
}

}  // namespace
}  // namespace quillvane::testing
