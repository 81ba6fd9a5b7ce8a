#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/clock.h"

namespace quillvane {

// Written with printf and strtod, which every C++ library has (the
// WebAssembly build's has no floating-point to_chars), giving the same text
// as to_chars: the fewest significant digits that read back as the same
// number, in fixed notation unless scientific is shorter.
std::string shortest_decimal(double seconds) {
  if (!std::isfinite(seconds)) return seconds != seconds ? "nan" : seconds < 0 ? "-inf" : "inf";
  if (seconds == 0) return std::signbit(seconds) ? "-0" : "0";
  char buffer[400];  // room for every digit of the largest double
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, seconds);
    if (std::strtod(buffer, nullptr) == seconds) break;
  }
  // buffer is now [-]d[.ddd]e±XX: split it into sign, digits and exponent.
  std::string text = buffer;
  std::string sign;
  if (text[0] == '-') {
    sign = "-";
    text.erase(0, 1);
  }
  const std::size_t e = text.find('e');
  const int exponent = std::atoi(text.c_str() + e + 1);
  std::string digits;
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.') digits += text[i];
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int count = static_cast<int>(digits.size());

  std::string fixed;
  if (exponent < 0) {
    fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else if (count <= exponent + 1) {
    // A whole number is written with all its exact digits, as to_chars does.
    std::snprintf(buffer, sizeof buffer, "%.0f", std::fabs(seconds));
    fixed = buffer;
  } else {
    fixed = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
            digits.substr(static_cast<std::size_t>(exponent + 1));
  }
  std::string scientific = digits.substr(0, 1);
  if (count > 1) scientific += "." + digits.substr(1);
  const int magnitude = exponent < 0 ? -exponent : exponent;
  scientific += exponent < 0 ? "e-" : "e+";
  if (magnitude < 10) scientific += '0';
  scientific += std::to_string(magnitude);
  return sign + (scientific.size() < fixed.size() ? scientific : fixed);
}

namespace transcript_line {
std::string key(const std::string& name) { return "key: " + name; }
std::string say(const std::string& text) { return "say: " + text; }
std::string title(const std::string& text) { return "title: " + text; }
std::string cue(const std::string& literal) { return "cue: " + literal; }
std::string wait(double seconds) { return "wait: " + shortest_decimal(seconds); }
std::string exit() { return "exit"; }
}  // namespace transcript_line

void Transcript::on_key(const std::string& name) { write(transcript_line::key(name)); }
void Transcript::on_say(const std::string& text) { write(transcript_line::say(text)); }
void Transcript::on_title(const std::string& text) { write(transcript_line::title(text)); }
void Transcript::on_cue(const std::string& literal) { write(transcript_line::cue(literal)); }
void Transcript::on_wait(double seconds) { write(transcript_line::wait(seconds)); }
void Transcript::on_exit() { write(transcript_line::exit()); }

HeadlessPlatform::HeadlessPlatform(KeyScript& script, std::string data_folder,
                                   std::optional<std::uint32_t> seed, Transcript* transcript)
    : script_(script), data_folder_(std::move(data_folder)), seed_(seed), transcript_(transcript) {}

Event HeadlessPlatform::take(const ScriptKey& key) {
  Event event{Event::Kind::key, key.keycode, key.shift};
  event.character = key.character;
  if (transcript_) transcript_->on_key(key.name);
  script_.pop();
  return event;
}

std::optional<Event> HeadlessPlatform::next_event(double deadline) {
  // The game's own synthetic key-downs come back as the window would send them.
  if (!synthetic_.empty()) {
    const int code = synthetic_.front();
    synthetic_.pop_front();
    return Event{Event::Kind::key, code, 0};
  }
  const ScriptKey* next = script_.peek();
  // A timed key whose moment has already come is a pending event.
  if (next && next->timed && next->at <= clock_) return take(*next);
  if (deadline == std::numeric_limits<double>::infinity()) {
    // Idle: the next line, whatever its time.
    if (!next) return Event{Event::Kind::end};
    if (!next->error.empty()) throw ScriptError{next->line, next->error};
    if (next->timed) clock_ = std::max(clock_, next->at);
    return take(*next);
  }
  // Only a timed key can arrive inside a wait; an untimed one waits for idle.
  if (next && next->timed && next->at <= deadline) {
    clock_ = std::max(clock_, next->at);
    return take(*next);
  }
  clock_ = std::max(clock_, deadline);
  return std::nullopt;
}

std::uint32_t HeadlessPlatform::random_seed() { return seed_or_time_of_day(seed_); }

void HeadlessPlatform::send_key(int keycode, bool key_up) {
  if (!key_up) synthetic_.push_back(keycode);
}

}  // namespace quillvane
