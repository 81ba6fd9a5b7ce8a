// What the game has asked of the voice and the voice's thread has not yet
// done. The newest line wins: a line posted while another still waits
// replaces it, since the game's every line cuts off the one before. Rate and
// volume keep their newest value until taken. Not locked: the owner guards it.
#pragma once

#include <optional>
#include <string>

namespace quillvane {

// The language asked for, and the line said once if no voice speaks it.
struct SpeechLanguage {
  std::string code;
  std::string notice;
};

struct SpeechRequest {
  std::optional<int> rate;
  std::optional<int> volume;
  std::optional<SpeechLanguage> language;
  std::optional<std::string> line;
  // Silence what is being said (a line posted later is still said).
  bool stop = false;
};

class SpeechMailbox {
 public:
  void post_line(std::string text) { waiting_.line = std::move(text); }
  // The player silenced the voice: a line not yet said is dropped too.
  void post_stop() {
    waiting_ = SpeechRequest{waiting_.rate, waiting_.volume, waiting_.language, std::nullopt, true};
  }
  void post_language(SpeechLanguage language) { waiting_.language = std::move(language); }
  void post_rate(int rate) { waiting_.rate = rate; }
  void post_volume(int volume) { waiting_.volume = volume; }
  // A line that can no longer be said (the voice is missing) is dropped;
  // the settings stay for the next connection.
  void drop_line() { waiting_.line.reset(); }
  // Settings given earlier, for a new connection: each is posted unless a
  // newer value already waits.
  void restore(std::optional<int> rate, std::optional<int> volume,
               std::optional<SpeechLanguage> language = std::nullopt) {
    if (!waiting_.rate) waiting_.rate = rate;
    if (!waiting_.volume) waiting_.volume = volume;
    if (!waiting_.language) waiting_.language = std::move(language);
  }
  bool empty() const {
    return !waiting_.rate && !waiting_.volume && !waiting_.language && !waiting_.line &&
           !waiting_.stop;
  }
  // Everything waiting, in the order to apply it: rate, volume, language,
  // then the line.
  SpeechRequest take() {
    SpeechRequest taken = std::move(waiting_);
    waiting_ = SpeechRequest{};
    return taken;
  }

 private:
  SpeechRequest waiting_;
};

}  // namespace quillvane
