// Benchmarks of the game on the headless platform and its virtual clock.
// They print figures and assert nothing.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/frontends.h"
#include "game/form1.h"
#include "platform/headless/headless_platform.h"
#include "platform/keys.h"

namespace {

using namespace quillvane;
namespace fs = std::filesystem;

std::string temp_folder(const std::string& name) {
  auto dir = fs::temp_directory_path() / ("quillvane-bench-" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

// A headless game with no script keys, driven by calls from the benchmark.
struct Headless {
  std::istringstream no_keys;
  KeyScript script{no_keys};
  HeadlessPlatform platform;
  std::unique_ptr<Form1> game;
  explicit Headless(const std::string& folder)
      : platform(script, folder, 1u, nullptr), game(std::make_unique<Form1>(platform)) {
    game->Form_Load();
  }
};

void BM_NavigationKey(benchmark::State& state) {
  Headless h(temp_folder("navigation"));
  h.game->handle(Event{Event::Kind::key, vk::Enter, 0});
  h.game->handle(Event{Event::Kind::key, vk::Enter, 0});  // an easy game
  for (auto _ : state) h.game->handle(Event{Event::Kind::key, vk::Down, 0});
}
BENCHMARK(BM_NavigationKey);

void BM_NavigationKeyCheatInventory9999(benchmark::State& state) {
  const std::string folder = temp_folder("cheat");
  {
    std::ofstream cheat(folder + "/cheat.ini", std::ios::binary);
    for (int i = 0; i < 9999; ++i) cheat << "Item " << (i % 500) << "\r\n";
  }
  Headless h(folder);
  for (auto _ : state) h.game->handle(Event{Event::Kind::key, vk::Down, 0});
}
BENCHMARK(BM_NavigationKeyCheatInventory9999);

// One Dirt and Water combination with its announcements and both saves.
void BM_Combination(benchmark::State& state) {
  Headless h(temp_folder("combine"));
  Form1& g = *h.game;
  for (auto _ : state) {
    state.PauseTiming();
    g.newgame(0, "start");
    int dirt = 0, water = 0;
    for (int i = 1; i <= g.itemcount; ++i) {
      if (!dirt && g.items[i] == "Dirt") dirt = i;
      if (!water && g.items[i] == "Water") water = i;
    }
    g.slot1 = dirt;
    g.slot2 = water;
    state.ResumeTiming();
    g.handle(Event{Event::Kind::key, vk::Enter, mask::Shift});
  }
}
BENCHMARK(BM_Combination)->Unit(benchmark::kMicrosecond);

// A whole 400-key game replayed from a script: start an easy game, then
// walk, fill slots and combine.
void BM_Replay400KeyGame(benchmark::State& state) {
  const std::string folder = temp_folder("replay");
  const std::string script = folder + "/game.keys";
  {
    std::ofstream out(script);
    out << "Enter\nEnter\n";
    std::mt19937 random(1);
    const char* moves[] = {"Down", "Down", "Up", "Enter", "Enter", "Shift+Enter", "D", "W", "1"};
    for (int i = 0; i < 398; ++i) out << moves[random() % 9] << "\n";
  }
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* name : {"progress.ini", "achievements.ini", "log.txt", "mylegacy.txt"})
      fs::remove(folder + "/" + name);
    state.ResumeTiming();
    HeadlessOptions options{script, folder, 1u, folder + "/transcript.txt", "", ""};
    benchmark::DoNotOptimize(run_headless(options));
  }
}
BENCHMARK(BM_Replay400KeyGame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
