// Stamps for the benchmarks, on one monotonic clock: with
// QUILLVANE_SPEECH_STAMP set in the environment, latency_stamp writes
// "<what> at <nanoseconds>" on standard error; with
// QUILLVANE_FIRST_FRAME_STAMP set, first_frame_stamp writes "first frame at
// <nanoseconds>" once, when a front-end first shows the game. Otherwise they
// do nothing.
#pragma once

namespace quillvane {

void latency_stamp(const char* what);
// The first call after the game's first list or line is on screen; later
// calls do nothing.
void first_frame_stamp();

}  // namespace quillvane
