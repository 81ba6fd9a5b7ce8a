#include "app/language.h"

#include "game/run_game.h"
#include "lang/choose.h"
#include "platform/files.h"

namespace quillvane {
namespace {

// The catalog that answers code, trying its more general names after it.
std::shared_ptr<const lang::Catalog> find_catalog(const std::string& code,
                                                  const std::string& folder) {
  if (lang::is_english(code)) return std::make_shared<lang::Catalog>();
  for (const std::string& name : lang::fallbacks(code)) {
    auto bytes = files::read_whole(folder + "/" + name + "/LC_MESSAGES/quillvane.mo");
    if (!bytes) continue;
    if (auto catalog = lang::Catalog::parse(*bytes, name))
      return std::make_shared<lang::Catalog>(std::move(*catalog));
  }
  return nullptr;
}

// What the player typed, fit to be said back: printable ASCII, short.
std::string said_back(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c >= 0x20 && c < 0x7F && out.size() < 32) out += c;
  return out.empty() ? "?" : out;
}

}  // namespace

LanguageSetting choose_language(const LanguageRequest& request) {
  LanguageSetting setting;
  // The player's own choice: this run's, else the one settings.ini keeps.
  std::string asked = request.command_line;
  if (asked.empty()) {
    asked = saved_settings(files::FileReader::open(request.data_folder + "/settings.ini")).language;
  }
  if (!asked.empty()) {
    const std::string code = lang::normalize_code(asked);
    auto catalog = code.empty() ? nullptr : find_catalog(code, request.locale_folder);
    if (!catalog) {
      setting.unknown = said_back(asked);
      return setting;
    }
    setting.catalog = std::move(catalog);
    setting.keep = !request.command_line.empty();
    return setting;
  }
  // Else the first language of the environment that the game speaks.
  for (const std::string& wanted : request.environment) {
    const std::string code = lang::normalize_code(wanted);
    if (code.empty()) continue;
    if (auto catalog = find_catalog(code, request.locale_folder)) {
      setting.catalog = std::move(catalog);
      return setting;
    }
  }
  return setting;
}

}  // namespace quillvane
