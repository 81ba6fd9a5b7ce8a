// The saved files: text format, checksums, round trips, damaged files,
// old layouts and saves that cannot be written.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "game/run_game.h"
#include "game_fixture.h"
#include "platform/files.h"
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

// ---- Reading a line at a time ----

// Bytes handed over in pieces of at most `piece` bytes, counted.
class PieceSource : public ByteSource {
 public:
  PieceSource(std::string_view bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, piece_, bytes_.size() - taken});
    std::copy_n(bytes_.data() + taken, count, buffer);
    taken += count;
    return count;
  }
  std::size_t taken = 0;

 private:
  std::string_view bytes_;
  std::size_t piece_;
};

// Every line of the bytes as a reader gives it: its text, or "<too long>"
// (after which the reader goes past it), until the end.
std::vector<std::string> all_lines(std::string_view bytes, std::size_t piece) {
  PieceSource source(bytes, piece);
  TextReader reader(source);
  std::vector<std::string> lines;
  for (int guard = 0; guard < 100; ++guard) {
    auto line = reader.line();
    if (line) {
      lines.push_back(*line);
    } else if (reader.too_long()) {
      lines.push_back("<too long>");
      reader.pass_long_line();
    } else {
      EXPECT_TRUE(reader.at_end());
      return lines;
    }
  }
  ADD_FAILURE() << "the reader never ended";
  return lines;
}

TEST(TextFormat, LinesEndAtLfWithoutTheirCrAndStopPastTheLongestLine) {
  const std::string longest(kLongestLine, 'a');
  const std::string one_more(kLongestLine + 1, 'b');
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\nb", {"a", "b"}},  // the last line without its line end is a line
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r\n", {"a\rb"}},  // only the CR of a line end is dropped
      {"a\r", {"a"}},
      {std::string("\0\0\r\n", 4), {std::string("\0\0", 2)}},
      {longest + "\r\n" + longest + "\n" + longest, {longest, longest, longest}},
      {one_more + "\r\nx\r\n", {"<too long>", "x"}},
      {one_more + "\nx\n", {"<too long>", "x"}},
      {one_more, {"<too long>"}},
      {longest + "\r\r\nx", {"<too long>", "x"}},
      {"x\r\n" + std::string(100000, 'c') + "\r\ny", {"x", "<too long>", "y"}},
  };
  for (const auto& c : cases) {
    // Pieces of one byte, of a few, and as large as the reader asks for:
    // where a piece ends never changes a line.
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{4097}, SIZE_MAX}) {
      EXPECT_EQ(all_lines(c.bytes, piece), c.lines)
          << c.bytes.substr(0, 12) << " (" << c.bytes.size() << " bytes) in pieces of " << piece;
    }
  }
}

TEST(TextFormat, AnOverLongLineIsNeverReadWhole) {
  const std::string endless(10'000'000, 'x');
  PieceSource source(endless, SIZE_MAX);
  TextReader reader(source);
  EXPECT_FALSE(reader.line().has_value());
  EXPECT_TRUE(reader.too_long());
  EXPECT_FALSE(reader.number(0, 1).has_value());  // nothing more is read until passed
  EXPECT_LE(source.taken, 64u * 1024);
}

// ---- What a saved file may hold, and what the game makes of it ----

// A file of a table row: bytes, then `repeats` copies of `pattern`, made
// only as far as a reader takes them.
struct Shape {
  Shape(std::string head, std::string tail = "", std::size_t times = 0)
      : bytes(std::move(head)), pattern(std::move(tail)), repeats(times) {}
  std::string bytes;
  std::string pattern;
  std::size_t repeats;
  std::size_t size() const { return bytes.size() + pattern.size() * repeats; }
  std::string whole() const {
    std::string out = bytes;
    out.reserve(size());
    for (std::size_t i = 0; i < repeats; ++i) out += pattern;
    return out;
  }
};

class ShapeSource : public ByteSource {
 public:
  explicit ShapeSource(const Shape& shape) : shape_(shape) {}
  std::size_t read(char* buffer, std::size_t size) override {
    std::size_t count = 0;
    while (count < size && taken < shape_.size()) {
      buffer[count++] = taken < shape_.bytes.size()
                            ? shape_.bytes[taken]
                            : shape_.pattern[(taken - shape_.bytes.size()) % shape_.pattern.size()];
      ++taken;
    }
    return count;
  }
  std::size_t taken = 0;

 private:
  const Shape& shape_;
};

std::string progress_verdict(const std::optional<ProgressRecord>& record) {
  if (!record) return "damaged";
  return "steps " + std::to_string(record->steps) + ", rate " + std::to_string(record->sapirate) +
         (record->speechmode ? ", mode " + std::to_string(*record->speechmode) : ", no mode");
}

std::string achievements_verdict(const std::optional<AchievementsRecord>& record) {
  if (!record) return "damaged";
  std::string known;
  for (std::size_t j = 0; j < record->known.size(); ++j)
    if (record->known[j] != 0) known += " " + std::to_string(j + 1);
  return std::to_string(record->known.size()) + " rows, known" + known;
}

// The checksum lines of a progress file made to match its other lines,
// whatever they hold: numbers of any size, so that only their range decides.
std::string progress_resummed(std::vector<std::string> lines) {
  const std::int64_t r = number_line(lines[40]) / 152;
  std::int64_t a = r, b = r;
  for (int i = 1; i <= 36; ++i) {
    a += getcode(lines[i - 1]);
    b += getcode(lines[i - 1]) - i;
  }
  const std::int64_t steps = number_line(lines[36]), difficulty = number_line(lines[37]);
  a += 3 * steps + 8 * difficulty;
  b += 5 * steps + 9 * difficulty;
  lines[38] = " " + std::to_string(a) + " ";
  lines[39] = " " + std::to_string(b) + " ";
  return join_crlf(lines);
}

// The same for an achievements file of 243 items and `rows` recipe lines.
std::string achievements_resummed(std::vector<std::string> lines, int rows) {
  const std::size_t sums = 1944 + static_cast<std::size_t>(rows);
  const std::int64_t r = number_line(lines[sums + 2]) / 152;
  std::int64_t a = r, b = r;
  for (std::size_t line = 0; line < 1944; line += 2) {
    const std::int64_t unlocked = number_line(lines[line]), best = number_line(lines[line + 1]);
    a += 5 * unlocked + best;
    b += 6 * unlocked + 3 * best;
  }
  for (std::int64_t j = 1; j <= rows; ++j) {
    a -= 3 * j;
    b -= 4 * j;
  }
  lines[sums] = " " + std::to_string(a) + " ";
  lines[sums + 1] = " " + std::to_string(b) + " ";
  return join_crlf(lines);
}

// Each row: a valid file with one change, and what the game makes of it.
// Line numbers count from 1, as in the files.
TEST(SavedFileShapes, ReadTheLinesTheGameUsesAndNothingAfterThem) {
  ProgressRecord progress;
  progress.items.fill("Dirt");
  progress.items[4] = "Pine cone";
  progress.steps = 12;
  progress.difficulty = 3;
  progress.sapirate = 7;
  progress.speechmode = 1;
  const std::string p43 = write_progress(progress, 40);
  const std::vector<std::string> p_lines = crlf_lines(p43);
  const std::string p42 = join_crlf({p_lines.begin(), p_lines.begin() + 42});
  auto p_set = [&](int line, const std::string& value) {
    auto l = p_lines;
    l[line - 1] = value;
    return join_crlf(l);
  };
  auto p_resummed = [&](int line, const std::string& value) {
    auto l = p_lines;
    l[line - 1] = value;
    return progress_resummed(l);
  };
  ProgressRecord long_name = progress;
  long_name.items[4] = std::string(kLongestLine, 'n');
  const std::string p_longest = write_progress(long_name, 40);
  long_name.items[4] += 'n';
  const std::string p_too_long = write_progress(long_name, 40);

  AchievementsRecord achievements;
  achievements.entries.resize(243);
  for (auto& entry : achievements.entries) entry.records.fill(-1);
  for (int d = 1; d < 4; ++d) {
    achievements.entries[6].unlocked[d] = 412;
    achievements.entries[6].records[d] = 7;
  }
  achievements.known.assign(kLiveRecipeRows, 0);
  achievements.known[0] = 1;
  achievements.known[4] = 1;
  const std::string a236 = write_achievements(achievements, 60);
  achievements.known.resize(kOldRecipeRows);
  const std::string a234 = write_achievements(achievements, 60);
  const std::vector<std::string> a_lines = crlf_lines(a236);
  auto a_set = [&](int line, const std::string& value) {
    auto l = a_lines;
    l[line - 1] = value;
    return join_crlf(l);
  };
  auto a_resummed = [&](int line, const std::string& value) {
    auto l = a_lines;
    l[line - 1] = value;
    return achievements_resummed(l, kLiveRecipeRows);
  };
  auto without_last_line_end = [](const std::string& bytes) {
    return bytes.substr(0, bytes.size() - 2);
  };

  const std::string mb_of_nul(1 << 20, '\0');
  constexpr std::size_t k50MbOfLineEnds = 25'000'000;  // CR LF, 50 MB
  const std::string p_ok = "steps 12, rate 7, mode 1";
  const std::string p_no_mode = "steps 12, rate 7, no mode";
  const std::string a_ok = "289 rows, known 1 5";
  const std::string old_ok = "287 rows, known 1 5";
  const std::string damaged = "damaged";

  enum Kind { progress_ini, achievements_ini };
  const struct Row {
    const char* what;
    Kind kind;
    Shape file;
    std::string verdict;
  } rows[] = {
      // progress.ini: lines 1 to 43 are read, never what follows.
      {"43 lines", progress_ini, {p43}, p_ok},
      {"43 lines, one more CR LF", progress_ini, {p43 + "\r\n"}, p_ok},
      {"43 lines, one more LF", progress_ini, {p43 + "\n"}, p_ok},
      {"43 lines, a line of text", progress_ini, {p43 + "more text\r\n"}, p_ok},
      {"43 lines, 1 MB of NUL bytes", progress_ini, {p43 + mb_of_nul}, p_ok},
      {"43 lines, 50 MB of line ends", progress_ini, {p43, "\r\n", k50MbOfLineEnds}, p_ok},
      {"43 lines, an over-long line 44", progress_ini, {p43 + std::string(5000, 'x')}, p_ok},
      {"43 lines, the final CR LF removed", progress_ini, {without_last_line_end(p43)}, p_ok},
      {"42 lines", progress_ini, {p42}, p_no_mode},
      {"42 lines plus CR LF", progress_ini, {p42 + "\r\n"}, p_no_mode},
      {"42 lines, the final CR LF removed", progress_ini, {without_last_line_end(p42)}, p_no_mode},
      {"a speech mode line of spaces", progress_ini, {p_set(43, "   ")}, p_no_mode},
      {"a speech mode that is no number", progress_ini, {p_set(43, "x")}, damaged},
      {"an over-long speech mode line",
       progress_ini,
       {p42 + std::string(5000, ' ') + "1 \r\n"},
       damaged},
      {"a name of the longest line", progress_ini, {p_longest}, p_ok},
      {"a name one byte longer", progress_ini, {p_too_long}, damaged},
      {"an endless first line", progress_ini, {"", "x", 50'000'000}, damaged},
      {"41 lines", progress_ini, {join_crlf({p_lines.begin(), p_lines.begin() + 41})}, damaged},
      {"50 MB of line ends", progress_ini, {"", "\r\n", k50MbOfLineEnds}, damaged},
      // The ranges of the numbers, each at its end and one past it, the
      // checksum made to match where it can be.
      {"steps 2147483647",
       progress_ini,
       {p_resummed(37, " 2147483647 ")},
       "steps 2147483647, rate 7, mode 1"},
      {"steps 2147483648", progress_ini, {p_resummed(37, " 2147483648 ")}, damaged},
      {"steps -2147483649", progress_ini, {p_resummed(37, "-2147483649 ")}, damaged},
      {"difficulty 0", progress_ini, {p_resummed(38, " 0 ")}, p_ok},
      {"difficulty -1", progress_ini, {p_resummed(38, "-1 ")}, damaged},
      {"difficulty 4", progress_ini, {p_resummed(38, " 4 ")}, damaged},
      {"check sum A past 64 bits", progress_ini, {p_set(39, " 9223372036854775808 ")}, damaged},
      {"check sum B past 64 bits", progress_ini, {p_set(40, "-9223372036854775809 ")}, damaged},
      {"scaled r of -1",
       progress_ini,
       {progress_resummed([&] {
         auto l = p_lines;
         l[40] = "-1 ";
         return l;
       }())},
       damaged},
      {"scaled r past 64 bits", progress_ini, {p_set(41, " 9223372036854775808 ")}, damaged},
      {"rate 2147483647",
       progress_ini,
       {p_set(42, " 2147483647 ")},
       "steps 12, rate 2147483647, mode 1"},
      {"rate -2147483648",
       progress_ini,
       {p_set(42, "-2147483648 ")},
       "steps 12, rate -2147483648, mode 1"},
      {"rate 2147483648", progress_ini, {p_set(42, " 2147483648 ")}, damaged},
      {"rate -2147483649", progress_ini, {p_set(42, "-2147483649 ")}, damaged},
      {"mode 2147483647",
       progress_ini,
       {p_set(43, " 2147483647 ")},
       "steps 12, rate 7, mode 2147483647"},
      {"mode 2147483648", progress_ini, {p_set(43, " 2147483648 ")}, damaged},
      {"mode -2147483649", progress_ini, {p_set(43, "-2147483649 ")}, damaged},

      // achievements.ini: the layout's lines are read, never what follows.
      {"2236 lines", achievements_ini, {a236}, a_ok},
      {"2236 lines, one more CR LF", achievements_ini, {a236 + "\r\n"}, a_ok},
      {"2236 lines, one more LF", achievements_ini, {a236 + "\n"}, a_ok},
      {"2236 lines, a line of text", achievements_ini, {a236 + "more text\r\n"}, a_ok},
      {"2236 lines, 1 MB of NUL bytes", achievements_ini, {a236 + mb_of_nul}, a_ok},
      {"2236 lines, 50 MB of line ends", achievements_ini, {a236, "\r\n", k50MbOfLineEnds}, a_ok},
      {"2236 lines, the final CR LF removed",
       achievements_ini,
       {without_last_line_end(a236)},
       a_ok},
      {"a recipe line of spaces", achievements_ini, {a_set(1945, "   ")}, "289 rows, known 5"},
      {"a recipe line of 1", achievements_ini, {a_set(1946, " 1 ")}, "289 rows, known 1 2 5"},
      {"an over-long recipe line",
       achievements_ini,
       {a_set(1946, std::string(5000, ' '))},
       damaged},
      {"2234 lines, the older layout", achievements_ini, {a234}, old_ok},
      {"2234 lines, the final CR LF removed",
       achievements_ini,
       {without_last_line_end(a234)},
       old_ok},
      // A 2235th line, even an empty one, makes a file of the live layout,
      // whose checksum lines then do not hold.
      {"2234 lines plus CR LF", achievements_ini, {a234 + "\r\n"}, damaged},
      {"2234 lines, 1 MB of NUL bytes", achievements_ini, {a234 + mb_of_nul}, damaged},
      {"2235 lines",
       achievements_ini,
       {join_crlf({a_lines.begin(), a_lines.begin() + 2235})},
       damaged},
      {"50 MB of line ends", achievements_ini, {"", "\r\n", k50MbOfLineEnds}, damaged},
      {"unlocked 2147483647", achievements_ini, {a_resummed(51, " 2147483647 ")}, a_ok},
      {"unlocked 2147483648", achievements_ini, {a_resummed(51, " 2147483648 ")}, damaged},
      {"a record of -2147483648", achievements_ini, {a_resummed(2, "-2147483648 ")}, a_ok},
      {"a record of -2147483649", achievements_ini, {a_resummed(2, "-2147483649 ")}, damaged},
      {"a recipe flag of 2147483648", achievements_ini, {a_set(1950, " 2147483648 ")}, damaged},
      {"check sum A past 64 bits",
       achievements_ini,
       {a_set(2234, "-9223372036854775809 ")},
       damaged},
      {"check sum B past 64 bits",
       achievements_ini,
       {a_set(2235, " 9223372036854775808 ")},
       damaged},
      {"scaled r of -1",
       achievements_ini,
       {achievements_resummed(
           [&] {
             auto l = a_lines;
             l[2235] = "-1 ";
             return l;
           }(),
           kLiveRecipeRows)},
       damaged},
  };

  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string name = row.kind == progress_ini ? "progress.ini" : "achievements.ini";
    // The readers, the file handed over a piece at a time: whatever follows,
    // they read at most one piece past the lines they use.
    ShapeSource source(row.file);
    const std::string verdict = row.kind == progress_ini
                                    ? progress_verdict(read_progress(source))
                                    : achievements_verdict(read_achievements(source, 243));
    EXPECT_EQ(verdict, row.verdict);
    EXPECT_LE(source.taken, 64u * 1024);
    if (row.file.size() > (2u << 20)) continue;  // too big to write out for every row

    // The game, starting with the file, and the web page's check of it.
    GameFixture f;
    const std::string bytes = row.file.whole();
    write_bytes(f.path(name), bytes);
    const bool ended = f.ends_program([&] {
      if (row.kind == progress_ini)
        f.game->loadprogress();
      else
        f.game->loadachievements();
    });
    EXPECT_EQ(ended, row.verdict == damaged);
    if (ended) {
      EXPECT_EQ(f.platform.lines, (std::vector<std::string>{kDamaged, "wait: 5", "exit"}));
      EXPECT_EQ(f.file(name), bytes);
    }
    EXPECT_LE(f.platform.bytes_read[f.path(name)], 64u * 1024);
    auto opened = files::FileReader::open(f.path(name));
    ASSERT_TRUE(opened);
    EXPECT_EQ(row.kind == progress_ini ? refused_saved_file(std::move(opened), nullptr)
                                       : refused_saved_file(nullptr, std::move(opened)),
              row.verdict == damaged ? name : "");
  }
}

TEST(FileFormats, CheatNamesLegacyReportLogLineAndSettings) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cheat_cases{
      {"", {}},
      {"\r\n\r\n", {}},
      {"Fire\r\n\r\n Fire\r\nWater", {"Fire", " Fire", "Water"}},
      {"Mud\nRock\r\n", {"Mud", "Rock"}},
      // A line longer than any name the game holds is passed over; the
      // longest line is a name.
      {"Fire\r\n" + std::string(kLongestLine + 1, 'x') + "\r\nWater\r\n" +
           std::string(kLongestLine, 'y') + "\r\n" + std::string(100000, 'z'),
       {"Fire", "Water", std::string(kLongestLine, 'y')}},
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
      {" 25 \r\n 0 \r\n\r\n", {25, 0, ""}},
      {" 50 \r\n 1 \r\nes\r\nanything after the language\r\n", {50, 1, "es"}},
      // An over-long line holds nothing, even one that ends in a number; the
      // lines after it are read.
      {std::string(kLongestLine, ' ') + "25\r\n 1 \r\nes\r\n", {100, 1, "es"}},
      {" 25 \r\n" + std::string(kLongestLine, ' ') + "1\r\nes\r\n", {25, 0, "es"}}};
  for (const auto& [bytes, settings] : read) EXPECT_EQ(read_settings(bytes), settings) << bytes;
}

TEST(CheatFile, IsReadToItsEndAndGivesNothingWhenItsReadingFails) {
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "failing part-way" : "read whole");
    GameFixture f;
    std::string bytes = "Fire\r\n";
    for (int i = 0; i < 2'500'000; ++i) bytes += "\r\n";  // 5 MB of line ends
    bytes += "Water";
    write_bytes(f.path("cheat.ini"), bytes);
    if (fails) f.platform.read_fails_after[f.path("cheat.ini")] = 100'000;
    f.game->Form_Load();
    EXPECT_EQ(f.game->cheatmode, 1);
    if (fails) {
      EXPECT_EQ(f.game->itemcount, 0);
    } else {
      EXPECT_EQ(f.game->itemcount, 2);
      EXPECT_EQ(f.game->items[1], "Fire");
      EXPECT_EQ(f.game->items[2], "Water");
      EXPECT_EQ(f.platform.bytes_read[f.path("cheat.ini")], bytes.size());
    }
  }
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
  // A file that cannot be opened, and one whose reading fails part-way.
  for (const auto& [name, load] : cases)
    for (bool part_way : {false, true}) {
      SCOPED_TRACE(name);
      SCOPED_TRACE(part_way ? "failing part-way" : "failing to open");
      SavedGame f;
      f.game->saveachievements();
      const std::string bytes = f.file(name);
      if (part_way)
        f.platform.read_fails_after[f.path(name)] = bytes.size() / 2;
      else
        f.platform.unreadable.insert(f.path(name));
      EXPECT_TRUE(f.ends_program([&] { load(*f.game); }));
      EXPECT_EQ(
          f.platform.lines,
          (std::vector<std::string>{"say: Your saved game could not be read.", "wait: 5", "exit"}));
      EXPECT_EQ(f.platform.errors,
                (std::vector<std::string>{"Your saved game could not be read."}));
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
