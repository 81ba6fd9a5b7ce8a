#include "platform/audio/cue_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>

#include "platform/quiet_thread.h"

namespace quillvane {

namespace {

using Clock = std::chrono::steady_clock;

// How long the device stays open after the last cue: long enough for the
// cues of one move (they come within a few seconds), short enough that an
// idle game soon stops its audio thread.
constexpr auto kIdle = std::chrono::seconds(4);
// How long the program's end waits for the device to close.
constexpr auto kStopLimit = std::chrono::milliseconds(300);

// The audio device and the decoded cues; used only on the cue thread.
class Device {
 public:
  ~Device() { close(); }

  void play(const std::string& path, int volume) {
    // Sounds off: the cue still cuts off the one before, and plays nothing.
    if (volume <= 0) {
      if (open_) Mix_HaltChannel(0);
      return;
    }
    if (!open()) return;
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
    Mix_Volume(0, mixer_volume(volume));
    if (chunk->second) Mix_PlayChannel(0, chunk->second, 0);
  }

  bool is_open() const { return open_; }
  bool playing() const { return open_ && Mix_Playing(-1); }

  void close() {
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

 private:
  bool open() {
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

  bool open_ = false;
  bool unavailable_ = false;                  // opening failed once: no device to play on
  std::map<std::string, std::string> files_;  // each WAV's bytes, "" when unreadable
  std::map<std::string, Mix_Chunk*> chunks_;  // decoded for the open device
};

}  // namespace

struct CuePlayer::Shared {
  std::mutex mutex;
  std::condition_variable wake;
  std::optional<std::string> next;  // the newest cue not yet started
  int volume = 100;                 // in percent, for the cues from the next one on
  bool stopping = false;
  bool done = false;
};

namespace {

void run_cues(std::shared_ptr<CuePlayer::Shared> shared) {
  Device device;
  auto last_play = Clock::now();
  std::unique_lock lock(shared->mutex);
  for (;;) {
    if (shared->next) {
      const std::string path = std::move(*shared->next);
      const int volume = shared->volume;
      shared->next.reset();
      lock.unlock();
      device.play(path, volume);
      last_play = Clock::now();
      lock.lock();
      continue;
    }
    if (shared->stopping) break;
    if (!device.is_open()) {
      shared->wake.wait(lock);
      continue;
    }
    if (Clock::now() < last_play + kIdle) {
      shared->wake.wait_until(lock, last_play + kIdle);
      continue;
    }
    lock.unlock();
    // A cue still sounding keeps the device for another round.
    if (device.playing())
      last_play = Clock::now();
    else
      device.close();
    lock.lock();
  }
  lock.unlock();
  device.close();
  // SDL keeps per-thread data (its error text) for a thread it did not
  // start; it is freed here, not left behind when the thread ends.
  SDL_TLSCleanup();
  lock.lock();
  shared->done = true;
  shared->wake.notify_all();
}

}  // namespace

CuePlayer::CuePlayer() : shared_(std::make_shared<Shared>()) {
  try {
    worker_ = start_quiet_thread([shared = shared_] { run_cues(shared); });
  } catch (...) {
    // No thread: the game plays on without cues.
  }
}

CuePlayer::~CuePlayer() { stop(); }

int mixer_volume(int percent) { return (std::clamp(percent, 0, 100) * MIX_MAX_VOLUME + 50) / 100; }

void CuePlayer::set_volume(int percent) {
  std::lock_guard lock(shared_->mutex);
  shared_->volume = std::clamp(percent, 0, 100);
}

void CuePlayer::play(const std::string& path) {
  std::lock_guard lock(shared_->mutex);
  shared_->next = path;
  shared_->wake.notify_all();
}

bool CuePlayer::stop() {
  if (!worker_.joinable()) return stopped_cleanly_;
  bool done = false;
  {
    std::unique_lock lock(shared_->mutex);
    shared_->stopping = true;
    shared_->next.reset();
    shared_->wake.notify_all();
    done = shared_->wake.wait_for(lock, kStopLimit, [&] { return shared_->done; });
  }
  if (done) {
    worker_.join();
  } else {
    worker_.detach();
    stopped_cleanly_ = false;
  }
  return stopped_cleanly_;
}

}  // namespace quillvane
