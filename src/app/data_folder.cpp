#include "app/data_folder.h"

#include <filesystem>

#include "platform/files.h"

namespace quillvane {

namespace {

#ifdef _WIN32
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kSeparator = "/";
#endif

}  // namespace

int remove_interrupted_saves(const std::string& folder) {
  int removed = 0;
  for (const char* name : kReplacedFiles)
    if (files::remove_file(files::temporary_path(folder + kSeparator + name))) ++removed;
  return removed;
}

int adopt_saves_beside_program(const std::string& folder) {
  namespace fs = std::filesystem;
  const std::string program = executable_folder();
  std::error_code error;
  if (fs::equivalent(program, folder, error)) return 0;
  for (const char* name : kSavedFiles)
    if (files::exists(folder + kSeparator + name)) return 0;
  int copied = 0;
  for (const char* name : kSavedFiles) {
    const std::string old_path = program + kSeparator + name;
    if (!files::exists(old_path)) continue;
    auto bytes = files::read_whole(old_path);
    if (bytes && files::replace_atomically(folder + kSeparator + name, *bytes)) ++copied;
  }
  return copied;
}

}  // namespace quillvane
