// Plays a whole game on a front-end: the game's start-up, then every event
// the front-end hands over, until the game ends the program or the input
// ends. Front-ends (the window, the terminal, the headless runner, Windows,
// the web page) run the game through this and see nothing of Form1.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "storage/files.h"

namespace quillvane {

// Returns the exit status: 0.
int run_game(Platform& platform);

// Checks saved files as a game starting with them would read them: "" when
// the game takes both, else the name ("progress.ini" or "achievements.ini")
// of the first one it would refuse (damaged, or failing to read). A file
// that is absent (nullptr) is no refusal. The web page checks the files a
// player loads with it before keeping them.
std::string refused_saved_file(std::unique_ptr<InputFile> progress,
                               std::unique_ptr<InputFile> achievements);

// The settings a game starting with this settings.ini would keep (nullptr,
// or a file that fails to read: the defaults).
SettingsRecord saved_settings(std::unique_ptr<InputFile> file);

}  // namespace quillvane
