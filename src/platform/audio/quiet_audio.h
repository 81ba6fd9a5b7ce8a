// Keeps the audio libraries from printing into the player's terminal.
#pragma once

namespace quillvane {

// ALSA prints its errors (no sound card, a broken configuration) straight to
// standard error, which a console screen reader then reads out line by line.
// Gives ALSA a silent error handler; call it before SDL opens audio. Does
// nothing where ALSA is not installed. Safe to call more than once.
void quiet_audio_libraries();

}  // namespace quillvane
