// The sound cues through SDL_mixer on one channel: a new cue cuts off the one
// still playing. Every file is loaded once and kept. Without an audio device,
// or for a missing file, playing is silent.
#pragma once

#include <map>
#include <string>

struct Mix_Chunk;

namespace quillvane {

class CuePlayer {
 public:
  // Opens the audio device; failing that the player stays silent.
  CuePlayer();
  ~CuePlayer();
  CuePlayer(const CuePlayer&) = delete;
  CuePlayer& operator=(const CuePlayer&) = delete;

  void play(const std::string& path);
  bool has_device() const { return open_; }

 private:
  bool open_ = false;
  std::map<std::string, Mix_Chunk*> loaded_;  // nullptr for a file that did not load
};

}  // namespace quillvane
