#include "platform/platform.h"

#include <iostream>

#include "platform/files.h"

namespace quillvane {

char Platform::path_separator() const {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

void Platform::report_error(const std::string& text) { std::cerr << "quillvane: " << text << '\n'; }

std::unique_ptr<InputFile> Platform::open_file(const std::string& path) {
  return files::FileReader::open(path);
}

bool Platform::file_exists(const std::string& path) { return files::exists(path); }

bool Platform::write_file(const std::string& path, const std::string& bytes) {
  return files::replace_atomically(path, bytes);
}

bool Platform::append_file(const std::string& path, const std::string& bytes) {
  return files::append(path, bytes);
}

}  // namespace quillvane
