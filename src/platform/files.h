// Plain file operations shared by every backend: whole-file reads, atomic
// whole-file replacement, appends. One implementation per operating system.
#pragma once

#include <optional>
#include <string>

namespace quillvane::files {

std::optional<std::string> read_whole(const std::string& path);
bool exists(const std::string& path);
// Writes bytes to a temporary file beside path, flushes it to disk, then
// renames it over path. On failure the old file is left as it was.
bool replace_atomically(const std::string& path, const std::string& bytes);
bool append(const std::string& path, const std::string& bytes);
// True when a file can be created in folder (used to pick the data folder).
bool folder_writable(const std::string& folder);

}  // namespace quillvane::files
