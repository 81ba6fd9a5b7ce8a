// The pieces that keep speech off the game's thread: the mailbox in which the
// newest line wins, the wake-up pipe, and the voice's behaviour with a
// speech-dispatcher that accepts and never answers.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/speechd/speech_mailbox.h"
#include "platform/speechd/speechd_voice.h"
#include "platform/wake_pipe.h"

namespace quillvane {
namespace {

TEST(SpeechMailbox, NewestLineWinsAndQueuedLinesAreDropped) {
  SpeechMailbox mailbox;
  EXPECT_TRUE(mailbox.empty());
  mailbox.post_line("Dirt, you have 2.");
  mailbox.post_line("Water, you have 2.");
  mailbox.post_line("Wind, you have 4.");
  SpeechRequest taken = mailbox.take();
  ASSERT_TRUE(taken.line.has_value());
  EXPECT_EQ(*taken.line, "Wind, you have 4.");
  EXPECT_TRUE(mailbox.empty());
  EXPECT_FALSE(mailbox.take().line.has_value());
}

TEST(SpeechMailbox, AStopDropsTheWaitingLineAndALaterLineIsStillSaid) {
  SpeechMailbox mailbox;
  mailbox.post_line("New discovery!  Combining Dirt and Water creates Mud and Mud.");
  mailbox.post_stop();
  EXPECT_FALSE(mailbox.empty());
  const SpeechRequest stopped = mailbox.take();
  EXPECT_TRUE(stopped.stop);
  EXPECT_FALSE(stopped.line.has_value());
  EXPECT_TRUE(mailbox.empty());
  mailbox.post_stop();
  mailbox.post_line("Menu");
  const SpeechRequest both = mailbox.take();
  EXPECT_TRUE(both.stop);
  EXPECT_EQ(both.line.value_or(""), "Menu");
}

TEST(SpeechMailbox, SettingsKeepTheirNewestValueBesideTheLine) {
  SpeechMailbox mailbox;
  mailbox.post_rate(7);
  mailbox.post_line("Sapi rate raised to 8.");
  mailbox.post_rate(8);
  mailbox.post_volume(100);
  SpeechRequest taken = mailbox.take();
  EXPECT_EQ(taken.rate, 8);
  EXPECT_EQ(taken.volume, 100);
  EXPECT_EQ(taken.line, "Sapi rate raised to 8.");
}

TEST(SpeechMailbox, DroppingALineKeepsTheSettings) {
  SpeechMailbox mailbox;
  mailbox.post_rate(3);
  mailbox.post_line("Welcome");
  mailbox.drop_line();
  EXPECT_FALSE(mailbox.empty());
  SpeechRequest taken = mailbox.take();
  EXPECT_EQ(taken.rate, 3);
  EXPECT_FALSE(taken.line.has_value());
}

TEST(SpeechMailbox, RestoredSettingsNeverOverrideNewerOnes) {
  SpeechMailbox mailbox;
  mailbox.post_rate(9);
  mailbox.restore(7, 100);
  SpeechRequest taken = mailbox.take();
  EXPECT_EQ(taken.rate, 9);
  EXPECT_EQ(taken.volume, 100);
  mailbox.restore(std::nullopt, std::nullopt);
  EXPECT_TRUE(mailbox.empty());
}

bool readable(int fd, int timeout_ms) {
  pollfd descriptor{fd, POLLIN, 0};
  return poll(&descriptor, 1, timeout_ms) == 1 && (descriptor.revents & POLLIN);
}

TEST(WakePipe, NotifyWakesAPollUntilDrained) {
  WakePipe pipe;
  ASSERT_GE(pipe.fd(), 0);
  EXPECT_FALSE(readable(pipe.fd(), 0));
  std::thread other([&] { pipe.notify(); });
  EXPECT_TRUE(readable(pipe.fd(), 5000));
  other.join();
  pipe.drain();
  EXPECT_FALSE(readable(pipe.fd(), 0));
}

TEST(WakePipe, ManyNotifiesNeverBlockAndOneDrainEmptiesThem) {
  WakePipe pipe;
  // Far more than a pipe holds: the writes that do not fit are refused.
  for (int i = 0; i < 200000; ++i) pipe.notify();
  EXPECT_TRUE(readable(pipe.fd(), 0));
  pipe.drain();
  EXPECT_FALSE(readable(pipe.fd(), 0));
}

TEST(VoiceLossNotice, TellsEachLossAndEachReturnOnce) {
  using State = SpeechdVoice::State;
  using Change = VoiceLossNotice::Change;
  // The voice's states as a front-end sees them, each with the change it
  // must tell and whether the lines then go elsewhere: nothing while
  // connecting, a loss once, a return once.
  struct Step {
    State state;
    Change change;
    bool missing;
  };
  const Step steps[] = {
      {State::connecting, Change::none, false}, {State::missing, Change::lost, true},
      {State::missing, Change::none, true},     {State::connecting, Change::none, true},
      {State::missing, Change::none, true},     {State::ready, Change::back, false},
      {State::ready, Change::none, false},      {State::missing, Change::lost, true},
  };
  VoiceLossNotice notice;
  EXPECT_FALSE(notice.missing());
  int number = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE("step " + std::to_string(++number));
    EXPECT_EQ(notice.check(step.state), step.change);
    EXPECT_EQ(notice.missing(), step.missing);
  }
}

// A Unix socket that accepts connections and never answers them.
class SilentDaemon {
 public:
  SilentDaemon() {
    char folder[] = "/tmp/quillvane-silent-XXXXXX";
    folder_ = mkdtemp(folder);
    path_ = folder_ + "/speechd.sock";
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path_.copy(address.sun_path, sizeof address.sun_path - 1);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 8);
    accepter_ = std::thread([this] {
      for (;;) {
        const int client = accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        accepted_.fetch_add(1);
        clients_[accepted_.load() % 8] = client;  // kept open, never read
      }
    });
  }
  ~SilentDaemon() {
    shutdown(listener_, SHUT_RDWR);
    close(listener_);
    accepter_.join();
    unlink(path_.c_str());
    rmdir(folder_.c_str());
  }
  const std::string& path() const { return path_; }
  int accepted() const { return accepted_.load(); }

 private:
  std::string folder_, path_;
  int listener_ = -1;
  std::thread accepter_;
  std::atomic<int> accepted_{0};
  int clients_[8] = {};
};

TEST(SpeechdVoice, ASilentDaemonIsGivenUpOnWithoutBlockingTheCaller) {
  SilentDaemon daemon;
  setenv("SPEECHD_ADDRESS", ("unix_socket:" + daemon.path()).c_str(), 1);
  std::atomic<int> changes{0};
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  {
    SpeechdVoice voice([&] { changes.fetch_add(1); });
    EXPECT_EQ(voice.state(), SpeechdVoice::State::connecting);
    voice.set_rate(7);
    voice.set_volume(100);
    for (int i = 0; i < 1000; ++i) voice.speak_purge("line " + std::to_string(i));
    // Each call only leaves the line in the mailbox: a call held by the
    // daemon would have waited out the 3 s limit on connecting.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    while (voice.state() != SpeechdVoice::State::missing &&
           Clock::now() - start < std::chrono::seconds(20))
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(voice.state(), SpeechdVoice::State::missing);
    EXPECT_EQ(changes.load(), 1);
    EXPECT_EQ(voice.why(), "speech-dispatcher does not answer");
    EXPECT_EQ(daemon.accepted(), 1);
    voice.speak_purge("said while missing");
  }
  unsetenv("SPEECHD_ADDRESS");
}

}  // namespace
}  // namespace quillvane
