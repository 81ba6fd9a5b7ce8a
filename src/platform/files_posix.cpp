#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"

namespace quillvane::files {
namespace {

bool write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string folder_of(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a path finally names: a symbolic link is followed, hop by hop,
// to the file it points at, so that a save replaces the target and leaves
// the link in place. A path that is no link is its own target.
std::string final_target(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<std::size_t>(n) >= link.size()) return path;
    link.resize(static_cast<std::size_t>(n));
    // A relative link is relative to the folder the link is in.
    path = link.front() == '/' ? link : folder_of(path) + "/" + link;
  }
  return path;
}

}  // namespace

std::unique_ptr<FileReader> FileReader::open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::unique_ptr<FileReader>(new FileReader(fd));
}

FileReader::~FileReader() { ::close(static_cast<int>(handle_)); }

std::optional<std::size_t> FileReader::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return std::nullopt;
  }
}

std::optional<std::string> read_whole(const std::string& path) {
  auto file = FileReader::open(path);
  if (!file) return std::nullopt;
  std::string out;
  std::vector<char> buffer(65536);
  while (auto n = file->read(buffer.data(), buffer.size())) {
    if (*n == 0) return out;
    out.append(buffer.data(), *n);
  }
  return std::nullopt;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string temporary_path(const std::string& path) {
  // The temporary file stands beside the file it replaces, so the rename
  // stays within one file system.
  return final_target(path) + ".tmp";
}

bool remove_file(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool replace_atomically(const std::string& named, const std::string& bytes) {
  const std::string path = final_target(named);
  const std::string temp = temporary_path(path);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = write_all(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  int dir = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool append(const std::string& path, const std::string& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = write_all(fd, bytes);
  return (::close(fd) == 0) && ok;
}

bool folder_writable(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// The lock is flock on the folder itself: nothing is written into it, a
// read-only folder can be locked too, and the lock goes with the process.
FolderLock::FolderLock(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    handle_ = fd;
    state_ = State::held;
    return;
  }
  if (errno == EWOULDBLOCK) state_ = State::busy;
  ::close(fd);
}

FolderLock::~FolderLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace quillvane::files
