// Transcript tests: each transcripts/NAME.keys is played headless on a fresh
// data folder (seeded with the files of NAME.files/ when that folder
// exists) and must give exactly NAME.expected. Files in NAME.after/ must
// then match the data folder's files byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/frontends.h"
#include "content/content.h"
#include "fake_platform.h"
#include "lang/catalog.h"
#include "lang/collate.h"
#include "lang/utf8.h"
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
// each title must be a catalog's text in brackets, and no plain vowel may
// stand anywhere in it but in the version and in the custom names a
// cheat.ini brings (which no catalog knows). A text the game says without
// looking it up, a name it glues in untranslated, or a text it looks up
// without marking it for the template, shows.
class PseudoLanguage : public ::testing::TestWithParam<std::string> {};

TEST_P(PseudoLanguage, EveryLineComesFromTheCatalog) {
  const fs::path dir = QUILLVANE_TRANSCRIPTS_DIR;
  const std::string name = GetParam();
  const std::string data = make_temp_folder();
  // What may stand unaccented: the version and the custom names, as said.
  std::vector<std::string> own{with_version("@VERSION@")};
  if (fs::is_directory(dir / (name + ".files"))) {
    fs::copy(dir / (name + ".files"), data, fs::copy_options::recursive);
    std::istringstream cheat(read_bytes(data + "/cheat.ini"));
    for (std::string line; std::getline(cheat, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) own.push_back(lang::to_utf8(line));
    }
  }
  // The longest first, so that a name inside another is not taken alone.
  std::sort(own.begin(), own.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  const std::string out = data + "/transcript.out";
  HeadlessOptions options{
      (dir / (name + ".keys")).string(), data, 1u, out, "qps", QUILLVANE_LOCALE_DIR};
  ASSERT_EQ(run_headless(options), 0);
  std::istringstream transcript(read_bytes(out));
  int said = 0;
  for (std::string line; std::getline(transcript, line);) {
    const bool say = line.rfind("say: ", 0) == 0;
    if (!say && line.rfind("title: ", 0) != 0) continue;
    std::string text = line.substr(line.find(": ") + 2);
    EXPECT_TRUE(!text.empty() && text.front() == '[' && text.back() == ']') << line;
    for (const std::string& name : own)
      for (std::size_t at; (at = text.find(name)) != std::string::npos;)
        text.erase(at, name.size());
    EXPECT_EQ(text.find_first_of("aeiouAEIOU"), std::string::npos) << line;
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

namespace quillvane::testing {
namespace {

// The item lines of a progress.ini, sorted: the inventory whatever its order.
std::vector<std::string> saved_items(const std::string& folder) {
  std::istringstream file(read_bytes(folder + "/progress.ini"));
  std::vector<std::string> names;
  for (std::string line; names.size() < 36 && std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    names.push_back(line);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Plays keys on folder in a language; returns the transcript.
std::string play(const std::string& folder, const std::string& language, const std::string& keys) {
  write_bytes(folder + "/game.keys", keys);
  HeadlessOptions options{folder + "/game.keys", folder,   1u,
                          folder + "/out.txt",   language, QUILLVANE_LOCALE_DIR};
  EXPECT_EQ(run_headless(options), 0);
  return read_bytes(folder + "/out.txt");
}

void set_environment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  if (*value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
#endif
}

bool says(const std::string& transcript, const std::string& line) {
  return transcript.find("say: " + line + "\n") != std::string::npos;
}

// The saves keep the game's English names, whatever the language, and the
// checksums do not depend on the inventory's order: a game saved in Spanish
// (its list sorted by the Spanish names) continues in German, which saves
// it in German order, and then in English, with the same progress.
TEST(Languages, SavesMoveBetweenLanguagesWithTheSameProgress) {
  const std::string folder = make_temp_folder();
  const std::string spanish = play(folder, "es",
                                   "Enter\nEnter\nT\nEnter\nA\nEnter\nShift+Enter\n"
                                   "Escape\nUp\nEnter\n");
  ASSERT_TRUE(says(spanish,
                   "¡Nuevo descubrimiento!  Al combinar Tierra y Agua se obtienen Barro y "
                   "Barro."));
  const std::vector<std::string> after_spanish = saved_items(folder);
  EXPECT_NE(read_bytes(folder + "/progress.ini").find("Water\r\nSand\r\nMud\r\nMud\r\n"),
            std::string::npos);  // Agua, Arena, Barro: the Spanish order

  // Continue where you left off, in German: one step, then Erde and Wasser
  // again (the list as saved, in Spanish order: the second W is Wasser).
  const std::string german = play(folder, "de",
                                  "Down\nDown\nEnter\n1\nE\nEnter\nW\nW\nEnter\nShift+Enter\n1\n"
                                  "Escape\nDown\nDown\nEnter\n");
  EXPECT_TRUE(says(german, "Du hast bisher 1 Schritt gemacht."));
  EXPECT_TRUE(says(german, "Ergebnis: Schlamm und Schlamm."));
  EXPECT_TRUE(says(german, "Du hast bisher 2 Schritte gemacht."));
  EXPECT_TRUE(says(german, "Erfolge.  Entdeckt: 1 Rezept und 1 Erfolg."));
  EXPECT_EQ(german.find("beschädigt"), std::string::npos);
  std::vector<std::string> expected = after_spanish;
  // The German move turned one Dirt and one Water into two Mud.
  expected.erase(std::find(expected.begin(), expected.end(), "Dirt"));
  expected.erase(std::find(expected.begin(), expected.end(), "Water"));
  expected.insert(expected.end(), {"Mud", "Mud"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(saved_items(folder), expected);

  // And in English, the described game's own lines.
  const std::string english =
      play(folder, "en", "Down\nDown\nEnter\n1\nEscape\nDown\nDown\nEnter\n");
  EXPECT_TRUE(says(english, "Continuing your puzzle from where you left off"));
  EXPECT_TRUE(says(english, "You have made 2 steps so far."));
  EXPECT_TRUE(says(english,
                   "Achievements.  You have discovered 1 different recipies and 1 different "
                   "achievements."));
  EXPECT_EQ(english.find("damaged"), std::string::npos);
  // The log and the legacy report stay English in every language.
  const std::string log = read_bytes(folder + "/log.txt");
  EXPECT_NE(log.find("You have combined Dirt and Water, to make Mud and Mud.  You have made 2 "
                     "total moves.\r\n"),
            std::string::npos);
  EXPECT_EQ(read_bytes(folder + "/mylegacy.txt"), "Mud\r\n");
  fs::remove_all(folder);
}

// --language chooses the language and settings.ini keeps it for the next
// start; a key script plays English otherwise, whatever the environment;
// a code with no catalog falls back to English and says so once.
TEST(Languages, TheCommandLineChoosesAndSettingsKeepIt) {
  const std::string folder = make_temp_folder();
  set_environment("LANGUAGE", "de");
  EXPECT_TRUE(says(play(folder, "", "Enter\n"), "Choose puzzle difficulty"));
  EXPECT_TRUE(says(play(folder, "es", "Enter\n"), "Elige la dificultad"));
  EXPECT_EQ(read_bytes(folder + "/settings.ini"), " 100 \r\n 0 \r\nes\r\n");
  EXPECT_TRUE(says(play(folder, "", "Enter\n"), "Elige la dificultad"));
  const std::string unknown = play(folder, "xx_YY", "Enter\n");
  EXPECT_TRUE(says(unknown, "There is no translation for xx_YY: the game speaks English."));
  EXPECT_TRUE(says(unknown, "Choose puzzle difficulty"));
  // The unknown code is not kept: the Spanish choice stands.
  EXPECT_EQ(read_bytes(folder + "/settings.ini"), " 100 \r\n 0 \r\nes\r\n");
  EXPECT_TRUE(says(play(folder, "de_AT", "Enter\n"), "Wähle die Schwierigkeitsstufe"));
  EXPECT_EQ(read_bytes(folder + "/settings.ini"), " 100 \r\n 0 \r\nde\r\n");
  EXPECT_TRUE(says(play(folder, "en", "Enter\n"), "Choose puzzle difficulty"));
  EXPECT_EQ(read_bytes(folder + "/settings.ini"), " 100 \r\n 0 \r\nen\r\n");
  set_environment("LANGUAGE", "");
  fs::remove_all(folder);
}

// Every item has a name of its own in each catalog: the list and the letter
// jump would mix up two items heard alike.
TEST(Languages, EveryItemHasANameOfItsOwn) {
  for (const std::string code : {"es", "de"}) {
    auto bytes =
        read_bytes(std::string(QUILLVANE_LOCALE_DIR) + "/" + code + "/LC_MESSAGES/quillvane.mo");
    auto catalog = lang::Catalog::parse(bytes, code);
    ASSERT_TRUE(catalog) << code;
    std::set<std::u32string> heard;
    std::vector<std::string> names(content::kAchievementItemNames.begin(),
                                   content::kAchievementItemNames.end());
    names.push_back(content::kMagic);
    for (const std::string& name : names) {
      const std::string_view translated = catalog->text(lang::kItemContext, name);
      EXPECT_NE(translated.data(), name.data()) << code << ": " << name << " is untranslated";
      EXPECT_TRUE(heard.insert(lang::sort_key(translated, code)).second)
          << code << ": two items are heard as " << translated;
    }
  }
}

}  // namespace
}  // namespace quillvane::testing
