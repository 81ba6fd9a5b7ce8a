// The window front-end: an SDL2 window that shows the item list in SDL2_ttf
// text, takes key-downs, speaks through speech-dispatcher and plays the cues
// through SDL_mixer. Time is the real monotonic clock; waiting blocks in
// SDL_WaitEventTimeout, so a waiting game uses no CPU.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/cue_player.h"
#include "platform/braille/braille_display.h"
#include "platform/item_layout.h"
#include "platform/platform.h"
#include "platform/speechd/speechd_voice.h"
#include "platform/wake_pipe.h"

typedef struct _TTF_Font TTF_Font;

namespace quillvane {

class SdlPlatform : public Platform {
 public:
  SdlPlatform(std::string program_folder, std::string data_folder,
              std::optional<std::uint32_t> seed);
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  // Opens the window; false (with a message on standard error) when there is
  // no display to open it on.
  bool open();

  double now() override;
  std::optional<Event> next_event(double deadline) override;
  std::uint32_t random_seed() override;

  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override;
  void show_items(const ItemView& view) override;
  // Where mode 0's lines go while the voice is missing: the title, in mode 0.
  void on_speech_mode(int mode, bool said) override;
  // With --braille, the lines go to the braille display too.
  void on_say(const std::string& text) override;

  Voice* make_voice() override;
  ScreenReader* make_screen_reader() override { return nullptr; }
  // Window-Eyes' Ctrl+Shift+T has no Linux reader to wake: nothing is sent.
  void send_key(int, bool) override {}
  void play_sound(const std::string& path) override;
  void show_context(const std::string& place, const std::string& last_line) override;
  void set_cue_volume(int percent) override {
    if (cues_) cues_->set_volume(percent);
  }

  std::string program_folder() override { return program_folder_; }
  std::string data_folder() override { return data_folder_; }

 private:
  // The voice of mode 0 as the window gives it: speech-dispatcher while it
  // answers, the window's title while it is missing.
  class WindowVoice : public Voice {
   public:
    explicit WindowVoice(SdlPlatform& platform) : platform_(platform) {}
    void speak_purge(const std::string& text) override { platform_.voice_say(text); }
    void set_rate(int rate) override { platform_.voice_->set_rate(rate); }
    void set_volume(int volume) override { platform_.voice_->set_volume(volume); }
    void stop() override { platform_.voice_->stop(); }

   private:
    SdlPlatform& platform_;
  };

  // The game's event for an SDL event, if it is one; a voice's change of
  // state is acted on here.
  std::optional<Event> translate(const SDL_Event& event);
  void voice_say(const std::string& text);
  // Acts on a change of the voice's state: a lost voice is told once on
  // standard error and, in mode 0, in the title, where its lines then go.
  void notice_voice_change();
  // Tells the loss in the title, with the line the voice did not say.
  void tell_voice_lost();
  // Puts a line of mode 0 in the title in place of the voice; a repeated
  // line is made seen by the window itself, not by the game's caption.
  void show_in_title(const std::string& text);
  void set_window_title(const std::string& text);
  // Draws the last presented list, scrolled so the selected line shows.
  // Called when the game next takes events, so that speech goes first.
  void render();
  // The line's text drawn once in its colour, kept for later frames.
  SDL_Surface* text_surface(const layout::TextLine& line);
  void forget_textures();
  // Opens the list's font at the window's scale.
  void open_font();
  // A line of the panel beside (or below) the list, wrapped to the room there.
  SDL_Surface* panel_text(const std::string& text, SDL_Color colour, bool beside, int window_width);
  // Starts the thread that turns a quit signal into the window's quit event.
  void watch_quit_signals();

  std::string program_folder_;
  std::string data_folder_;
  std::optional<std::uint32_t> seed_;
  std::string caption_;      // the game's caption
  std::string shown_title_;  // what the title shows: the caption, or a line of mode 0
  int speech_mode_ = kVoiceMode;

  SDL_Window* window_ = nullptr;
  TTF_Font* font_ = nullptr;
  std::string font_file_;
  double scale_ = 1.0;
  int line_height_ = layout::kLineStep;
  // Where the player is and the last line said, shown beside the list.
  std::string place_, last_line_;
  std::vector<layout::TextLine> presented_;  // the list's lines on screen
  std::optional<int> selected_top_;          // where the selected line stands
  int scroll_ = 0;
  std::map<std::string, SDL_Surface*> textures_;
  bool frame_due_ = false;  // the list or the panel changed since the last frame

  std::unique_ptr<SpeechdVoice> voice_;
  std::unique_ptr<WindowVoice> window_voice_;
  bool voice_tried_ = false;
  VoiceLossNotice voice_loss_;                    // while missing, lines go to the title
  std::string last_voiced_;                       // the last line handed to speech-dispatcher
  Uint32 voice_event_ = static_cast<Uint32>(-1);  // pushed when the voice changes
  std::unique_ptr<CuePlayer> cues_;
  // The player's braille display (--braille): the lines said since the game
  // last waited are shown together when it next waits.
  std::unique_ptr<BrailleDisplay> braille_;
  BrailleLossNotice braille_loss_;
  std::string braille_lines_;
  void notice_braille_change();
  // What the voice's and the display's threads call when their state
  // changes: an event that wakes the window's wait.
  std::function<void()> helper_changed() const;
  WakePipe stop_watching_;  // before signal_watcher_, which polls it
  std::thread signal_watcher_;
};

// The scroll offset that shows a list ending at content_bottom in a view of
// view_height: it moves from the old offset only as far as needed to keep
// the selected line (its top at selected_top, if any) in view.
int scroll_to_show(int scroll, int content_bottom, std::optional<int> selected_top, int line_height,
                   int view_height);

}  // namespace quillvane
