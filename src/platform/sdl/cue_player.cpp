#include "platform/sdl/cue_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace quillvane {

CuePlayer::CuePlayer() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  // 1024 frames: short enough that a cue starts without lag, long enough
  // not to crackle.
  if (Mix_OpenAudioDevice(44100, MIX_DEFAULT_FORMAT, 2, 1024, nullptr,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  Mix_AllocateChannels(1);
  open_ = true;
}

CuePlayer::~CuePlayer() {
  if (!open_) return;
  Mix_HaltChannel(-1);
  for (auto& [path, chunk] : loaded_)
    if (chunk) Mix_FreeChunk(chunk);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void CuePlayer::play(const std::string& path) {
  if (!open_) return;
  auto found = loaded_.find(path);
  if (found == loaded_.end()) found = loaded_.emplace(path, Mix_LoadWAV(path.c_str())).first;
  Mix_HaltChannel(0);
  if (found->second) Mix_PlayChannel(0, found->second, 0);
}

}  // namespace quillvane
