#include "app/data_folder.h"

#include <filesystem>

#include "platform/files.h"

namespace quillvane {

int adopt_saves_beside_program(const std::string& folder) {
  namespace fs = std::filesystem;
  const std::string program = executable_folder();
  std::error_code error;
  if (fs::equivalent(program, folder, error)) return 0;
#ifdef _WIN32
  const std::string separator = "\\";
#else
  const std::string separator = "/";
#endif
  for (const char* name : kSavedFiles)
    if (files::exists(folder + separator + name)) return 0;
  int copied = 0;
  for (const char* name : kSavedFiles) {
    const std::string old_path = program + separator + name;
    if (!files::exists(old_path)) continue;
    auto bytes = files::read_whole(old_path);
    if (bytes && files::replace_atomically(folder + separator + name, *bytes)) ++copied;
  }
  return copied;
}

}  // namespace quillvane
