// Key storms: long runs of random keys with random modifiers must never
// crash, never read outside an array (the sanitizer build checks every
// subscript), keep the inventory's size, and leave every saved file valid.
#include <gtest/gtest.h>

#include <random>

#include "game_fixture.h"
#include "platform/headless/key_script.h"

namespace quillvane::testing {
namespace {

// Every key the headless key table names, plus any VK code now and then.
std::vector<int> key_table() {
  std::vector<int> codes{vk::Backspace,   vk::Tab,     vk::Enter,    vk::Escape,     vk::Space,
                         vk::Left,        vk::Up,      vk::Right,    vk::Down,       vk::Delete,
                         vk::NumMultiply, vk::NumPlus, vk::NumMinus, vk::NumDecimal, vk::NumDivide,
                         vk::Plus,        vk::Minus};
  for (int n = 0; n <= 9; ++n) codes.push_back(vk::digit(n));
  for (char c = 'A'; c <= 'Z'; ++c) codes.push_back(vk::letter(c));
  for (int n = 0; n <= 9; ++n) codes.push_back(vk::num_digit(n));
  for (int n = 1; n <= 12; ++n) codes.push_back(vk::function_key(n));
  // Keys that matter most are drawn more often, so games get played.
  for (int i = 0; i < 6; ++i) codes.insert(codes.end(), {vk::Enter, vk::Enter, vk::Down, vk::Up});
  return codes;
}

// Whether Enter would now choose "Exit the game".
bool enter_exits(const Form1& g) {
  return (g.menu == 1 && g.menuitem == 5) || (g.menu == 6 && g.menuitem == 3);
}

struct StormResult {
  int keys = 0;
  int runs = 0;
  int combinations_saved = 0;
};

StormResult storm(GameFixture& f, unsigned seed, int keys, bool exit_free, int cheat_items) {
  std::mt19937 random(seed);
  const auto table = key_table();
  std::uniform_int_distribution<std::size_t> pick(0, table.size() - 1);
  std::uniform_int_distribution<int> percent(0, 99);
  StormResult result;
  bool running = false;
  bool started = false;
  while (result.keys < keys) {
    if (!running) {
      f.reset();
      ++result.runs;
      f.game->Form_Load();
      running = true;
      started = cheat_items > 0;
    }
    int code = percent(random) < 3 ? 1 + static_cast<int>(random() % 254) : table[pick(random)];
    int roll = percent(random);
    int shift = roll < 70 ? 0 : roll < 90 ? 1 : static_cast<int>(random() % 8);
    if (exit_free && code == vk::Enter && enter_exits(*f.game)) continue;
    ++result.keys;
    try {
      f.press(code, shift);
    } catch (const ProgramEnd&) {
      running = false;
      continue;
    }
    const Form1& g = *f.game;
    started = started || g.menu == 0;
    if (started) {
      EXPECT_EQ(g.itemcount, cheat_items > 0 ? cheat_items : 36);
      EXPECT_GE(g.selected, 1);
      EXPECT_LE(g.selected, g.itemcount);
    }
    EXPECT_GE(g.slot1, 0);
    EXPECT_LE(g.slot1, g.itemcount);
    EXPECT_GE(g.slot2, 0);
    EXPECT_LE(g.slot2, g.itemcount);
    EXPECT_GE(g.sapirate, 1);
    if (::testing::Test::HasFailure()) break;
  }
  result.combinations_saved = static_cast<int>(
      std::count(f.platform.lines.begin(), f.platform.lines.end(), "cue: /sounds/success.wav"));
  return result;
}

// Every file the storm left must be accepted by a new run.
void expect_files_valid(GameFixture& f) {
  f.reset();
  f.platform.lines.clear();
  EXPECT_FALSE(f.ends_program([&] {
    f.game->loadprogress();
    f.game->loadachievements();
  }));
}

TEST(KeyStorm, ExitFreeRunOfAHundredThousandKeys) {
  GameFixture f;
  f.platform.memory_files = true;
  auto result = storm(f, 20261209, 100000, true, 0);
  EXPECT_EQ(result.runs, 1);
  EXPECT_GT(result.combinations_saved, 10);
  EXPECT_TRUE(f.platform.file_exists(f.path("progress.ini")));
  expect_files_valid(f);
}

TEST(KeyStorm, RunsThatMayEndAndStartAgain) {
  GameFixture f;
  f.platform.memory_files = true;
  auto result = storm(f, 7, 100000, false, 0);
  EXPECT_GT(result.runs, 1);
  expect_files_valid(f);
}

TEST(KeyStorm, CheatInventoryKeepsItsSize) {
  GameFixture f;
  f.platform.memory_files = true;
  std::string cheat;
  for (int i = 0; i < 40; ++i)
    cheat += (i % 3 ? "Stick" : i % 2 ? "Magic" : " odd\x01name") + std::string("\r\n");
  f.platform.memory[f.path("cheat.ini")] = cheat;
  auto result = storm(f, 99, 30000, true, 40);
  EXPECT_EQ(result.runs, 1);
  // Cheat mode records no achievement and never writes their file.
  EXPECT_FALSE(f.platform.file_exists(f.path("achievements.ini")));
  expect_files_valid(f);
}

}  // namespace
}  // namespace quillvane::testing
