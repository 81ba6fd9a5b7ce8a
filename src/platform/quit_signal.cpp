#include "platform/quit_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace quillvane::quit_signal {
namespace {

int pipe_ends[2] = {-1, -1};
std::atomic<bool> arrived{false};

// Only async-signal-safe work: a flag and one byte into a non-blocking pipe
// (a full pipe already says the same).
void on_quit_signal(int) {
  const int saved_errno = errno;
  arrived.store(true);
  if (pipe_ends[1] >= 0) (void)!::write(pipe_ends[1], "q", 1);
  errno = saved_errno;
}

}  // namespace

void install() {
  if (pipe_ends[0] >= 0) return;
  if (::pipe(pipe_ends) != 0) {
    pipe_ends[0] = pipe_ends[1] = -1;
    return;
  }
  for (int end : pipe_ends) {
    ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    ::fcntl(end, F_SETFD, FD_CLOEXEC);
  }
  struct sigaction action {};
  action.sa_handler = on_quit_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal_number, &action, nullptr);
}

int fd() { return pipe_ends[0]; }

bool requested() { return arrived.load(); }

}  // namespace quillvane::quit_signal
