#include "platform/audio/quiet_audio.h"

#include <dlfcn.h>

namespace quillvane {

namespace {

// ALSA's snd_lib_error_handler_t.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error,
                                  const char* format, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler);

void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quiet_audio_libraries() {
  static bool done = false;
  if (done) return;
  done = true;
  // The same library SDL loads for its ALSA driver; kept loaded, so that the
  // handler stays in place for SDL's use of it.
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;
  auto set_handler =
      reinterpret_cast<AlsaSetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (set_handler) set_handler(ignore_alsa_error);
}

}  // namespace quillvane
