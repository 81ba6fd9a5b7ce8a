#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/item_layout.h"
#include "platform/text/text.h"

namespace quillvane {
namespace {

// The page's side of the bridge is Module.page (web/bridge.js); these are
// the only calls the game makes into it. Every text crosses with its
// length, so that nothing in it (a NUL in an item's name) cuts it short.

// Suspends the game until a page event is queued or ms have passed.
EM_ASYNC_JS(void, web_wait, (double ms), { await Module.page.wait(ms); });
// The next queued event: -1 none, a key as shift * 256 + key code, a hurry
// as kHurryEvent, a tap on the list's line for entry n as kSelectBase + n,
// or a letter beyond A to Z (ñ, ä, ß) as kCharacterBase + shift * 2^21 +
// its code point (web/events.js posts the same numbers).
EM_JS(int, web_take_event, (), { return Module.page.take(); });
EM_JS(void, web_announce, (const char* text, int length),
      { Module.page.announce(new TextDecoder().decode(HEAPU8.subarray(text, text + length))); });
EM_JS(void, web_voice_line, (const char* text, int length),
      { Module.page.voiceLine(new TextDecoder().decode(HEAPU8.subarray(text, text + length))); });
EM_JS(int, web_has_voice, (), { return Module.page.hasVoice() ? 1 : 0; });
EM_JS(void, web_speak, (const char* text, int length, double rate, double volume), {
  Module.page.speak(new TextDecoder().decode(HEAPU8.subarray(text, text + length)), rate, volume);
});
EM_JS(void, web_play_cue, (const char* path, int length),
      { Module.page.playCue(new TextDecoder().decode(HEAPU8.subarray(path, path + length))); });
EM_JS(void, web_set_cue_volume, (int percent), { Module.page.setCueVolume(percent); });
EM_JS(void, web_stop_speech, (), { Module.page.stopSpeech(); });
// The language the voice is asked to speak (a catalog's code), and the
// line it says once, in that language, when the browser has no voice for it.
EM_JS(void, web_voice_language, (const char* code, const char* notice, int length), {
  Module.page.voiceLanguage(UTF8ToString(code),
                            new TextDecoder().decode(HEAPU8.subarray(notice, notice + length)));
});
// The whole item list in one call, a record per inventory entry (split by
// \x1e): the entry's top, 1 when it is the selected one, then each piece of
// text on its line as x, what it is (0 a name, 1 the selection's, 2 a name
// in a slot) and its text (every field split by \x1f).
EM_JS(void, web_draw, (const char* rows, int length),
      { Module.page.draw(new TextDecoder().decode(HEAPU8.subarray(rows, rows + length))); });
// Keeps one file of the data folder, as it now is, in IndexedDB: 1 once
// the browser has it, 0 when it refused or did not answer in time.
EM_ASYNC_JS(int, web_keep, (const char* path),
            { return (await Module.page.keep(UTF8ToString(path))) ? 1 : 0; });
// Keeps bytes appended to a file: only they are written.
EM_ASYNC_JS(int, web_keep_appended, (const char* path, const char* bytes, int length), {
  return (await Module.page.append(UTF8ToString(path), HEAPU8.slice(bytes, bytes + length))) ? 1
                                                                                             : 0;
});
// The game waits for a key with nothing in progress.
EM_JS(void, web_game_waiting, (), { Module.page.waiting(); });
// The page's codes for a hurry (the page being hidden) and a tap on the
// list; keys are below both.
constexpr int kHurryEvent = 1 << 16;
constexpr int kSelectBase = 1 << 17;
constexpr int kCharacterBase = 1 << 24;
constexpr int kCharacterBits = 21;

// What the page shows and says of a text of the game: UTF-8, with control
// characters (a NUL in a hand-edited name) and bidirectional controls
// escaped as the terminal prints them, so that a screen reader gets the
// whole line and the list draws every row.
std::string shown(const std::string& text) { return printable_utf8(text); }
int length_of(const std::string& text) { return static_cast<int>(text.size()); }

// speechSynthesis: the game's SAPI-style rate (-10 to 10, each 10 steps
// three times as fast) becomes the API's multiplier of 0.1 to 10.
class WebVoice : public Voice {
 public:
  void speak_purge(const std::string& text) override {
    const std::string line = shown(text);
    web_speak(line.data(), length_of(line), rate_, volume_);
  }
  void set_rate(int rate) override {
    rate_ = std::clamp(std::pow(3.0, std::clamp(rate, -10, 10) / 10.0), 0.1, 10.0);
  }
  void set_volume(int volume) override {
    if (volume >= 0 && volume <= 100) volume_ = volume / 100.0;
  }
  void stop() override { web_stop_speech(); }
  void set_language(const std::string& code, const std::string& notice) override {
    web_voice_language(code.c_str(), notice.data(), length_of(notice));
  }

 private:
  double rate_ = 1;
  double volume_ = 1;
};

}  // namespace

WebPlatform::WebPlatform(std::string data_folder) : data_folder_(std::move(data_folder)) {}

WebPlatform::~WebPlatform() = default;

double WebPlatform::now() { return emscripten_get_now() / 1000.0; }

std::optional<Event> WebPlatform::next_event(double deadline) {
  for (;;) {
    const int event = web_take_event();
    if (event >= kCharacterBase) {
      // A letter with no key code of its own, as the window and the
      // terminal send it: key code 0 and the character typed.
      Event key{Event::Kind::key, 0, (event - kCharacterBase) >> kCharacterBits};
      key.character = static_cast<char32_t>((event - kCharacterBase) & ((1 << kCharacterBits) - 1));
      return key;
    }
    if (event >= kSelectBase) {
      Event select{Event::Kind::select};
      select.entry = event - kSelectBase;
      return select;
    }
    if (event == kHurryEvent) return Event{Event::Kind::hurry};
    if (event >= 0) return Event{Event::Kind::key, event % 256, event / 256};
    const double ms = (deadline - now()) * 1000.0;
    if (ms <= 0) return std::nullopt;
    if (std::isinf(deadline) && !waited_idle_) {
      waited_idle_ = true;
      web_game_waiting();
    }
    // A day at most per wait: an idle game waits for ever, a day at a time.
    web_wait(std::min(ms, 86400000.0));
  }
}

std::uint32_t WebPlatform::random_seed() { return seconds_since_midnight(); }

void WebPlatform::on_say(const std::string& text) {
  // Mode 0's lines are the browser voice's, unless the browser has none;
  // every other mode's go to the screen reader (the caption modes, and a
  // JAWS mode kept from a desktop game: a browser has no JAWS object).
  const std::string line = shown(text);
  if (speech_mode_ == kVoiceMode)
    web_voice_line(line.data(), length_of(line));
  else
    web_announce(line.data(), length_of(line));
}

void WebPlatform::show_items(const ItemView& view) {
  const std::optional<int> selected_top = layout::selected_top(view);
  std::string rows;
  std::optional<int> row_top;
  for (const layout::TextLine& line : layout::item_lines(view)) {
    if (line.y != row_top) {
      if (row_top) rows += '\x1e';
      row_top = line.y;
      rows += std::to_string(line.y) + '\x1f' + (line.y == selected_top ? '1' : '0');
    }
    // Escaped, the separators are no part of any item's name.
    const std::string text = shown(line.text);
    const int role = line.colour == layout::kGreen ? 1 : line.colour == layout::kMagenta ? 2 : 0;
    rows += '\x1f' + std::to_string(line.x) + '\x1f' + std::to_string(role) + '\x1f' + text;
  }
  web_draw(rows.data(), length_of(rows));
}

Voice* WebPlatform::make_voice() {
  if (!voice_ && web_has_voice()) voice_ = std::make_unique<WebVoice>();
  return voice_.get();
}

int WebPlatform::default_speech_mode() {
  return files::exists(data_folder_ + "/progress.ini") ? 0 : 1;
}

void WebPlatform::play_sound(const std::string& path) {
  web_play_cue(path.data(), length_of(path));
}

void WebPlatform::set_cue_volume(int percent) { web_set_cue_volume(percent); }

bool WebPlatform::write_file(const std::string& path, const std::string& bytes) {
  const auto old = files::read_whole(path);
  if (!files::replace_atomically(path, bytes)) return false;
  if (web_keep(path.c_str())) return true;
  // The browser refused the write: the game's copy goes back to what the
  // browser still holds, so a reload and this game agree.
  if (old)
    files::replace_atomically(path, *old);
  else
    std::remove(path.c_str());
  return false;
}

bool WebPlatform::append_file(const std::string& path, const std::string& bytes) {
  return files::append(path, bytes) &&
         web_keep_appended(path.c_str(), bytes.data(), length_of(bytes));
}

}  // namespace quillvane
