// The cue volume reaches the sound: a cue played through SDL's disk audio
// driver (which writes the mixed samples to a file) is half as loud at 50
// percent as at 100, and silent when the sounds are off.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/audio/cue_player.h"

namespace quillvane {
namespace {

TEST(CueVolume, PercentBecomesTheMixersChannelVolume) {
  const struct {
    int percent, mixer;
  } cases[] = {{100, 128}, {75, 96}, {50, 64}, {25, 32}, {0, 0}, {-5, 0}, {250, 128}};
  for (const auto& c : cases) EXPECT_EQ(mixer_volume(c.percent), c.mixer) << c.percent;
}

// The loudest sample the mixer wrote while the cue played at this volume.
int peak_at(int percent) {
  const std::string file = std::filesystem::temp_directory_path().string() + "/quillvane-cue-" +
                           std::to_string(getpid()) + "-" + std::to_string(percent) + ".raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  {
    CuePlayer cues;
    cues.set_volume(percent);
    cues.play(QUILLVANE_SOUNDS_DIR "/success.wav");
    // The disk driver writes in real time: long enough for the cue's start.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    cues.stop();
  }
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(file);
  int peak = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8));
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  return peak;
}

TEST(CueVolume, HalfTheVolumeIsHalfAsLoudAndOffIsSilent) {
  const int full = peak_at(100);
  ASSERT_GT(full, 1000) << "the cue made no sound at full volume";
  const int half = peak_at(50);
  EXPECT_NEAR(half, full / 2, full / 20);
  EXPECT_EQ(peak_at(0), 0);
}

}  // namespace
}  // namespace quillvane
