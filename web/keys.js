// Turns a browser keydown into the game's key: a Windows virtual-key code
// and a shift mask (1 Shift, 2 Ctrl, 4 Alt; from the page only Shift, and
// Ctrl pressed alone). The one place keys are translated; used by the page
// and by the node tests.

// Keypad keys by their position (event.code), so that Numpad8 is the
// keypad 8 with NumLock on or off, and the keypad Enter is Enter.
const keypad = {
  Numpad0: 96, Numpad1: 97, Numpad2: 98, Numpad3: 99, Numpad4: 100,
  Numpad5: 101, Numpad6: 102, Numpad7: 103, Numpad8: 104, Numpad9: 105,
  NumpadMultiply: 106, NumpadAdd: 107, NumpadSubtract: 109,
  NumpadDecimal: 110, NumpadDivide: 111, NumpadEnter: 13,
};
const named = {
  Backspace: 8, Tab: 9, Enter: 13, Escape: 27, ' ': 32, Spacebar: 32,
  PageUp: 33, PageDown: 34, End: 35, Home: 36,
  ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40,
  Left: 37, Up: 38, Right: 39, Down: 40, Insert: 45, Delete: 46,
};
// Keys the browser or the player's system keeps for itself.
const modifierKeys = new Set(['Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'CapsLock',
                              'NumLock', 'OS', 'Fn', 'Hyper', 'Super']);

// { keycode, shift, prevent } for a keydown the game takes, else null,
// and then the browser, the screen reader and the system act on it as
// they would anywhere. Every key with Ctrl, Alt or Meta is theirs (Ctrl+R,
// Alt+D, Alt+Left, Ctrl+P, screen reader commands), and so are F1 to F11
// (help, reload, full screen, the address bar); F12 is the game's cue
// volume. Shift+Tab is the page's: it leaves the game area to the control
// before it, as in any web page (Tab alone stays the game's next speech
// output), so the keyboard is never trapped in the game. prevent: the
// browser must not act on a game key too (Tab leaving the game area,
// arrows scrolling, Space pressing a button).
export function translateKey(event) {
  // Ctrl pressed alone stops the voice; the browser and the screen reader
  // keep it too (screen readers stop their own speech on it).
  if (event.key === 'Control' && !event.repeat) return { keycode: 17, shift: 2, prevent: false };
  if (event.ctrlKey || event.altKey || event.metaKey || modifierKeys.has(event.key)) return null;
  if (/^F([1-9]|1[01])$/.test(event.key)) return null;
  if (event.key === 'Tab' && event.shiftKey) return null;
  const shift = event.shiftKey ? 1 : 0;
  let keycode = 0;
  if (event.code in keypad) {
    keycode = keypad[event.code];
  } else if (event.key in named) {
    keycode = named[event.key];
  } else if (event.key === 'F12') {
    keycode = 123;
  } else if (/^Digit[0-9]$/.test(event.code)) {
    keycode = 48 + Number(event.code.slice(5));
  } else if (/^[a-zA-Z]$/.test(event.key)) {
    keycode = event.key.toUpperCase().charCodeAt(0);
  } else if (/^Key[A-Z]$/.test(event.code)) {
    // A layout whose letters are not Latin: the key's position.
    keycode = event.code.charCodeAt(3);
  } else if (event.key === '+' || event.key === '=' || event.code === 'Equal') {
    keycode = 187;
  } else if (event.key === '-' || event.key === '_' || event.code === 'Minus') {
    keycode = 189;
  } else if (event.keyCode > 0 && event.keyCode < 255 && !/^F\d+$/.test(event.key)) {
    keycode = event.keyCode;
  }
  if (!keycode) return null;
  return { keycode, shift, prevent: true };
}

