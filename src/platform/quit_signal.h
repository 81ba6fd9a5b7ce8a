// The quit signals (SIGINT, SIGTERM, SIGHUP) as a request to end the game
// that a front-end's wait can watch, instead of a sudden death that would
// lose the move being made: the handler only records the request and makes
// a descriptor readable.
#pragma once

namespace quillvane::quit_signal {

// Installs the handlers (once; later calls do nothing).
void install();
// Readable once a quit signal has arrived; poll it beside the front-end's input.
int fd();
// True once a quit signal has arrived.
bool requested();

}  // namespace quillvane::quit_signal
