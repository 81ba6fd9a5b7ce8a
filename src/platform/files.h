// Plain file operations shared by every backend: whole-file reads, atomic
// whole-file replacement, appends. One implementation per operating system.
#pragma once

#include <cstdint>
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

// One data folder, one game: an operating-system lock on the folder, held
// for as long as this object lives and released by the system when the
// process ends in any way (a kill -9 leaves no stale lock).
class FolderLock {
 public:
  enum class State {
    held,       // this process holds the folder
    busy,       // another running copy holds it
    unlockable  // no lock can be taken here (the game plays on without one)
  };
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  State state() const { return state_; }

 private:
  State state_ = State::unlockable;
  // A descriptor (POSIX) or a HANDLE (Windows), or -1.
  std::intptr_t handle_ = -1;
};

}  // namespace quillvane::files
