// Plain file operations shared by every backend: reads a piece at a time or
// whole, atomic whole-file replacement, appends. One implementation per
// operating system.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillvane::files {

// A file open for reading from its start; closed with the object.
class FileReader final : public InputFile {
 public:
  // nullptr when the file does not exist or cannot be opened.
  static std::unique_ptr<FileReader> open(const std::string& path);
  ~FileReader() override;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  std::optional<std::size_t> read(char* buffer, std::size_t size) override;

 private:
  // A descriptor (POSIX) or a HANDLE (Windows).
  explicit FileReader(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_;
};

std::optional<std::string> read_whole(const std::string& path);
bool exists(const std::string& path);
// Writes bytes to temporary_path(path), flushes it to disk, then renames it
// over path. On failure the old file is left as it was.
bool replace_atomically(const std::string& path, const std::string& bytes);
// The temporary file a save of path writes before its rename: beside the
// file it replaces (through symbolic links, beside the file they point at).
std::string temporary_path(const std::string& path);
// Removes a file (a symbolic link itself, never what it points at); a
// folder is left alone. True when something was removed.
bool remove_file(const std::string& path);
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
