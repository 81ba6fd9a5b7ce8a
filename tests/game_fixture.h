// A game on the fake platform in a fresh data folder, for driving the
// game's procedures directly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "game/form1.h"
#include "game/names.h"
#include "platform/keys.h"

namespace quillvane::testing {

struct GameFixture {
  FakePlatform platform{make_temp_folder()};
  std::unique_ptr<Form1> game;

  GameFixture() { reset(); }
  // A new Form1 on the same folder, as a new run of the program.
  void reset() { game = std::make_unique<Form1>(platform); }
  std::string path(const std::string& name) {
    return platform.data_folder() + platform.path_separator() + name;
  }
  std::string file(const std::string& name) { return read_bytes(path(name)); }
  // Starts a game the way the difficulty menu does, then forgets what it said.
  void start(int level) {
    game->newgame(level, "start");
    platform.lines.clear();
  }
  // A key press or the player's quit, handed to the game as the front-end
  // hands every event.
  void press(int keycode, int shift = mask::None) {
    game->handle(Event{Event::Kind::key, keycode, shift});
  }
  void quit() { game->handle(Event{Event::Kind::close}); }
  // Index of the first entry with this name after index `after`, or 0.
  int find(const std::string& name, int after = 0) const {
    for (int i = after + 1; i <= game->itemcount; ++i)
      if (game->items[i] == name) return i;
    return 0;
  }
  // Puts two items in the slots (a second copy when both names are the same).
  void put(const std::string& a, const std::string& b) {
    game->slot1 = find(a);
    game->slot2 = a == b ? find(b, game->slot1) : find(b);
  }
  // Runs a procedure that may end the program; true when it did.
  template <typename F>
  bool ends_program(F&& f) {
    try {
      f();
    } catch (const ProgramEnd&) {
      return true;
    }
    return false;
  }
};

// Lines of a file split at CR LF, without the line ends.
std::vector<std::string> crlf_lines(const std::string& bytes);

}  // namespace quillvane::testing
