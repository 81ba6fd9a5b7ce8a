// Time helpers shared by the real front-ends.
#pragma once

#include <cstdint>

namespace quillvane {

// Seconds since the last local midnight: the game's random seed.
std::uint32_t seconds_since_midnight();
// A monotonic clock in seconds.
double monotonic_seconds();

}  // namespace quillvane
