// The Windows build's interactive run: the game in its window.
//
// quillvane.exe is a console program, so that --script writes its
// transcript to standard output like on every other system. Started from
// Explorer it would keep an empty console window beside the game, which a
// screen reader announces; when that console is ours alone it is let go.
// Started from a command prompt the console is shared and stays.
#include <atomic>
#include <iostream>
#include <memory>

#include "app/data_folder.h"
#include "app/frontends.h"
#include "game/run_game.h"
#include "platform/win32/speech_win32.h"
#include "platform/win32/win32_platform.h"

namespace quillvane {
namespace {

void release_own_console() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

// Ctrl+C, Ctrl+Break and closing the console (or logging off) ask the
// window to close, which ends the game once the move being made is saved.
// The console's handler runs on a thread of its own; for a closing console
// Windows ends the process as soon as it returns, so it waits for the game.
std::atomic<HWND> game_window{nullptr};
HANDLE game_finished = nullptr;

BOOL WINAPI on_console_event(DWORD type) {
  if (HWND window = game_window.load()) PostMessageW(window, WM_CLOSE, 0, 0);
  if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
    // Windows allows about five seconds before it ends the process anyway.
    if (game_finished) WaitForSingleObject(game_finished, 4500);
  }
  return TRUE;
}

}  // namespace

void say_before_leaving(const std::string& text, const std::string& code) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
  if (auto voice = win32::SapiVoice::create()) {
    voice->set_language(code, "");
    voice->speak_purge(text);
    voice->finish(3000);
  }
  CoUninitialize();
}

int run_interactive(const FrontendOptions& options, Frontend choice) {
  if (choice == Frontend::terminal) {
    std::cerr << "quillvane: the Windows build plays in its window only (or headless with "
                 "--script)\n";
    return 2;
  }
  win32::Win32Platform platform({executable_folder(), options.data_dir, options.seed});
  platform.set_language(options.language);
  if (!platform.open()) {
    std::cerr << "quillvane: the game's window could not be opened\n";
    return 1;
  }
  release_own_console();
  game_finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  game_window = platform.window();
  SetConsoleCtrlHandler(on_console_event, TRUE);
  platform.show();
  run_game(platform);
  game_window = nullptr;
  platform.close();
  if (game_finished) SetEvent(game_finished);
  return 0;
}

}  // namespace quillvane
