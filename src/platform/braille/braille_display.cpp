#include "platform/braille/braille_display.h"

#define BRLAPI_NO_SINGLE_SESSION 1
#define BRLAPI_NO_DEPRECATED 1
#include <brlapi.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/braille/braille_window.h"
#include "platform/quiet_thread.h"
#include "platform/wake_pipe.h"

namespace quillvane {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

// BRLTTY answers a connection at once; one that has not answered in 3 s is
// given up.
constexpr auto kConnectLimit = seconds(3);
// Every reply is waited for at most this long: a receive and send timeout
// on the connection's socket bound every call, and a call that times out
// fails, which drops the connection.
constexpr timeval kReplyLimit{2, 0};
// Retries after the display is lost: 30 s, then doubling up to 5 minutes.
constexpr auto kFirstRetry = seconds(30);
constexpr auto kLastRetry = seconds(300);
// How long the program's end waits for the display to be given back.
constexpr auto kFarewellLimit = milliseconds(300);

// The display's keys the game takes: the pans through a line. Every other
// key stays BRLTTY's.
constexpr brlapi_keyCode_t kPanKeys[] = {
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLTSKIP,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRTSKIP,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNBEG,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNEND,
};

// libbrlapi's default handler of an error the server reports on its own
// aborts the program: the game ignores it instead (a line not shown is
// shown again with the next one).
void ignore_exception(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {}

std::string brlapi_why() { return brlapi_strerror(brlapi_error_location()); }

// One connection to BrlAPI: the handle libbrlapi fills, open or not.
class Connection {
 public:
  Connection() : handle_(static_cast<brlapi_handle_t*>(std::malloc(brlapi_getHandleSize()))) {}
  ~Connection() {
    close();
    std::free(handle_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Connects (BRLAPI_HOST and BRLAPI_AUTH, else BRLTTY's own socket and
  // key); false with the reason in why. May wait for a server that never
  // answers: it runs on a thread of its own.
  bool open(std::string& why) {
    if (!handle_) {
      why = "no memory for BrlAPI";
      return false;
    }
    fd_ = brlapi__openConnection(handle_, nullptr, nullptr);
    if (fd_ < 0) {
      why = brlapi_why();
      return false;
    }
    brlapi__setExceptionHandler(handle_, ignore_exception);
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &kReplyLimit, sizeof kReplyLimit);
    setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &kReplyLimit, sizeof kReplyLimit);
    return true;
  }

  // Takes the display: the game's own console where it runs on one (or the
  // terminal CONTROLVT names), else where a screen reader takes it (the root
  // of the session's terminals, under WINDOWPATH or XDG_VTNR), ahead of it
  // as the newer client. Only the pan keys come to the game.
  bool take(std::string& why) {
    const bool console =
        !std::getenv("WINDOWID") && brlapi__enterTtyMode(handle_, BRLAPI_TTY_DEFAULT, nullptr) >= 0;
    if (!console && brlapi__enterTtyModeWithPath(handle_, nullptr, 0, nullptr) < 0) {
      why = brlapi_why();
      return false;
    }
    if (brlapi__ignoreAllKeys(handle_) < 0 ||
        brlapi__acceptKeys(handle_, brlapi_rangeType_command, kPanKeys, std::size(kPanKeys)) < 0) {
      why = brlapi_why();
      return false;
    }
    taken_ = true;
    return true;
  }

  // The display's width in cells; 0 when it cannot be told.
  unsigned width() {
    unsigned x = 0, y = 0;
    if (brlapi__getDisplaySize(handle_, &x, &y) < 0) return 0;
    return x;
  }

  bool write(const std::wstring& cells) {
    return brlapi__writeWText(handle_, BRLAPI_CURSOR_OFF, cells.c_str()) >= 0;
  }

  // The next key waiting, if any; false when the connection broke.
  bool read_key(std::optional<brlapi_keyCode_t>& key) {
    brlapi_keyCode_t code = 0;
    const int got = brlapi__readKey(handle_, 0, &code);
    if (got < 0) return false;
    key.reset();
    if (got == 1) key = code;
    return true;
  }

  // Gives the display back and closes the connection.
  void close() {
    if (fd_ < 0) return;
    if (taken_) brlapi__leaveTtyMode(handle_);
    taken_ = false;
    brlapi__closeConnection(handle_);
    fd_ = -1;
  }

  int fd() const { return fd_; }

 private:
  brlapi_handle_t* handle_;
  int fd_ = -1;
  bool taken_ = false;
};

}  // namespace

struct BrailleDisplay::Shared {
  std::mutex mutex;
  std::condition_variable done;
  WakePipe wake;
  std::optional<std::string> line;  // the newest line not yet shown
  State state = State::connecting;
  std::string why;
  std::function<void()> on_change;
  bool stopping = false;
  bool worker_done = false;  // no connection is taken any more
  bool finished = false;     // the thread has given the display back
  // The opening thread's result.
  bool opening = false;
  bool opened = false;
  std::unique_ptr<Connection> opened_connection;
  std::string open_error;

  // Called with the mutex held, so that on_change is never called after
  // the display's owner has cleared it.
  void set_state(State next, std::string reason) {
    if (state == next) return;
    state = next;
    why = std::move(reason);
    if (on_change) on_change();
  }
};

namespace {

using Shared = BrailleDisplay::Shared;
using State = BrailleDisplay::State;

// Runs on a thread of its own: connecting may wait for a server that never
// answers, and then this thread waits with it.
void open_connection(std::shared_ptr<Shared> shared) {
  auto connection = std::make_unique<Connection>();
  std::string why;
  if (!connection->open(why) || !connection->take(why)) connection.reset();
  std::lock_guard lock(shared->mutex);
  // Once the program is ending nobody takes the connection: it closes here.
  if (shared->worker_done) return;
  shared->opened = true;
  shared->opened_connection = std::move(connection);
  shared->open_error = why;
  shared->wake.notify();
}

// Acts on a key of the display; false when the window did not move.
bool pan(BrailleWindow& window, brlapi_keyCode_t key) {
  switch (key & BRLAPI_KEY_CODE_MASK) {
    case BRLAPI_KEY_CMD_FWINLT:
    case BRLAPI_KEY_CMD_FWINLTSKIP:
      return window.pan_left();
    case BRLAPI_KEY_CMD_FWINRT:
    case BRLAPI_KEY_CMD_FWINRTSKIP:
      return window.pan_right();
    case BRLAPI_KEY_CMD_LNBEG:
      return window.to_start();
    case BRLAPI_KEY_CMD_LNEND:
      return window.to_end();
    default:
      return false;
  }
}

// Shows the window's view; false when the connection broke.
bool show_window(Connection& connection, BrailleWindow& window) {
  if (const unsigned cells = connection.width()) {
    window.set_width(cells);
  } else {
    return false;
  }
  return connection.write(window.view());
}

// The display's thread: connects, shows the newest line, pans on the
// display's keys, and after a loss tries again now and then. The calls to
// the server are made out of the lock, so that the game's calls never wait
// for them.
void run_display(std::shared_ptr<Shared> shared) {
  std::unique_ptr<Connection> connection;
  BrailleWindow window;
  bool shown = true;      // the window's view is on the display
  bool has_line = false;  // a line has come: until then the display is not written
  auto retry_delay = Clock::duration(kFirstRetry);
  auto next_attempt = Clock::now();
  auto open_deadline = Clock::now();

  std::unique_lock lock(shared->mutex);
  auto lose = [&](const std::string& why) {
    shared->set_state(State::missing, why);
    next_attempt = Clock::now() + retry_delay;
    retry_delay = std::min<Clock::duration>(retry_delay * 2, kLastRetry);
  };
  while (!shared->stopping) {
    if (shared->line) {
      window.show(braille_characters(*shared->line));
      shared->line.reset();
      shown = false;
      has_line = true;
    }
    if (shared->opening && shared->opened) {
      shared->opening = false;
      connection = std::move(shared->opened_connection);
      if (connection) {
        retry_delay = kFirstRetry;
        shared->set_state(State::ready, "");
        shown = !has_line;
      } else {
        lose(shared->open_error);
      }
    }
    const auto now = Clock::now();
    if (shared->opening && shared->state == State::connecting && now >= open_deadline)
      shared->set_state(State::missing, "BRLTTY does not answer");
    if (!connection && !shared->opening && now >= next_attempt) {
      try {
        shared->opening = true;
        shared->opened = false;
        open_deadline = now + kConnectLimit;
        start_quiet_thread([shared] { open_connection(shared); }).detach();
      } catch (...) {
        shared->opening = false;
        lose("no thread to connect on");
      }
      continue;
    }
    // Waits for a line, a key of the display, or the next thing to try:
    // an opening thread past its limit is waited for without one.
    std::optional<Clock::time_point> until;
    if (shared->opening) {
      if (now < open_deadline) until = open_deadline;
    } else if (!connection) {
      until = next_attempt;
    }
    int timeout = -1;
    if (until)
      timeout = static_cast<int>(
          std::clamp<long long>(std::chrono::ceil<milliseconds>(*until - now).count(), 0, 3600000));

    lock.unlock();
    bool working = true;
    if (connection && !shown) working = shown = show_window(*connection, window);
    if (working) {
      pollfd descriptors[2] = {{shared->wake.fd(), POLLIN, 0},
                               {connection ? connection->fd() : -1, POLLIN, 0}};
      poll(descriptors, 2, timeout);
      if (descriptors[0].revents & POLLIN) shared->wake.drain();
      if (connection && (descriptors[1].revents & (POLLIN | POLLHUP | POLLERR))) {
        std::optional<brlapi_keyCode_t> key;
        while ((working = connection->read_key(key)) && key) {
          if (pan(window, *key)) shown = false;
        }
      }
    }
    if (!working) connection.reset();
    lock.lock();
    if (!working) lose("BRLTTY stopped answering");
  }
  // No connection is taken from here on; one opened too late closes here.
  shared->worker_done = true;
  std::unique_ptr<Connection> late = std::move(shared->opened_connection);
  lock.unlock();
  // The display is given back as the connections close.
  late.reset();
  connection.reset();
  lock.lock();
  shared->finished = true;
  shared->done.notify_all();
}

}  // namespace

std::wstring braille_characters(std::string_view utf8) {
  std::wstring out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    int length = byte < 0x80         ? 1
                 : (byte >> 5) == 6  ? 2
                 : (byte >> 4) == 14 ? 3
                 : (byte >> 3) == 30 ? 4
                                     : 0;
    char32_t code = length == 1   ? byte
                    : length == 2 ? byte & 0x1F
                    : length == 3 ? byte & 0x0F
                                  : byte & 0x07;
    bool valid = length > 0 && i + static_cast<std::size_t>(length) <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      out += static_cast<wchar_t>(byte);
      ++i;
      continue;
    }
    out += static_cast<wchar_t>(code);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

BrailleDisplay::BrailleDisplay(std::function<void()> on_change)
    : shared_(std::make_shared<Shared>()) {
  shared_->on_change = std::move(on_change);
  try {
    worker_ = start_quiet_thread([shared = shared_] { run_display(shared); });
  } catch (...) {
    shared_->state = State::missing;
    shared_->why = "no thread to show braille on";
  }
}

BrailleDisplay::~BrailleDisplay() {
  bool done = false;
  {
    std::unique_lock lock(shared_->mutex);
    shared_->stopping = true;
    shared_->on_change = nullptr;
    shared_->wake.notify();
    done = shared_->done.wait_for(lock, kFarewellLimit, [&] { return shared_->finished; });
  }
  if (!worker_.joinable()) return;
  // A thread stuck in a call to the server keeps the shared state alive and
  // ends by itself, if ever; the program does not wait for it.
  if (done)
    worker_.join();
  else
    worker_.detach();
}

void BrailleDisplay::show(const std::string& line) {
  std::lock_guard lock(shared_->mutex);
  shared_->line = line;
  shared_->wake.notify();
}

BrailleDisplay::State BrailleDisplay::state() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->state;
}

std::string BrailleDisplay::why() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->why;
}

}  // namespace quillvane
