#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/data_folder.h"
#include "platform/files.h"

namespace quillvane {

std::string executable_folder() {
  std::error_code error;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return exe.parent_path().string();
}

std::string choose_data_folder() {
  std::string own = executable_folder();
  // An installed copy (under a prefix's bin folder) never writes beside its binary.
  bool installed = std::filesystem::exists(own + "/../share/quillvane/sounds") &&
                   !std::filesystem::exists(own + "/sounds");
  if (!installed && files::folder_writable(own)) return own;
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.local/share";
  } else {
    return own;
  }
  std::string folder = base + "/quillvane";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return folder;
}

}  // namespace quillvane
