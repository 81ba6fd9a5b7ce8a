#include "platform/wav_volume.h"

#include <algorithm>
#include <cstdint>

namespace quillvane {
namespace {

std::uint32_t read32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::uint16_t read16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

}  // namespace

std::string wav_at_volume(std::string wav, int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == 100 || wav.size() < 12 || wav.compare(0, 4, "RIFF") != 0 ||
      wav.compare(8, 4, "WAVE") != 0)
    return wav;
  bool pcm16 = false;
  // The chunks after the header: "fmt " says what the samples are, "data" holds them.
  for (std::size_t at = 12; at + 8 <= wav.size();) {
    const std::string id = wav.substr(at, 4);
    const std::size_t size = read32(wav, at + 4);
    const std::size_t body = at + 8;
    if (size > wav.size() - body) break;
    if (id == "fmt " && size >= 16) pcm16 = read16(wav, body) == 1 && read16(wav, body + 14) == 16;
    if (id == "data" && pcm16) {
      for (std::size_t i = body; i + 1 < body + size; i += 2) {
        const auto sample = static_cast<std::int16_t>(read16(wav, i));
        const int scaled = sample * percent / 100;
        wav[i] = static_cast<char>(scaled & 0xFF);
        wav[i + 1] = static_cast<char>((scaled >> 8) & 0xFF);
      }
      break;
    }
    at = body + size + (size & 1);  // chunks are padded to an even length
  }
  return wav;
}

}  // namespace quillvane
