// Stamps for the speech latency benchmark: with QUILLVANE_SPEECH_STAMP set in
// the environment, each call writes "<what> at <nanoseconds>" (monotonic
// clock) on standard error; otherwise it does nothing.
#pragma once

namespace quillvane {

void latency_stamp(const char* what);

}  // namespace quillvane
