// The Windows cue player's volume: 16-bit samples scaled in the WAV's bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wav_volume.h"

namespace quillvane {
namespace {

std::string le(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// A mono WAV file with an extra chunk before "data", holding these samples.
std::string wav(const std::vector<std::int16_t>& samples, int bits = 16) {
  std::string data;
  for (std::int16_t s : samples) data += le(static_cast<std::uint16_t>(s), 2);
  std::string fmt = le(1, 2) + le(1, 2) + le(44100, 4) + le(88200, 4) + le(2, 2) + le(bits, 2);
  std::string body = "WAVE" + std::string("fmt ") + le(16, 4) + fmt + "LIST" + le(3, 4) + "abc" +
                     std::string(1, '\0') + "data" + le(data.size(), 4) + data;
  return "RIFF" + le(body.size(), 4) + body;
}

TEST(WavVolume, ScalesEverySampleAndLeavesTheRestAlone) {
  const std::vector<std::int16_t> samples{0, 1000, -1000, 32767, -32768, 3};
  const struct {
    int percent;
    std::vector<std::int16_t> expected;
  } cases[] = {
      {100, samples},
      {50, {0, 500, -500, 16383, -16384, 1}},
      {25, {0, 250, -250, 8191, -8192, 0}},
      {0, {0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.percent);
    EXPECT_EQ(wav_at_volume(wav(samples), c.percent), wav(c.expected));
  }
}

TEST(WavVolume, FilesItCannotReadPlayAsTheyAre) {
  const std::string eight_bit = wav({100, 200}, 8);
  EXPECT_EQ(wav_at_volume(eight_bit, 50), eight_bit);
  for (const std::string& odd : {std::string(), std::string("RIFF"), std::string("not a wav file"),
                                 wav({1000}).substr(0, 30)})
    EXPECT_EQ(wav_at_volume(odd, 50), odd);
}

}  // namespace
}  // namespace quillvane
