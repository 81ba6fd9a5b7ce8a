// The cue volume reaches the sound: a cue played through SDL's disk audio
// driver (which writes the mixed samples to a file) is half as loud at 50
// percent as at 100, and silent when the sounds are off.
#include <SDL.h>
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
#include <utility>
#include <vector>

#include "platform/audio/cue_player.h"

namespace quillvane {
namespace {

TEST(CueVolume, PercentBecomesTheMixersChannelVolume) {
  const struct {
    int percent, mixer;
  } cases[] = {{100, 128}, {75, 96}, {50, 64}, {25, 32}, {0, 0}, {-5, 0}, {250, 128}};
  for (const auto& c : cases) EXPECT_EQ(mixer_volume(c.percent), c.mixer) << c.percent;
}

// The size of a file, 0 while it does not exist.
std::uintmax_t size_of(const std::string& file) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  return error ? 0 : size;
}

// The bytes the device writes while a WAV file plays once: the cue player
// opens 44,100 Hz, 16-bit stereo, and the mixer resamples the cue to that;
// two buffers more cover the moment between the play and the next buffer.
std::uintmax_t bytes_while_playing(const char* path) {
  SDL_AudioSpec cue{};
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path, &cue, &buffer, &length)) return 0;
  SDL_FreeWAV(buffer);
  const double seconds =
      static_cast<double>(length) / (cue.freq * cue.channels * (SDL_AUDIO_BITSIZE(cue.format) / 8));
  constexpr std::uintmax_t kFrameBytes = 4, kBufferFrames = 1024;
  return static_cast<std::uintmax_t>(seconds * 44100) * kFrameBytes +
         2 * kBufferFrames * kFrameBytes;
}

// Plays the cue once at each volume in turn on one device, each once the
// one before has been written whole, and returns the loudest sample the
// mixer wrote while each played. The disk driver writes in real time: each
// play waits for the bytes it needs, never for a fixed time.
std::vector<int> peaks_at(const std::vector<int>& percents) {
  const std::string file = std::filesystem::temp_directory_path().string() + "/quillvane-cue-" +
                           std::to_string(getpid()) + ".raw";
  const char* cue = QUILLVANE_SOUNDS_DIR "/success.wav";
  const std::uintmax_t needed = bytes_while_playing(cue);
  EXPECT_GT(needed, 0u) << "the cue cannot be read";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  std::vector<std::pair<std::uintmax_t, std::uintmax_t>> spans;
  {
    CuePlayer cues;
    for (int percent : percents) {
      const std::uintmax_t start = size_of(file);
      cues.set_volume(percent);
      cues.play(cue);
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (size_of(file) < start + needed && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      EXPECT_GE(size_of(file), start + needed) << "the device wrote too little at " << percent;
      spans.emplace_back(start, start + needed);
    }
    cues.stop();
  }
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(file);
  std::vector<int> peaks;
  for (auto [begin, end] : spans) {
    int peak = 0;
    for (std::size_t i = begin & ~std::uintmax_t{1}; i + 1 < bytes.size() && i + 1 < end; i += 2) {
      const auto sample = static_cast<std::int16_t>(
          static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
      peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    peaks.push_back(peak);
  }
  return peaks;
}

TEST(CueVolume, HalfTheVolumeIsHalfAsLoudAndOffIsSilent) {
  // Sounds off comes last, on the device the louder cues opened: it must
  // still write nothing but silence.
  const std::vector<int> peaks = peaks_at({100, 50, 0});
  ASSERT_EQ(peaks.size(), 3u);
  const int full = peaks[0];
  ASSERT_GT(full, 1000) << "the cue made no sound at full volume";
  EXPECT_NEAR(peaks[1], full / 2, full / 20);
  EXPECT_EQ(peaks[2], 0);
}

}  // namespace
}  // namespace quillvane
