// Plays a whole game on a front-end: the game's start-up, then every event
// the front-end hands over, until the game ends the program or the input
// ends. Front-ends (the window, the terminal, the headless runner, Windows,
// the web page) run the game through this and see nothing of Form1.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillvane {

// Returns the exit status: 0.
int run_game(Platform& platform);

// Checks saved files as a game starting with them would read them: "" when
// the game takes both, else the name ("progress.ini" or "achievements.ini")
// of the first one it would refuse. A file that is absent is no refusal.
// The web page checks the files a player loads with it before keeping them.
std::string refused_saved_file(const std::optional<std::string>& progress,
                               const std::optional<std::string>& achievements);

}  // namespace quillvane
