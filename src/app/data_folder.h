#pragma once

#include <string>

namespace quillvane {

// The folder the program file is in, without a trailing separator.
std::string executable_folder();
// The game's data folder: the program's own folder when it can be written,
// otherwise the per-user data folder (created when needed).
std::string choose_data_folder();

}  // namespace quillvane
