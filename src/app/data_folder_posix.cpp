#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/data_folder.h"

namespace quillvane {

std::string executable_folder() {
  std::error_code error;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return exe.parent_path().string();
}

std::string default_data_folder() {
  // XDG_DATA_HOME counts only when it is an absolute path.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
    return std::string(xdg) + "/quillvane";
  std::string home;
  if (const char* value = std::getenv("HOME"); value && *value) {
    home = value;
  } else if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
    home = entry->pw_dir;
  }
  if (home.empty()) return "";
  return home + "/.local/share/quillvane";
}

}  // namespace quillvane
