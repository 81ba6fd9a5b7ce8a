// Starts a helper thread that never takes the process's signals: they stay
// with the game's thread (where the front-end handles them), and a write to a
// closed socket fails with EPIPE instead of killing the program.
#pragma once

#include <pthread.h>

#include <csignal>
#include <thread>
#include <utility>

namespace quillvane {

template <typename Function>
std::thread start_quiet_thread(Function&& function) {
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  std::thread thread;
  try {
    thread = std::thread(std::forward<Function>(function));
  } catch (...) {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    throw;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return thread;
}

}  // namespace quillvane
