// Plays a whole game on a front-end: the game's start-up, then every event
// the front-end hands over, until the game ends the program or the input
// ends. Front-ends (the window, the terminal, the headless runner, Windows,
// the web page) run the game through this and see nothing of Form1.
#pragma once

#include "platform/platform.h"

namespace quillvane {

// Returns the exit status: 0.
int run_game(Platform& platform);

}  // namespace quillvane
