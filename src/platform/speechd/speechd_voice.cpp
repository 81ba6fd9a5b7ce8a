#include "platform/speechd/speechd_voice.h"

#include <libspeechd.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/latency_stamp.h"
#include "platform/quiet_thread.h"
#include "platform/speechd/speech_mailbox.h"
#include "platform/text/text.h"

namespace quillvane {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Connecting takes about 0.3 s when the daemon must be started and well under
// a millisecond when it runs; one that has not answered in 3 s is given up.
constexpr auto kConnectLimit = seconds(3);
// Every reply is waited for at most this long. libspeechd reads its replies
// on the game's connection socket, which is public (SPDConnection::socket):
// a receive and send timeout on it bounds every call, and a read that times
// out makes libspeechd close the connection's stream, which marks it broken.
// spd_open2 waits for its first reply before the socket is ours to set, so
// it runs on a thread of its own and is given up after kConnectLimit.
constexpr timeval kReplyLimit{2, 0};
// Retries after the voice is lost: 30 s, then doubling up to 5 minutes.
constexpr auto kFirstRetry = seconds(30);
constexpr auto kLastRetry = seconds(300);
// How long the program's end waits for a last line to go out.
constexpr auto kFarewellLimit = milliseconds(300);

// Closes a connection; when libspeechd has already closed its stream (a
// broken connection) the socket went with it and must not be closed twice.
void close_connection(SPDConnection* connection) {
  if (!connection) return;
  if (!connection->stream) connection->socket = -1;
  spd_close(connection);
}

}  // namespace

struct SpeechdVoice::Shared {
  std::mutex mutex;
  std::condition_variable wake;
  SpeechMailbox mailbox;
  State state = State::connecting;
  std::string why;
  std::function<void()> on_change;
  bool stopping = false;
  bool worker_done = false;
  // The opening thread's result.
  bool opening = false;
  bool opened = false;
  SPDConnection* opened_connection = nullptr;
  std::string open_error;

  // Called with the mutex held: the front-end's callback is quick, and
  // calling it under the lock means it is never called after the voice's
  // owner has cleared it.
  void set_state(State next, std::string reason) {
    if (state == next) return;
    state = next;
    why = std::move(reason);
    if (state == State::missing) mailbox.drop_line();
    if (on_change) on_change();
  }
};

namespace {

using Shared = SpeechdVoice::Shared;
using State = SpeechdVoice::State;

// Runs on a thread of its own: spd_open2 may wait for a daemon that never
// answers, and then this thread waits with it.
void open_connection(std::shared_ptr<Shared> shared) {
  char* error = nullptr;
  // Single mode: libspeechd starts no thread of its own.
  SPDConnection* connection =
      spd_open2("quillvane", "main", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
  std::string why;
  if (!connection) {
    why = error ? error : "speech-dispatcher could not be reached";
  } else if (!connection->stream) {
    // Its first reply never came: the daemon closed the connection.
    close_connection(connection);
    connection = nullptr;
    why = "speech-dispatcher closed the connection";
  } else {
    setsockopt(connection->socket, SOL_SOCKET, SO_RCVTIMEO, &kReplyLimit, sizeof kReplyLimit);
    setsockopt(connection->socket, SOL_SOCKET, SO_SNDTIMEO, &kReplyLimit, sizeof kReplyLimit);
  }
  std::free(error);
  std::lock_guard lock(shared->mutex);
  if (shared->worker_done) {
    // The program is ending and nobody will take the connection.
    close_connection(connection);
    return;
  }
  shared->opened = true;
  shared->opened_connection = connection;
  shared->open_error = why;
  shared->wake.notify_all();
}

// The languages of the voices the current synthesizer offers; empty when
// it lists none (then nothing can be said about the language).
std::vector<std::string> voice_languages(SPDConnection* connection) {
  std::vector<std::string> languages;
  SPDVoice** voices = spd_list_synthesis_voices(connection);
  if (!voices) return languages;
  for (SPDVoice** voice = voices; *voice; ++voice)
    if ((*voice)->language) languages.emplace_back((*voice)->language);
  free_spd_voices(voices);
  return languages;
}

// What the voice's thread keeps of the language between requests.
struct LanguageState {
  std::string notice;  // said before the next line when due
  bool due = false;    // no voice of the language: the notice waits
  bool told = false;   // the notice has been said (once a run)
};

// Says what the request asks; false when the connection broke.
bool carry_out(SPDConnection* connection, const SpeechRequest& request, LanguageState& language) {
  if (request.rate) spd_set_voice_rate(connection, speechd_rate(*request.rate));
  if (request.volume) spd_set_volume(connection, std::clamp(*request.volume, -100, 100));
  if (request.language) {
    const std::string code = speechd_language(request.language->code);
    spd_set_language(connection, code.c_str());
    const std::vector<std::string> languages = voice_languages(connection);
    language.notice = request.language->notice;
    language.due = !language.told && !languages.empty() && !speaks_language(languages, code);
  }
  if (request.line || request.stop) spd_cancel(connection);
  if (request.line) {
    std::string text = to_utf8(*request.line);
    // The default voice says, once, that none speaks the language.
    if (language.due && !language.notice.empty()) {
      text = to_utf8(language.notice) + "  " + text;
      language.due = false;
      language.told = true;
    }
    spd_say(connection, SPD_TEXT, text.c_str());
  }
  return connection->stream != nullptr;
}

// The voice's thread: connects, says the newest line, and after a loss
// tries again now and then.
void run_voice(std::shared_ptr<Shared> shared) {
  SPDConnection* connection = nullptr;
  // The settings last asked for, given again to every new connection.
  std::optional<int> rate, volume;
  std::optional<SpeechLanguage> asked_language;
  LanguageState language;
  auto retry_delay = Clock::duration(kFirstRetry);
  auto next_attempt = Clock::now();
  auto open_deadline = Clock::now();

  std::unique_lock lock(shared->mutex);
  for (;;) {
    if (connection && !shared->mailbox.empty()) {
      SpeechRequest request = shared->mailbox.take();
      if (request.rate) rate = request.rate;
      if (request.volume) volume = request.volume;
      if (request.language) asked_language = request.language;
      lock.unlock();
      const bool working = carry_out(connection, request, language);
      if (!working) close_connection(connection);
      lock.lock();
      if (!working) {
        connection = nullptr;
        shared->set_state(State::missing, "speech-dispatcher stopped answering");
        next_attempt = Clock::now() + retry_delay;
        retry_delay = std::min<Clock::duration>(retry_delay * 2, kLastRetry);
      }
      continue;
    }
    if (shared->stopping) break;
    if (connection) {
      shared->wake.wait(lock);
      continue;
    }
    if (shared->opening) {
      if (shared->opened) {
        shared->opening = false;
        connection = shared->opened_connection;
        shared->opened_connection = nullptr;
        if (connection) {
          retry_delay = kFirstRetry;
          // A line posted while connecting is said; lines from before a loss
          // were dropped with it. The settings are given anew.
          shared->mailbox.restore(rate, volume, asked_language);
          shared->set_state(State::ready, "");
        } else {
          shared->set_state(State::missing, shared->open_error);
          next_attempt = Clock::now() + retry_delay;
          retry_delay = std::min<Clock::duration>(retry_delay * 2, kLastRetry);
        }
        continue;
      }
      if (shared->state != State::missing) {
        if (Clock::now() >= open_deadline) {
          shared->set_state(State::missing, "speech-dispatcher does not answer");
          continue;
        }
        shared->wake.wait_until(lock, open_deadline);
      } else {
        // Given up on, still waiting for the daemon: lines cannot be said.
        shared->mailbox.drop_line();
        shared->wake.wait(lock);
      }
      continue;
    }
    if (Clock::now() >= next_attempt) {
      try {
        start_quiet_thread([shared] { open_connection(shared); }).detach();
        shared->opening = true;
        shared->opened = false;
        open_deadline = Clock::now() + kConnectLimit;
      } catch (...) {
        shared->set_state(State::missing, "no thread to connect on");
        next_attempt = Clock::now() + retry_delay;
      }
      continue;
    }
    shared->mailbox.drop_line();
    shared->wake.wait_until(lock, next_attempt);
  }
  shared->worker_done = true;
  // A connection opened too late for anyone: close it here.
  close_connection(shared->opened_connection);
  shared->opened_connection = nullptr;
  lock.unlock();
  close_connection(connection);
  lock.lock();
  shared->wake.notify_all();
}

}  // namespace

int speechd_rate(int game_rate) {
  const long scaled = 10L * game_rate;
  return static_cast<int>(std::clamp(scaled, -100L, 100L));
}

SpeechdVoice::SpeechdVoice(std::function<void()> on_change) : shared_(std::make_shared<Shared>()) {
  shared_->on_change = std::move(on_change);
  try {
    worker_ = start_quiet_thread([shared = shared_] { run_voice(shared); });
  } catch (...) {
    shared_->state = State::missing;
    shared_->why = "no thread to speak on";
  }
}

void SpeechdVoice::begin_farewell() {
  std::lock_guard lock(shared_->mutex);
  shared_->stopping = true;
  shared_->on_change = nullptr;
  shared_->wake.notify_all();
}

SpeechdVoice::~SpeechdVoice() {
  begin_farewell();
  bool done = false;
  {
    std::unique_lock lock(shared_->mutex);
    done = shared_->wake.wait_for(lock, kFarewellLimit, [&] { return shared_->worker_done; });
  }
  if (!worker_.joinable()) return;
  // A thread stuck in a call to the daemon keeps the shared state alive and
  // ends by itself, if ever; the program does not wait for it.
  if (done)
    worker_.join();
  else
    worker_.detach();
}

void SpeechdVoice::speak_purge(const std::string& text) {
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->state != State::missing) {
      shared_->mailbox.post_line(text);
      shared_->wake.notify_all();
    }
  }
  latency_stamp("line");
}

void SpeechdVoice::stop() {
  std::lock_guard lock(shared_->mutex);
  shared_->mailbox.post_stop();
  shared_->wake.notify_all();
}

void SpeechdVoice::set_rate(int rate) {
  std::lock_guard lock(shared_->mutex);
  shared_->mailbox.post_rate(rate);
  shared_->wake.notify_all();
}

void SpeechdVoice::set_language(const std::string& code, const std::string& notice) {
  std::lock_guard lock(shared_->mutex);
  shared_->mailbox.post_language({code, notice});
  shared_->wake.notify_all();
}

std::string speechd_language(const std::string& code) {
  if (code.empty() || code == "qps") return "en";
  std::string name = code;
  for (char& c : name)
    if (c == '_') c = '-';
  return name;
}

bool speaks_language(const std::vector<std::string>& voice_languages, const std::string& code) {
  const std::string base = code.substr(0, code.find('-'));
  for (const std::string& language : voice_languages) {
    const std::string voice_base = language.substr(0, language.find_first_of("-_"));
    if (voice_base.size() == base.size() &&
        std::equal(base.begin(), base.end(), voice_base.begin(),
                   [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
      return true;
  }
  return false;
}

void SpeechdVoice::set_volume(int volume) {
  std::lock_guard lock(shared_->mutex);
  shared_->mailbox.post_volume(volume);
  shared_->wake.notify_all();
}

SpeechdVoice::State SpeechdVoice::state() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->state;
}

std::string SpeechdVoice::why() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->why;
}

}  // namespace quillvane
