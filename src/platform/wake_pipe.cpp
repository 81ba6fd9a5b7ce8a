#include "platform/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quillvane {

WakePipe::WakePipe() {
  int ends[2];
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
    read_end_ = ends[0];
    write_end_ = ends[1];
  }
}

WakePipe::~WakePipe() {
  if (read_end_ >= 0) close(read_end_);
  if (write_end_ >= 0) close(write_end_);
}

void WakePipe::notify() const {
  if (write_end_ < 0) return;
  const int saved = errno;
  const char byte = 1;
  (void)!write(write_end_, &byte, 1);
  errno = saved;
}

void WakePipe::drain() const {
  if (read_end_ < 0) return;
  char buffer[64];
  while (read(read_end_, buffer, sizeof buffer) > 0) {
  }
}

}  // namespace quillvane
