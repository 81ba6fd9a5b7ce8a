#include "platform/latency_stamp.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace quillvane {

namespace {

void write_stamp(const char* what) {
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch();
  char line[96];
  const int length = std::snprintf(
      line, sizeof line, "%s at %lld\n", what,
      static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(stamp).count()));
  // One write, so the stamp costs the game a single system call.
  if (length > 0) (void)!write(STDERR_FILENO, line, static_cast<std::size_t>(length));
}

}  // namespace

void latency_stamp(const char* what) {
  static const bool enabled = std::getenv("QUILLVANE_SPEECH_STAMP") != nullptr;
  if (enabled) write_stamp(what);
}

void first_frame_stamp() {
  static bool done = std::getenv("QUILLVANE_FIRST_FRAME_STAMP") == nullptr;
  if (done) return;
  done = true;
  write_stamp("first frame");
}

}  // namespace quillvane
