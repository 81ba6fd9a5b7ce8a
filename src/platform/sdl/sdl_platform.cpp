#include "platform/sdl/sdl_platform.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "lang/format.h"
#include "platform/audio/quiet_audio.h"
#include "platform/clock.h"
#include "platform/item_layout.h"
#include "platform/latency_stamp.h"
#include "platform/quiet_thread.h"
#include "platform/quit_signal.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/text/text.h"

namespace quillvane {

namespace {

// The list is drawn in DejaVu Sans Bold at 13 pixels, the nearest match on
// Linux to the game's bold 9.75-point window font.
constexpr int kFontPixels = 13;
using layout::kLineStep;
constexpr int kMargin = 6;
// The window at its default size: the list of 36 items on the left, and
// beside it, for a sighted helper, where the player is and the last line
// said. Larger windows scale everything up for low-vision players.
constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = kLineStep * 37 + kMargin;
constexpr int kPanelLeft = 430;    // where the panel starts beside the list
constexpr int kPanelBeside = 700;  // narrower than this, the panel goes below the list
constexpr SDL_Color kPlaceBlue{0, 0, 200, 255};
constexpr SDL_Color kLastLineGrey{64, 64, 64, 255};

std::string find_font_file() {
  std::string found;
  if (FcConfig* config = FcInitLoadConfigAndFonts()) {
    if (FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans:bold"))) {
      FcConfigSubstitute(config, pattern, FcMatchPattern);
      FcDefaultSubstitute(pattern);
      FcResult result = FcResultNoMatch;
      if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
          found = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
      }
      FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
  }
  if (found.empty()) found = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  return found;
}

}  // namespace

int scroll_to_show(int scroll, int content_bottom, std::optional<int> selected_top, int line_height,
                   int view_height) {
  const int most = std::max(0, content_bottom + kMargin - view_height);
  if (selected_top) {
    if (*selected_top - kMargin < scroll) scroll = *selected_top - kMargin;
    if (*selected_top + line_height + kMargin > scroll + view_height)
      scroll = *selected_top + line_height + kMargin - view_height;
  }
  return std::clamp(scroll, 0, most);
}

SdlPlatform::SdlPlatform(std::string program_folder, std::string data_folder,
                         std::optional<std::uint32_t> seed)
    : program_folder_(std::move(program_folder)),
      data_folder_(std::move(data_folder)),
      seed_(seed) {}

SdlPlatform::~SdlPlatform() {
  // The braille display goes back to BRLTTY as the game ends.
  braille_.reset();
  if (signal_watcher_.joinable()) {
    stop_watching_.notify();
    signal_watcher_.join();
  }
  // The voice and the cues end side by side, each within its own limit.
  if (voice_) voice_->begin_farewell();
  const bool audio_stopped = !cues_ || cues_->stop();
  cues_.reset();
  voice_.reset();
  forget_textures();
  if (font_) TTF_CloseFont(font_);
  if (TTF_WasInit()) TTF_Quit();
  if (window_) SDL_DestroyWindow(window_);
  // A cue thread stuck in the audio device keeps SDL's audio: the rest goes.
  if (audio_stopped)
    SDL_Quit();
  else
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlPlatform::open() {
  // A list of text needs no graphics card: it is drawn straight into the
  // window's own surface, which keeps OpenGL (and its tens of megabytes) out
  // of the program and starts faster.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Ctrl+C and the other quit signals come through the game's own quit,
  // which first finishes the move being made (SDL's handlers would miss
  // SIGHUP).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  quit_signal::install();
  quiet_audio_libraries();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::cerr << "quillvane: cannot open a window: " << SDL_GetError() << '\n';
    return false;
  }
  // Sized for the 36 items of a game, one line each, and the panel beside.
  window_ = SDL_CreateWindow("Quillvane", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                             kDefaultWidth, kDefaultHeight, SDL_WINDOW_RESIZABLE);
  if (!window_) {
    std::cerr << "quillvane: cannot open a window: " << SDL_GetError() << '\n';
    return false;
  }
  SDL_StopTextInput();
  voice_event_ = SDL_RegisterEvents(1);
  if (TTF_Init() == 0) {
    font_file_ = find_font_file();
    open_font();
    if (!font_) std::cerr << "quillvane: cannot load the font " << font_file_ << '\n';
  }
  cues_ = std::make_unique<CuePlayer>();
  // Its losses wake the wait as the voice's do.
  if (braille_setting().on) braille_ = std::make_unique<BrailleDisplay>(helper_changed());
  watch_quit_signals();
  render();
  return true;
}

void SdlPlatform::watch_quit_signals() {
  if (stop_watching_.fd() < 0) return;
  // A thread asleep in poll until a quit signal arrives; it posts the same
  // quit as the window's close button, which wakes the game's wait.
  signal_watcher_ = start_quiet_thread([stop = stop_watching_.fd()] {
    pollfd descriptors[2] = {{quit_signal::fd(), POLLIN, 0}, {stop, POLLIN, 0}};
    for (;;) {
      if (::poll(descriptors, 2, -1) < 0 && errno != EINTR) return;
      if (descriptors[1].revents) return;
      if (descriptors[0].revents && quit_signal::requested()) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        return;
      }
    }
  });
}

double SdlPlatform::now() { return monotonic_seconds(); }

std::uint32_t SdlPlatform::random_seed() { return seed_or_time_of_day(seed_); }

std::optional<Event> SdlPlatform::translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      return Event{Event::Kind::close};
    case SDL_KEYDOWN:
      if (auto key = translate_key(event.key.keysym.sym, event.key.keysym.mod, event.key.repeat)) {
        latency_stamp("key");
        Event game_event{Event::Kind::key, key->keycode, key->shift};
        game_event.character = key->character;
        return game_event;
      }
      return std::nullopt;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
          return Event{Event::Kind::paint};
        default:
          return std::nullopt;
      }
    default:
      if (event.type == voice_event_) {
        notice_voice_change();
        notice_braille_change();
      }
      return std::nullopt;
  }
}

std::optional<Event> SdlPlatform::next_event(double deadline) {
  // The window is drawn when the game stops to take events: by then the
  // line of the key just handled is already on its way to the voice.
  if (frame_due_) render();
  if (braille_ && !braille_lines_.empty() && deadline > now()) {
    braille_->show(braille_lines_);
    braille_lines_.clear();
  }
  for (;;) {
    const double remaining = deadline - now();
    SDL_Event event;
    int got = 0;
    if (remaining <= 0) {
      got = SDL_PollEvent(&event);
    } else {
      // Whole milliseconds, rounded up so the deadline has passed on return;
      // at most an hour per call.
      const double milliseconds = std::min(std::ceil(remaining * 1000.0), 3600000.0);
      got = SDL_WaitEventTimeout(&event, static_cast<int>(milliseconds));
    }
    if (got) {
      if (auto game_event = translate(event)) return game_event;
    } else if (remaining <= 0 || now() >= deadline) {
      return std::nullopt;
    }
  }
}

void SdlPlatform::set_caption(const std::string& text) {
  caption_ = text;
  set_window_title(text);
}

void SdlPlatform::show_items(const ItemView& view) {
  presented_ = layout::item_lines(view);
  selected_top_ = layout::selected_top(view);
  frame_due_ = true;
}

SDL_Surface* SdlPlatform::panel_text(const std::string& text, SDL_Color colour, bool beside,
                                     int window_width) {
  if (!font_ || text.empty()) return nullptr;
  const int left = static_cast<int>(std::lround((beside ? kPanelLeft : 10) * scale_));
  const int width = std::max(window_width - left - static_cast<int>(std::lround(10 * scale_)), 40);
  return TTF_RenderUTF8_Blended_Wrapped(font_, to_utf8(text).c_str(), colour,
                                        static_cast<Uint32>(width));
}

void SdlPlatform::open_font() {
  forget_textures();
  if (font_) TTF_CloseFont(font_);
  font_ = TTF_OpenFont(font_file_.c_str(), static_cast<int>(std::lround(kFontPixels * scale_)));
  line_height_ = static_cast<int>(std::lround(kLineStep * scale_));
  if (font_) line_height_ = std::max(line_height_, TTF_FontHeight(font_));
}

void SdlPlatform::show_context(const std::string& place, const std::string& last_line) {
  if (place == place_ && last_line == last_line_) return;
  place_ = place;
  last_line_ = last_line;
  frame_due_ = true;
}

void SdlPlatform::forget_textures() {
  for (auto& [key, surface] : textures_) SDL_FreeSurface(surface);
  textures_.clear();
}

SDL_Surface* SdlPlatform::text_surface(const layout::TextLine& line) {
  if (!font_ || line.text.empty()) return nullptr;
  std::string key = line.text;
  key += '\0';
  key += static_cast<char>(line.colour.red);
  key += static_cast<char>(line.colour.green);
  key += static_cast<char>(line.colour.blue);
  if (auto found = textures_.find(key); found != textures_.end()) return found->second;
  // A game shows a few dozen names; the cache is emptied before it grows far.
  if (textures_.size() > 512) forget_textures();
  SDL_Color colour{line.colour.red, line.colour.green, line.colour.blue, 255};
  SDL_Surface* surface = TTF_RenderUTF8_Blended(font_, to_utf8(line.text).c_str(), colour);
  if (!surface) return nullptr;
  return textures_.emplace(key, surface).first->second;
}

void SdlPlatform::render() {
  frame_due_ = false;
  if (!window_) return;
  // Asked for anew each time: a resize replaces the window's surface.
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (!screen) return;
  // Everything grows with the window, never below the default size.
  const double scale = std::max(1.0, std::min(static_cast<double>(screen->w) / kDefaultWidth,
                                              static_cast<double>(screen->h) / kDefaultHeight));
  if (font_ && std::abs(scale - scale_) > 0.01) {
    scale_ = scale;
    open_font();
  }
  auto scaled = [&](int units) { return static_cast<int>(std::lround(units * scale_)); };
  int content_bottom = 0;
  for (const layout::TextLine& line : presented_)
    content_bottom = std::max(content_bottom, scaled(line.y) + line_height_);
  std::optional<int> selected_top;
  if (selected_top_) selected_top = scaled(*selected_top_);
  const bool beside = screen->w >= scaled(kPanelBeside);
  SDL_Surface* place = panel_text(place_, kPlaceBlue, beside, screen->w);
  SDL_Surface* said = panel_text(last_line_, kLastLineGrey, beside, screen->w);
  const int panel_height = (place ? place->h + scaled(kMargin) : 0) + (said ? said->h : 0);
  // Below the list, the panel scrolls with it.
  const int bottom = beside ? content_bottom : content_bottom + scaled(kLineStep) + panel_height;
  scroll_ = scroll_to_show(scroll_, bottom, selected_top, line_height_, screen->h);

  SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 255, 255, 255));
  for (const layout::TextLine& line : presented_) {
    SDL_Surface* text = text_surface(line);
    if (!text) continue;
    SDL_Rect where{scaled(line.x), scaled(line.y) - scroll_, text->w, text->h};
    SDL_BlitSurface(text, nullptr, screen, &where);
  }
  SDL_Rect where{beside ? scaled(kPanelLeft) : scaled(10),
                 beside ? scaled(kLineStep) : content_bottom + scaled(kLineStep) - scroll_, 0, 0};
  for (SDL_Surface* text : {place, said}) {
    if (!text) continue;
    where.w = text->w;
    where.h = text->h;
    SDL_BlitSurface(text, nullptr, screen, &where);
    where.y += text->h + scaled(kMargin);
    SDL_FreeSurface(text);
  }
  SDL_UpdateWindowSurface(window_);
  if (!presented_.empty()) first_frame_stamp();
}

std::function<void()> SdlPlatform::helper_changed() const {
  // A helper's thread wakes the wait with an event of the window's own
  // (SDL_PushEvent may be called from any thread).
  return [type = voice_event_] {
    if (type == static_cast<Uint32>(-1)) return;
    SDL_Event event{};
    event.type = type;
    SDL_PushEvent(&event);
  };
}

Voice* SdlPlatform::make_voice() {
  if (!voice_tried_) {
    voice_tried_ = true;
    voice_ = std::make_unique<SpeechdVoice>(helper_changed());
    window_voice_ = std::make_unique<WindowVoice>(*this);
  }
  return window_voice_.get();
}

void SdlPlatform::voice_say(const std::string& text) {
  notice_voice_change();
  if (voice_loss_.missing()) {
    show_in_title(text);
    latency_stamp("line");
    return;
  }
  last_voiced_ = text;
  voice_->speak_purge(text);
}

void SdlPlatform::notice_voice_change() {
  if (!voice_) return;
  switch (voice_loss_.check(voice_->state())) {
    case VoiceLossNotice::Change::lost:
      std::cerr << "quillvane: no voice (" << voice_->why()
                << "); the lines are shown in the title until speech-dispatcher answers.\n";
      // In the caption modes the title is the game's: the notice waits
      // until the player is back on the voice.
      if (speech_mode_ == kVoiceMode) tell_voice_lost();
      break;
    case VoiceLossNotice::Change::back:
      std::cerr << "quillvane: speech-dispatcher answers again; the voice is back.\n";
      break;
    case VoiceLossNotice::Change::none:
      break;
  }
}

void SdlPlatform::tell_voice_lost() {
  show_in_title(std::string(language().text(
      N_("No voice: speech-dispatcher does not answer. Lines are shown in the title."))));
  // The line that could not be said is not lost.
  if (!last_voiced_.empty()) show_in_title(last_voiced_);
  last_voiced_.clear();
}

void SdlPlatform::on_say(const std::string& text) {
  if (!braille_) return;
  if (!braille_lines_.empty()) braille_lines_ += "  ";
  braille_lines_ += to_utf8(text);
}

void SdlPlatform::notice_braille_change() {
  if (!braille_ || braille_loss_.check(braille_->state()) != BrailleLossNotice::Change::lost)
    return;
  const std::string notice(language().text(N_("No braille display: BRLTTY does not answer.")));
  std::cerr << "quillvane: " << notice << '\n';
  // The window says it where it says the voice's loss: in the title, in mode 0.
  if (speech_mode_ == kVoiceMode) show_in_title(notice);
}

void SdlPlatform::on_speech_mode(int mode, bool) {
  const bool to_voice = mode == kVoiceMode && speech_mode_ != kVoiceMode;
  speech_mode_ = mode;
  if (to_voice && voice_loss_.missing()) tell_voice_lost();
}

void SdlPlatform::show_in_title(const std::string& text) {
  // The title must change for a line to be seen: a line equal to what the
  // title shows comes after an empty title. The game's caption is untouched.
  if (shown_title_ == text) set_window_title("");
  set_window_title(text);
}

void SdlPlatform::set_window_title(const std::string& text) {
  shown_title_ = text;
  if (window_) SDL_SetWindowTitle(window_, to_utf8(text).c_str());
}

void SdlPlatform::play_sound(const std::string& path) {
  if (cues_) cues_->play(path);
}

}  // namespace quillvane
