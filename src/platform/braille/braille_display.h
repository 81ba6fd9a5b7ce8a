// The game's own braille display: each line is written to the display
// through BrlAPI (BRLTTY's server, libbrlapi) from its first character, on a
// thread of its own, so that a server that stalls or drops never stalls the
// game. The game's calls only leave the newest line in a mailbox and return
// at once.
//
// The display is taken while the game runs (BrlAPI's tty mode, where the
// newest client of a terminal is shown) and given back at the end. Of the
// display's own keys the game takes only those that pan through a line
// (a whole display width left or right, to the line's start or end); every
// other key is left to BRLTTY.
//
// The display starts out connecting. A server that cannot be reached, or
// does not answer within a few seconds, is given up on: the display is
// missing, and connecting is tried again in the background, at first after
// 30 seconds, then less often; a line said meanwhile is shown once the
// display answers. Every change of state calls on_change on the display's
// thread; it must be quick and thread-safe (it wakes the front-end's wait).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/loss_notice.h"

namespace quillvane {

class BrailleDisplay {
 public:
  enum class State { connecting, ready, missing };

  explicit BrailleDisplay(std::function<void()> on_change);
  // Gives the display back, waiting at most about 0.3 s; a thread stuck in
  // the server is left behind rather than waited for.
  ~BrailleDisplay();
  BrailleDisplay(const BrailleDisplay&) = delete;
  BrailleDisplay& operator=(const BrailleDisplay&) = delete;

  // Shows a line (UTF-8) from its first character, in place of the one shown.
  void show(const std::string& line);

  State state() const;
  // Why the display is missing, in a few words.
  std::string why() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

// What a front-end tells the player of the braille display, each change
// once (a display never reached counts as lost).
using BrailleLossNotice = LossNotice<BrailleDisplay::State>;

}  // namespace quillvane
