// Transcript tests: each transcripts/NAME.keys is played headless on a fresh
// data folder (seeded with the files of NAME.files/ when that folder
// exists) and must give exactly NAME.expected. Files in NAME.after/ must
// then match the data folder's files byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
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
  HeadlessOptions options{(dir / (name + ".keys")).string(), data, 1u, out};
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

INSTANTIATE_TEST_SUITE_P(Game, Transcripts, ::testing::ValuesIn(transcript_names()),
                         [](const auto& info) {
                           std::string id = info.param;
                           for (char& c : id)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return id;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Transcripts);

}  // namespace
}  // namespace quillvane::testing
