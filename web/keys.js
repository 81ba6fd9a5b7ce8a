// Turns a browser keydown into the game's key: a Windows virtual-key code
// and a shift mask (1 Shift, 2 Ctrl, 4 Alt; from the page only Shift, and
// Ctrl pressed alone), or for a letter beyond A to Z (ñ, ä, ß) the
// character typed with key code 0, as the window and the terminal send it.
// The one place keys are translated; used by the page and by the node tests.

// The game's key codes (Windows virtual-key codes) that the page sends, by
// the names src/platform/keys.h gives them (a node test holds the two
// together), and the shift mask.
export const vk = Object.freeze({
  Backspace: 8, Tab: 9, Enter: 13, Ctrl: 17, Escape: 27, Space: 32,
  PageUp: 33, PageDown: 34, End: 35, Home: 36, Left: 37, Up: 38, Right: 39, Down: 40,
  Insert: 45, Delete: 46, Digit0: 48, A: 65, Num0: 96, NumMultiply: 106, NumPlus: 107,
  NumMinus: 109, NumDecimal: 110, NumDivide: 111, F12: 123, Plus: 187, Minus: 189,
});
export const mask = Object.freeze({ None: 0, Shift: 1, Ctrl: 2, Alt: 4 });

// Keypad keys by their position (event.code), so that Numpad8 is the
// keypad 8 with NumLock on or off, and the keypad Enter is Enter.
const keypad = {
  NumpadMultiply: vk.NumMultiply, NumpadAdd: vk.NumPlus, NumpadSubtract: vk.NumMinus,
  NumpadDecimal: vk.NumDecimal, NumpadDivide: vk.NumDivide, NumpadEnter: vk.Enter,
};
for (let n = 0; n <= 9; n++) keypad[`Numpad${n}`] = vk.Num0 + n;
const named = {
  Backspace: vk.Backspace, Tab: vk.Tab, Enter: vk.Enter, Escape: vk.Escape, ' ': vk.Space,
  Spacebar: vk.Space, PageUp: vk.PageUp, PageDown: vk.PageDown, End: vk.End, Home: vk.Home,
  ArrowLeft: vk.Left, ArrowUp: vk.Up, ArrowRight: vk.Right, ArrowDown: vk.Down,
  Left: vk.Left, Up: vk.Up, Right: vk.Right, Down: vk.Down, Insert: vk.Insert,
  Delete: vk.Delete,
};
// Keys the browser or the player's system keeps for itself.
const modifierKeys = new Set(['Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'CapsLock',
                              'NumLock', 'OS', 'Fn', 'Hyper', 'Super']);

// The character a key types beyond ASCII (ñ, ä, ö, ü, ß, é), as a code
// point: 0 for none, for a control or for an invisible space.
export function typedCharacter(key) {
  const characters = [...String(key)];
  if (characters.length !== 1) return 0;
  const code = characters[0].codePointAt(0);
  if (code < 0xa1 || (code >= 0x2000 && code <= 0x200f) || (code >= 0x2028 && code <= 0x202f)) return 0;
  return code;
}

// { keycode, shift, prevent, character } for a keydown the game takes, else null,
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
  if (event.key === 'Control' && !event.repeat) {
    return { keycode: vk.Ctrl, shift: mask.Ctrl, prevent: false, character: 0 };
  }
  if (event.ctrlKey || event.altKey || event.metaKey || modifierKeys.has(event.key)) return null;
  if (/^F([1-9]|1[01])$/.test(event.key)) return null;
  if (event.key === 'Tab' && event.shiftKey) return null;
  const shift = event.shiftKey ? mask.Shift : mask.None;
  let keycode = 0;
  let character = 0;
  if (event.code in keypad) {
    keycode = keypad[event.code];
  } else if (event.key in named) {
    keycode = named[event.key];
  } else if (event.key === 'F12') {
    keycode = vk.F12;
  } else if (/^Digit[0-9]$/.test(event.code)) {
    keycode = vk.Digit0 + Number(event.code.slice(5));
  } else if (/^[a-zA-Z]$/.test(event.key)) {
    keycode = event.key.toUpperCase().charCodeAt(0);
  } else if (/^Key[A-Z]$/.test(event.code)) {
    // A layout whose letters are not Latin: the key's position.
    keycode = event.code.charCodeAt(3);
  } else if ((character = typedCharacter(event.key))) {
    // A letter of the player's keyboard beyond A to Z (ñ, ä, ß on their
    // keys, an é composed): no key code of its own.
    return { keycode: 0, shift, prevent: true, character };
  } else if (event.key === '+' || event.key === '=' || event.code === 'Equal') {
    keycode = vk.Plus;
  } else if (event.key === '-' || event.key === '_' || event.code === 'Minus') {
    keycode = vk.Minus;
  } else if (event.keyCode > 0 && event.keyCode < 255 && !/^F\d+$/.test(event.key)) {
    keycode = event.keyCode;
  }
  if (!keycode) return null;
  return { keycode, shift, prevent: true, character: 0 };
}

