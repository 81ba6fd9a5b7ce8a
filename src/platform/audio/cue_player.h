// The sound cues through SDL_mixer on one channel, played by a thread of its
// own so that opening a slow audio device never holds up the game: play()
// leaves the cue in a mailbox and returns. One cue at a time; a new cue cuts
// off the one still playing, and one not yet started is replaced. Each file
// is read once and kept. The device is opened for the first cue and closed
// again once no cue has played for a few seconds, so a game waiting for a
// key runs no audio thread; the cue thread then sleeps on a condition
// variable. Without an audio device, or for a missing file, playing is silent.
#pragma once

#include <memory>
#include <string>
#include <thread>

namespace quillvane {

class CuePlayer {
 public:
  CuePlayer();
  // Same as stop().
  ~CuePlayer();
  CuePlayer(const CuePlayer&) = delete;
  CuePlayer& operator=(const CuePlayer&) = delete;

  // Plays the WAV file at path.
  void play(const std::string& path);
  // The loudness of the cues played from now on, in percent; 0 plays none.
  void set_volume(int percent);
  // Closes the device and ends the thread, waiting at most about 0.3 s;
  // false when the thread was stuck in the audio device and was left behind
  // (SDL's audio must then not be shut down under it).
  bool stop();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
  bool stopped_cleanly_ = true;
};

// SDL_mixer's channel volume (0..128) for a cue volume in percent.
int mixer_volume(int percent);

}  // namespace quillvane
