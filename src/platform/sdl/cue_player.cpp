#include "platform/sdl/cue_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <fstream>
#include <iterator>

namespace quillvane {

namespace {
// How long the device stays open after the last cue: long enough for the
// cues of one move (they come within a few seconds), short enough that an
// idle game soon stops its audio thread.
constexpr double kIdleSeconds = 4.0;
}  // namespace

CuePlayer::~CuePlayer() { close_device(); }

bool CuePlayer::open_device() {
  if (open_) return true;
  if (unavailable_) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    unavailable_ = true;
    return false;
  }
  // 1024 frames: short enough that a cue starts without lag, long enough
  // not to crackle.
  if (Mix_OpenAudioDevice(44100, MIX_DEFAULT_FORMAT, 2, 1024, nullptr,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    unavailable_ = true;
    return false;
  }
  Mix_AllocateChannels(1);
  open_ = true;
  return true;
}

void CuePlayer::close_device() {
  if (!open_) return;
  Mix_HaltChannel(-1);
  // Decoded for this device's format; the next device may differ.
  for (auto& [path, chunk] : chunks_)
    if (chunk) Mix_FreeChunk(chunk);
  chunks_.clear();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
}

void CuePlayer::play(const std::string& path, double now) {
  if (!open_device()) return;
  last_play_ = now;
  auto file = files_.find(path);
  if (file == files_.end()) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    file = files_.emplace(path, in.bad() ? std::string() : std::move(bytes)).first;
  }
  auto chunk = chunks_.find(path);
  if (chunk == chunks_.end()) {
    Mix_Chunk* decoded = nullptr;
    if (!file->second.empty()) {
      SDL_RWops* stream =
          SDL_RWFromConstMem(file->second.data(), static_cast<int>(file->second.size()));
      if (stream) decoded = Mix_LoadWAV_RW(stream, 1);
    }
    chunk = chunks_.emplace(path, decoded).first;
  }
  Mix_HaltChannel(0);
  if (chunk->second) Mix_PlayChannel(0, chunk->second, 0);
}

std::optional<double> CuePlayer::idle_deadline() const {
  if (!open_) return std::nullopt;
  return last_play_ + kIdleSeconds;
}

void CuePlayer::close_if_idle(double now) {
  if (!open_ || now < last_play_ + kIdleSeconds) return;
  // A cue still sounding keeps the device for another round.
  if (Mix_Playing(-1)) {
    last_play_ = now;
    return;
  }
  close_device();
}

}  // namespace quillvane
