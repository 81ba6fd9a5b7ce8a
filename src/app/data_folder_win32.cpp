// Where the Windows build finds its sounds and keeps its files: beside
// quillvane.exe, or in %APPDATA%\Quillvane when that folder is read-only
// (a copy under Program Files).
#include <string>

#include "app/data_folder.h"
#include "app/language.h"
#include "platform/files.h"
#include "platform/text/code_page.h"

namespace quillvane {
namespace {

std::wstring module_folder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // truncated: try a longer buffer
  }
  auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return path.substr(0, slash);
}

}  // namespace

std::string executable_folder() { return win32::path_in_code_page(module_folder()); }

std::string default_data_folder() {
  std::string own = executable_folder();
  if (files::folder_writable(own)) return own;
  DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
  if (size == 0) return own;
  std::wstring roaming(size, L'\0');
  DWORD length = GetEnvironmentVariableW(L"APPDATA", roaming.data(), size);
  if (length == 0 || length >= size) return own;
  roaming.resize(length);
  return win32::path_in_code_page(roaming + L"\\Quillvane");
}

std::string program_locale_folder() { return executable_folder() + "\\locale"; }

std::vector<std::string> system_languages() {
  // The user's interface languages, most wanted first ("es-ES", "en-US").
  ULONG count = 0;
  ULONG size = 0;
  std::vector<std::string> codes;
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0)
    return codes;
  std::wstring names(size, L'\0');
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) return codes;
  for (std::size_t at = 0; at < names.size() && names[at] != L'\0';) {
    const std::size_t end = names.find(L'\0', at);
    std::string code;
    for (std::size_t i = at; i < end; ++i)
      code += static_cast<char>(names[i] < 128 ? names[i] : '?');
    codes.push_back(code);
    at = end + 1;
  }
  return codes;
}

}  // namespace quillvane
