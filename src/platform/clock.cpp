#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace quillvane {

std::uint32_t seconds_since_midnight() {
  std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (!local) return 0;
  return static_cast<std::uint32_t>(local->tm_hour * 3600 + local->tm_min * 60 + local->tm_sec);
}

double monotonic_seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace quillvane
