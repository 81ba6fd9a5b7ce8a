#include "game/run_game.h"

#include <limits>
#include <memory>

#include "game/form1.h"

namespace quillvane {

int run_game(Platform& platform) {
  // Several megabytes of fixed lists: never on the stack.
  auto game = std::make_unique<Form1>(platform);
  try {
    game->Form_Load();
    for (;;) {
      auto event = platform.next_event(std::numeric_limits<double>::infinity());
      if (!event) continue;
      if (event->kind == Event::Kind::end) break;
      game->handle(*event);
    }
  } catch (const ProgramEnd&) {
    // Exit, a damaged file or the player's quit: the normal way out.
  }
  return 0;
}

}  // namespace quillvane
