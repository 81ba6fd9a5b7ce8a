// Where the game keeps its files, and the one-game-per-folder rule.
#pragma once

#include <string>

namespace quillvane {

// The folder the program file is in, without a trailing separator.
std::string executable_folder();

// The data folder when --data-dir is not given. On Linux the per-user data
// folder ($XDG_DATA_HOME/quillvane, else ~/.local/share/quillvane), which
// survives a rebuilt or deleted build tree; on Windows the program's own
// folder (the portable zip), or %APPDATA%\Quillvane when that folder cannot
// be written. Empty when no folder can be named.
std::string default_data_folder();

// The names of the files the game keeps in its data folder.
inline constexpr const char* kSavedFiles[] = {"progress.ini", "achievements.ini", "mylegacy.txt",
                                              "log.txt", "cheat.ini"};

// A player whose saves lie beside the program (an older build kept them
// there) keeps them: when folder holds none of the saved files and the
// program's folder holds some, they are copied over once. The old ones stay
// where they are. Returns how many files were copied.
int adopt_saves_beside_program(const std::string& folder);

}  // namespace quillvane
