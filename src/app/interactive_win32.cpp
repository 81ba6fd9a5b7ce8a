// The Windows build's interactive run: the game in its window.
//
// quillvane.exe is a console program, so that --script writes its
// transcript to standard output like on every other system. Started from
// Explorer it would keep an empty console window beside the game, which a
// screen reader announces; when that console is ours alone it is let go.
// Started from a command prompt the console is shared and stays.
#include <iostream>
#include <limits>
#include <memory>

#include "app/data_folder.h"
#include "app/frontends.h"
#include "game/form1.h"
#include "platform/win32/win32_platform.h"

namespace quillvane {
namespace {

void release_own_console() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

}  // namespace

int run_interactive(const FrontendOptions& options, Frontend choice) {
  if (choice == Frontend::terminal) {
    std::cerr << "quillvane: the Windows build plays in its window only (or headless with "
                 "--script)\n";
    return 2;
  }
  win32::Win32Platform platform({executable_folder(), options.data_dir, options.seed});
  if (!platform.open()) {
    std::cerr << "quillvane: the game's window could not be opened\n";
    return 1;
  }
  release_own_console();
  {
    auto game = std::make_unique<Form1>(platform);  // megabytes: not on the stack
    try {
      platform.show();
      game->Form_Load();
      for (;;) platform.wait_until(std::numeric_limits<double>::infinity());
    } catch (const ProgramEnd&) {
      // Exit, a damaged file or the window closed: the normal way out.
    }
  }
  platform.close();
  return 0;
}

}  // namespace quillvane
