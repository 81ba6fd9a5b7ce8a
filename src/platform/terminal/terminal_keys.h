// Bytes from a terminal in raw mode, turned into the game's keys: Windows
// virtual-key codes and the shift mask (1 Shift, 2 Ctrl, 4 Alt). Understands
// plain characters, control characters, the usual escape sequences for
// arrows, editing and function keys, the application keypad (ESC O p..y, k,
// m, j, o, n, M), xterm's modifyOtherKeys reports (ESC [ 27 ; m ; c ~), and
// CSI u reports (ESC [ c ; m u) as tmux's extended keys and the kitty
// keyboard protocol send them; those carry Shift+Enter and Shift+Backspace.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillvane {

struct TerminalKey {
  enum Kind {
    none,        // the bytes mean nothing to the game; skip them
    key,         // a key press: keycode and shift
    quit,        // Ctrl+C
    incomplete,  // the bytes may be the start of a longer sequence
  };
  Kind kind = none;
  int keycode = 0;
  int shift = 0;
  std::size_t length = 0;  // bytes used
  // The character the key typed (a code point), where it typed one: the
  // letters, and beyond ASCII the letters that have no key code of their
  // own (keycode 0).
  char32_t character = 0;
  // The character code of a key the terminal reported with its modifiers
  // (modifyOtherKeys or CSI u), 0 for plain bytes: a reported Shift+Enter
  // shows that this terminal can tell it from Enter.
  int reported_code = 0;
};

// Decodes the first key in bytes (not empty). When more input may still be
// on its way, a sequence that could go on is reported incomplete; when
// final is true the bytes are taken as they stand (a lone ESC is Escape).
//
// Many terminals cannot send Shift with Enter or Backspace, so other keys
// stand for Shift+Enter (combine) and Shift+Backspace (undo) in every form
// they arrive in: Ctrl+J (LF, where Enter sends CR) and Alt+Enter combine;
// Ctrl+H (BS, where Backspace sends DEL) and Alt+Backspace undo. When the
// terminal's own Backspace sends BS (backspace_sends_bs, from its erase
// character), BS is plain Backspace instead.
TerminalKey decode_terminal_key(std::string_view bytes, bool final,
                                bool backspace_sends_bs = false);

}  // namespace quillvane
