// The Windows file operations. Paths arrive in the ANSI code page (the
// game's single-byte text) and are opened through the wide-character API, so
// the file bytes themselves pass through untouched.
#include <algorithm>
#include <string>

#include "platform/files.h"
#include "platform/text/code_page.h"

namespace quillvane::files {
namespace {

// Closes a file handle when the scope ends.
struct FileHandle {
  HANDLE handle;
  explicit FileHandle(HANDLE h) : handle(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle != INVALID_HANDLE_VALUE; }
  bool close() {
    if (!valid()) return false;
    bool ok = CloseHandle(handle) != 0;
    handle = INVALID_HANDLE_VALUE;
    return ok;
  }
};

bool write_all(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

}  // namespace

std::optional<std::string> read_whole(const std::string& path) {
  FileHandle file(CreateFileW(win32::to_wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::string out;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.handle, buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    out.append(buffer, got);
  }
  return out;
}

bool exists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(win32::to_wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool replace_atomically(const std::string& path, const std::string& bytes) {
  std::wstring target = win32::to_wide(path);
  std::wstring temp = target + L".tmp";
  {
    FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    bool ok = write_all(file.handle, bytes) && FlushFileBuffers(file.handle);
    ok = file.close() && ok;
    if (!ok) {
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  // The rename is the commit point: the old file or the new one, never a
  // torn one. Write-through returns only once the rename is on disk.
  if (!MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool append(const std::string& path, const std::string& bytes) {
  FileHandle file(CreateFileW(win32::to_wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  bool ok = write_all(file.handle, bytes);
  return file.close() && ok;
}

bool folder_writable(const std::string& folder) {
  // Only trying tells: access rights, a read-only medium and Program Files
  // all show up as a file that cannot be created.
  std::wstring probe = win32::to_wide(folder) + L"\\quillvane-write-test-" +
                       std::to_wstring(GetCurrentProcessId()) + L".tmp";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Windows cannot lock a folder: the lock is quillvane.lock inside it, open
// for this process alone and locked with LockFileEx. The system closes the
// handle (removing the lock and the file) when the process ends.
FolderLock::FolderLock(const std::string& folder) {
  std::wstring path = win32::to_wide(folder) + L"\\quillvane.lock";
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED whole{};
  if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
    handle_ = reinterpret_cast<std::intptr_t>(file);
    state_ = State::held;
    return;
  }
  if (GetLastError() == ERROR_LOCK_VIOLATION) state_ = State::busy;
  CloseHandle(file);
}

FolderLock::~FolderLock() {
  if (state_ == State::held) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace quillvane::files
