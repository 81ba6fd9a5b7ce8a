// The voice of speech mode 0 on Linux: speech-dispatcher through libspeechd,
// spoken from a thread of its own so that a daemon that stalls never stalls
// the game. The game's calls only leave a request in a mailbox (the newest
// line wins) and return at once.
//
// The voice starts out connecting. A daemon that cannot be reached, or does
// not answer within a few seconds, is given up on: the voice is missing, the
// lines meanwhile are dropped (the front-end shows them instead), and
// connecting is tried again in the background, at first after 30 seconds,
// then less often. Every change of state calls on_change on the voice's
// thread; it must be quick and thread-safe (it wakes the front-end's wait).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/loss_notice.h"
#include "platform/platform.h"

namespace quillvane {

class SpeechdVoice : public Voice {
 public:
  enum class State { connecting, ready, missing };

  explicit SpeechdVoice(std::function<void()> on_change);
  // Leaves a last line at most about 0.3 s to go out, then returns; a thread
  // stuck in the daemon is left behind rather than waited for.
  ~SpeechdVoice() override;
  // Tells the voice's thread that the program is ending, without waiting:
  // the front-end can then stop its cues while the last line goes out, and
  // the destructor's wait overlaps the cues' own.
  void begin_farewell();
  SpeechdVoice(const SpeechdVoice&) = delete;
  SpeechdVoice& operator=(const SpeechdVoice&) = delete;

  // Cancels what is being said and queued, then says text.
  void speak_purge(const std::string& text) override;
  // The game's rate r becomes the voice rate 10 * r, within -100..100.
  void set_rate(int rate) override;
  void set_volume(int volume) override;
  // Asks speech-dispatcher for the language's voice; when its synthesizer
  // lists voices and none speaks the language, notice goes before the next
  // line, once.
  void set_language(const std::string& code, const std::string& notice) override;
  // Cancels what is being said and anything not yet said.
  void stop() override;

  State state() const;
  // Why the voice is missing, in a few words.
  std::string why() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

// What a front-end tells the player of its voice, each change once.
using VoiceLossNotice = LossNotice<SpeechdVoice::State>;

// The voice rate speech-dispatcher is given for the game's rate setting.
int speechd_rate(int game_rate);

// The language speech-dispatcher is asked for: a catalog's code ("de_AT")
// as speech-dispatcher names languages ("de-AT"); the pseudo-language qps
// and English alike ask for English.
std::string speechd_language(const std::string& code);

// Whether a voice of one of these languages (speech-dispatcher's names,
// "es", "es-419") speaks the language asked for (its base code, "es").
bool speaks_language(const std::vector<std::string>& voice_languages, const std::string& code);

}  // namespace quillvane
