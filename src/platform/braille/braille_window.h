// The part of one line a braille display shows: a window as wide as the
// display, which starts at the line's first character whenever a new line
// comes and moves a whole display width at a time when the player pans.
// Panning never leaves the line: past its end or before its start the
// window stays where it is.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillvane {

// The characters of UTF-8 text, one wchar_t each (on Linux a code point);
// a byte that starts no valid sequence stands for itself.
std::wstring braille_characters(std::string_view utf8);

class BrailleWindow {
 public:
  // A new line, shown from its first character.
  void show(std::wstring line) {
    line_ = std::move(line);
    start_ = 0;
  }
  // The display's width in cells; the window keeps its start.
  void set_width(std::size_t cells) { width_ = std::max<std::size_t>(cells, 1); }
  std::size_t width() const { return width_; }

  // Each returns whether the window moved.
  bool pan_right() {
    if (start_ + width_ >= line_.size()) return false;
    start_ += width_;
    return true;
  }
  bool pan_left() {
    if (start_ == 0) return false;
    start_ -= std::min(start_, width_);
    return true;
  }
  bool to_start() {
    const bool moved = start_ != 0;
    start_ = 0;
    return moved;
  }
  bool to_end() {
    const std::size_t last = line_.empty() ? 0 : (line_.size() - 1) / width_ * width_;
    const bool moved = start_ != last;
    start_ = last;
    return moved;
  }

  // What the display shows now (at most width characters).
  std::wstring view() const { return line_.substr(std::min(start_, line_.size()), width_); }
  std::size_t start() const { return start_; }

 private:
  std::wstring line_;
  std::size_t start_ = 0;
  std::size_t width_ = 40;
};

}  // namespace quillvane
