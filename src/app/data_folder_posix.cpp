#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "app/data_folder.h"
#include "app/language.h"
#include "lang/choose.h"

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

#ifdef __EMSCRIPTEN__
namespace {
// The node runner's own folder: its script's, the second word of node's
// command line (the real file system is the program's under node).
std::string node_script_folder() {
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  std::string node, script;
  std::getline(file, node, '\0');
  std::getline(file, script, '\0');
  std::error_code error;
  const auto path = std::filesystem::absolute(script, error);
  return error || script.empty() ? std::string(".") : path.parent_path().string();
}
}  // namespace
#endif

std::string program_locale_folder() {
#ifdef __EMSCRIPTEN__
  const std::string own = node_script_folder();
#else
  const std::string own = executable_folder();
#endif
  std::error_code error;
  if (std::filesystem::is_directory(own + "/locale", error)) return own + "/locale";
  return own + "/../share/locale";
}

std::vector<std::string> system_languages() {
  return lang::environment_languages([](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
  });
}

}  // namespace quillvane
