// The Windows file operations. Paths arrive in the ANSI code page (the
// game's single-byte text) and are opened through the wide-character API, so
// the file bytes themselves pass through untouched.
#include <algorithm>
#include <string>
#include <vector>

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

std::unique_ptr<FileReader> FileReader::open(const std::string& path) {
  HANDLE file =
      CreateFileW(win32::to_wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<FileReader>(new FileReader(reinterpret_cast<std::intptr_t>(file)));
}

FileReader::~FileReader() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::optional<std::size_t> FileReader::read(char* buffer, std::size_t size) {
  DWORD got = 0;
  const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
  if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, wanted, &got, nullptr))
    return std::nullopt;
  return got;
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
  DWORD attributes = GetFileAttributesW(win32::to_wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string temporary_path(const std::string& path) { return path + ".tmp"; }

bool remove_file(const std::string& path) {
  // A folder, or a link to one, is left alone.
  const std::wstring wide = win32::to_wide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  return DeleteFileW(wide.c_str()) != 0;
}

bool replace_atomically(const std::string& path, const std::string& bytes) {
  std::wstring target = win32::to_wide(path);
  std::wstring temp = win32::to_wide(temporary_path(path));
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
