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

// The files the game saves whole, each through a temporary file of its own
// that is renamed over it (files::temporary_path).
inline constexpr const char* kReplacedFiles[] = {"progress.ini", "achievements.ini", "mylegacy.txt",
                                                 "settings.ini"};

// A game killed in the middle of a save leaves that save's temporary file
// behind. Removes them for the files of folder: exactly the names the saves
// write, nothing else. Only for the game that holds the folder's lock, before
// anything reads the folder. Returns how many were removed.
int remove_interrupted_saves(const std::string& folder);

// A player whose saves lie beside the program (an older build kept them
// there) keeps them: when folder holds none of the saved files and the
// program's folder holds some, they are copied over once. The old ones stay
// where they are. Returns how many files were copied.
int adopt_saves_beside_program(const std::string& folder);

}  // namespace quillvane
