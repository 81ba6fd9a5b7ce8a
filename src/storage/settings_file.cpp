// settings.ini: the player's comforts that outlive a game, in the game's
// text format: the cue volume, the braille setting and the language kept.
#include "storage/files.h"

namespace quillvane {
namespace {

// A language code as the file may keep it: letters, digits and "_", short.
bool language_code(std::string_view text) {
  if (text.empty() || text.size() > 16) return false;
  for (char c : text) {
    const bool fits =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!fits) return false;
  }
  return true;
}

}  // namespace

std::string write_settings(const SettingsRecord& settings) {
  TextWriter file;
  file.number(settings.cuevolume);
  if (settings.braille != 0 || !settings.language.empty()) file.number(settings.braille);
  if (!settings.language.empty()) file.line(settings.language);
  return file.bytes();
}

SettingsRecord read_settings(ByteSource& bytes) {
  SettingsRecord settings;
  TextReader file(bytes);
  // An over-long line holds nothing the game keeps: its default, and the
  // next line is read after it.
  auto next_line = [&file] {
    auto line = file.line();
    if (file.too_long()) file.pass_long_line();
    return line;
  };
  if (auto line = next_line()) {
    auto volume = parse_number(*line, 0, 100);
    if (volume && *volume % 25 == 0) settings.cuevolume = static_cast<int>(*volume);
  }
  if (auto line = next_line()) {
    if (auto braille = parse_number(*line, kInt32Min, kInt32Max))
      settings.braille = static_cast<int>(*braille);
  }
  if (auto language = next_line(); language && language_code(*language))
    settings.language = *language;
  return settings;
}

SettingsRecord read_settings(std::string_view bytes) {
  StringSource source(bytes);
  return read_settings(source);
}

}  // namespace quillvane
