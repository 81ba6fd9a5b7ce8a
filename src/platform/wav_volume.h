// A WAV file's samples made quieter, for a sound player that has no volume
// of its own (the Windows build's sndPlaySound).
#pragma once

#include <string>

namespace quillvane {

// The WAV file's bytes with every 16-bit PCM sample scaled to percent
// (0..100) of its value. Anything else (8-bit, a damaged file) comes back
// unchanged, so it plays as before.
std::string wav_at_volume(std::string wav, int percent);

}  // namespace quillvane
