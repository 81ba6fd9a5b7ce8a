// The voice of speech mode 0 on Linux: speech-dispatcher through libspeechd.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace quillvane {

class SpeechdVoice : public Voice {
 public:
  // Connects to speech-dispatcher, starting it when it is not running.
  // Returns nullptr when that fails, with the reason in *why.
  static std::unique_ptr<SpeechdVoice> open(std::string* why);
  ~SpeechdVoice() override;
  SpeechdVoice(const SpeechdVoice&) = delete;
  SpeechdVoice& operator=(const SpeechdVoice&) = delete;

  // Cancels what is being said and queued, then says text.
  void speak_purge(const std::string& text) override;
  // The game's rate r becomes the voice rate 10 * r, within -100..100.
  void set_rate(int rate) override;
  void set_volume(int volume) override;

 private:
  explicit SpeechdVoice(void* connection) : connection_(connection) {}
  void* connection_;  // SPDConnection*, kept out of this header
};

// The voice rate speech-dispatcher is given for the game's rate setting.
int speechd_rate(int game_rate);

}  // namespace quillvane
