// The two speech objects of the Windows build: the SAPI 5 voice (speech
// mode 0) and the JAWS automation object (mode 3). Both swallow every
// failure: a refused call simply says nothing.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/text/code_page.h"  // windows.h, before any COM header

struct ISpVoice;
struct IDispatch;

namespace quillvane::win32 {

class SapiVoice : public Voice {
 public:
  // The system's default voice, or nullptr when SAPI cannot make one.
  // COM must be initialised on this thread.
  static std::unique_ptr<SapiVoice> create();
  ~SapiVoice() override;
  SapiVoice(const SapiVoice&) = delete;
  SapiVoice& operator=(const SapiVoice&) = delete;

  void speak_purge(const std::string& text) override;
  void set_rate(int rate) override;
  void set_volume(int volume) override;
  void stop() override;
  // Takes the first installed voice whose languages include the language
  // asked for; when the system lists voices and none speaks it, the default
  // voice stays and says notice, once, before the next line.
  void set_language(const std::string& code, const std::string& notice) override;
  // Waits at most this long for the line being said to finish.
  void finish(unsigned milliseconds);

 private:
  explicit SapiVoice(ISpVoice* voice) : voice_(voice) {}
  ISpVoice* voice_;
  std::string notice_;  // said before the next line while due
  bool notice_due_ = false;
  bool notice_told_ = false;
};

class JawsReader : public ScreenReader {
 public:
  // The object behind the ProgID "FreedomSci.JawsApi", or nullptr when JAWS
  // is not installed. COM must be initialised on this thread.
  static std::unique_ptr<JawsReader> create();
  ~JawsReader() override;
  JawsReader(const JawsReader&) = delete;
  JawsReader& operator=(const JawsReader&) = delete;

  void say_string(const std::string& text, bool flush) override;

 private:
  JawsReader(IDispatch* jaws, long say_string_id) : jaws_(jaws), say_string_id_(say_string_id) {}
  IDispatch* jaws_;
  long say_string_id_;
};

}  // namespace quillvane::win32
