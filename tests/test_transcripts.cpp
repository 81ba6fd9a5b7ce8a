// Transcript tests: each transcripts/NAME.keys is played headless on a fresh
// data folder (seeded with the files of NAME.files/ when that folder
// exists) and must give exactly NAME.expected. Files in NAME.after/ must
// then match the data folder's files byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/frontends.h"
#include "fake_platform.h"
#include "platform/headless/headless_platform.h"

namespace quillvane::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> transcript_names() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(QUILLVANE_TRANSCRIPTS_DIR))
    if (entry.path().extension() == ".keys") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Transcripts : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcripts, MatchesExpected) {
  const fs::path dir = QUILLVANE_TRANSCRIPTS_DIR;
  const std::string name = GetParam();
  const std::string data = make_temp_folder();
  if (fs::is_directory(dir / (name + ".files")))
    fs::copy(dir / (name + ".files"), data, fs::copy_options::recursive);
  const std::string out = data + "/transcript.out";
  HeadlessOptions options{
      (dir / (name + ".keys")).string(), data, 1u, out, "", QUILLVANE_LOCALE_DIR};
  EXPECT_EQ(run_headless(options), 0);
  EXPECT_EQ(read_bytes(out), with_version(read_bytes((dir / (name + ".expected")).string())));
  if (fs::is_directory(dir / (name + ".after"))) {
    for (const auto& entry : fs::directory_iterator(dir / (name + ".after"))) {
      SCOPED_TRACE(entry.path().filename().string());
      EXPECT_EQ(read_bytes(data + "/" + entry.path().filename().string()),
                with_version(read_bytes(entry.path().string())));
    }
  }
  fs::remove_all(data);
}

// The pseudo-language qps (every text of the template in brackets, its
// vowels accented) played through every key script: each line said and
// each title must be the catalog's, brackets around brackets, with nothing
// outside them but numbers, spaces and punctuation, and the custom names a
// cheat.ini brings (which no catalog knows). A text the game says without
// looking it up, or looks up without marking it for the template, shows.
class PseudoLanguage : public ::testing::TestWithParam<std::string> {};

// What is left of a line once every bracketed part is taken out.
std::string outside_brackets(const std::string& line) {
  std::string rest;
  int depth = 0;
  for (char c : line) {
    if (c == '[') ++depth;
    if (depth == 0) rest += c;
    if (c == ']' && depth > 0) --depth;
  }
  return rest;
}

TEST_P(PseudoLanguage, EveryLineComesFromTheCatalog) {
  const fs::path dir = QUILLVANE_TRANSCRIPTS_DIR;
  const std::string name = GetParam();
  const std::string data = make_temp_folder();
  std::vector<std::string> custom;
  if (fs::is_directory(dir / (name + ".files"))) {
    fs::copy(dir / (name + ".files"), data, fs::copy_options::recursive);
    std::istringstream cheat(read_bytes(data + "/cheat.ini"));
    for (std::string line; std::getline(cheat, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) custom.push_back(line);
    }
    // The longest first, so that a name inside another is not taken alone.
    std::sort(custom.begin(), custom.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  }
  const std::string out = data + "/transcript.out";
  HeadlessOptions options{
      (dir / (name + ".keys")).string(), data, 1u, out, "qps", QUILLVANE_LOCALE_DIR};
  ASSERT_EQ(run_headless(options), 0);
  std::istringstream transcript(read_bytes(out));
  int said = 0;
  for (std::string line; std::getline(transcript, line);) {
    const bool say = line.rfind("say: ", 0) == 0;
    if (!say && line.rfind("title: ", 0) != 0) continue;
    const std::string text = line.substr(line.find(": ") + 2);
    EXPECT_TRUE(!text.empty() && text.front() == '[' && text.back() == ']') << line;
    std::string rest = outside_brackets(text);
    for (const std::string& name : custom)
      for (std::size_t at; (at = rest.find(name)) != std::string::npos;)
        rest.erase(at, name.size());
    for (char c : rest) EXPECT_FALSE(std::isalpha(static_cast<unsigned char>(c))) << line;
    said += say;
  }
  EXPECT_GT(said, 0);
  fs::remove_all(data);
}

std::string test_id(const ::testing::TestParamInfo<std::string>& info) {
  std::string id = info.param;
  for (char& c : id)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return id;
}

INSTANTIATE_TEST_SUITE_P(Game, Transcripts, ::testing::ValuesIn(transcript_names()), test_id);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Transcripts);
INSTANTIATE_TEST_SUITE_P(Game, PseudoLanguage, ::testing::ValuesIn(transcript_names()), test_id);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PseudoLanguage);

}  // namespace
}  // namespace quillvane::testing
