#include "lang/choose.h"

namespace quillvane::lang {
namespace {

bool letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool digit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string normalize_code(std::string_view raw) {
  // The encoding and the modifier are no part of a catalog's name.
  raw = raw.substr(0, raw.find_first_of(".@"));
  std::string code;
  std::size_t at = 0;
  while (at < raw.size() && letter(raw[at])) code += lower(raw[at++]);
  if (code.size() < 2 || code.size() > 3) return "";
  if (at == raw.size()) return code;
  if (raw[at] != '_' && raw[at] != '-') return "";
  ++at;
  std::string region;
  while (at < raw.size() && (letter(raw[at]) || digit(raw[at]))) region += upper(raw[at++]);
  if (at != raw.size() || region.empty() || region.size() > 8) return "";
  return code + "_" + region;
}

std::vector<std::string> fallbacks(const std::string& code) {
  std::vector<std::string> names{code};
  const std::size_t underscore = code.find('_');
  if (underscore != std::string::npos) names.push_back(code.substr(0, underscore));
  return names;
}

bool is_english(std::string_view code) { return code == "en" || code.substr(0, 3) == "en_"; }

std::vector<std::string> environment_languages(
    const std::function<std::optional<std::string>(const char*)>& variable) {
  std::vector<std::string> codes;
  if (auto list = variable("LANGUAGE")) {
    std::string_view rest = *list;
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      if (std::string code = normalize_code(rest.substr(0, colon)); !code.empty())
        codes.push_back(code);
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    auto value = variable(name);
    if (!value || value->empty()) continue;
    if (std::string code = normalize_code(*value); !code.empty()) codes.push_back(code);
    break;
  }
  return codes;
}

}  // namespace quillvane::lang
