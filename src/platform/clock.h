// Time helpers shared by the real front-ends.
#pragma once

#include <cstdint>
#include <optional>

namespace quillvane {

// Seconds since the last local midnight: the game's random seed.
std::uint32_t seconds_since_midnight();
// The seed a front-end gives the game: the one fixed on the command line
// (--seed), else the time of day.
inline std::uint32_t seed_or_time_of_day(std::optional<std::uint32_t> seed) {
  return seed ? *seed : seconds_since_midnight();
}
// A monotonic clock in seconds.
double monotonic_seconds();

}  // namespace quillvane
