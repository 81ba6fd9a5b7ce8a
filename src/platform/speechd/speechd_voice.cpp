#include "platform/speechd/speechd_voice.h"

#include <libspeechd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/speechd/text.h"

namespace quillvane {

namespace {
SPDConnection* as_connection(void* connection) { return static_cast<SPDConnection*>(connection); }
}  // namespace

int speechd_rate(int game_rate) {
  const long scaled = 10L * game_rate;
  return static_cast<int>(std::clamp(scaled, -100L, 100L));
}

std::unique_ptr<SpeechdVoice> SpeechdVoice::open(std::string* why) {
  char* error = nullptr;
  // Single mode: no callback thread, everything stays on the game's thread.
  SPDConnection* connection =
      spd_open2("quillvane", "main", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
  if (!connection) {
    if (why) *why = error ? error : "speech-dispatcher could not be reached";
    std::free(error);
    return nullptr;
  }
  std::free(error);
  return std::unique_ptr<SpeechdVoice>(new SpeechdVoice(connection));
}

// The last line (a farewell, a damaged-file message) is left to finish.
SpeechdVoice::~SpeechdVoice() { spd_close(as_connection(connection_)); }

void SpeechdVoice::speak_purge(const std::string& text) {
  spd_cancel(as_connection(connection_));
  spd_say(as_connection(connection_), SPD_TEXT, to_utf8(text).c_str());
}

void SpeechdVoice::set_rate(int rate) {
  spd_set_voice_rate(as_connection(connection_), speechd_rate(rate));
}

void SpeechdVoice::set_volume(int volume) {
  spd_set_volume(as_connection(connection_), std::clamp(volume, -100, 100));
}

}  // namespace quillvane
