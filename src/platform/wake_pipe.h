// A self-pipe that wakes a poll() from another thread or a signal handler:
// notify() writes one byte, the waiting loop polls fd() and drains it.
#pragma once

namespace quillvane {

class WakePipe {
 public:
  WakePipe();
  ~WakePipe();
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  // The end to poll for reading; -1 when the pipe could not be made.
  int fd() const { return read_end_; }
  // Wakes the poll. Async-signal-safe: one non-blocking write, errno kept.
  // A full pipe already holds a wake-up, so a refused write loses nothing.
  void notify() const;
  // Empties the pipe once its wake-ups have been seen.
  void drain() const;

 private:
  int read_end_ = -1;
  int write_end_ = -1;
};

}  // namespace quillvane
