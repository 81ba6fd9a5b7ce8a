// The sound cues through SDL_mixer on one channel: a new cue cuts off the one
// still playing. Each file is read once and kept. The audio device is opened
// for the first cue and closed again once no cue has played for a few
// seconds, so a game waiting for a key runs no audio thread. Without an audio
// device, or for a missing file, playing is silent.
#pragma once

#include <map>
#include <optional>
#include <string>

struct Mix_Chunk;

namespace quillvane {

class CuePlayer {
 public:
  CuePlayer() = default;
  ~CuePlayer();
  CuePlayer(const CuePlayer&) = delete;
  CuePlayer& operator=(const CuePlayer&) = delete;

  // Plays the WAV file at path; now is the monotonic clock in seconds.
  void play(const std::string& path, double now);
  // When close_if_idle should next be called; nullopt while the device is closed.
  std::optional<double> idle_deadline() const;
  // Closes the device when no cue has played since idle_deadline.
  void close_if_idle(double now);

 private:
  bool open_device();
  void close_device();

  bool open_ = false;
  bool unavailable_ = false;  // opening failed once: no device to play on
  double last_play_ = 0;
  std::map<std::string, std::string> files_;  // each WAV's bytes, "" when unreadable
  std::map<std::string, Mix_Chunk*> chunks_;  // decoded for the open device
};

}  // namespace quillvane
