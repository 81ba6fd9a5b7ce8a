// Playing by touch: the game's keys as buttons a phone's screen reader
// reads and activates, a field that jumps to a letter, and a tap on a line
// of the item list. Each control sends exactly what its key sends, so the
// game cannot tell them apart.
import { say } from './texts.js';
import { typedCharacter } from './keys.js';

// The buttons in the order a one-finger swipe reaches them: the most used
// first. Each names its text (texts.js) and the keydown its key makes;
// keys.js translates it as it translates the real one.
export const controls = [
  ['nextItem', { key: 'ArrowDown', code: 'ArrowDown' }],
  ['previousItem', { key: 'ArrowUp', code: 'ArrowUp' }],
  ['choose', { key: 'Enter', code: 'Enter' }],
  ['combine', { key: 'Enter', code: 'Enter', shiftKey: true }],
  ['repeat', { key: 'Home', code: 'Home' }],
  ['undo', { key: 'Backspace', code: 'Backspace', shiftKey: true }],
  ['emptySlots', { key: 'Delete', code: 'Delete' }],
  ['steps', { key: '1', code: 'Digit1' }],
  ['knownRecipes', { key: '2', code: 'Digit2' }],
  ['recipesICanMake', { key: '3', code: 'Digit3' }],
  ['recipesUsingItem', { key: '4', code: 'Digit4' }],
  ['recipesMakingItem', { key: '5', code: 'Digit5' }],
  ['menu', { key: 'Escape', code: 'Escape' }],
  ['earlierLine', { key: 'PageUp', code: 'PageUp' }],
  ['laterLine', { key: 'PageDown', code: 'PageDown' }],
  ['status', { key: 'End', code: 'End' }],
  ['speechOutput', { key: 'Tab', code: 'Tab' }],
  ['slower', { key: '-', code: 'Minus' }],
  ['faster', { key: '+', code: 'Equal', shiftKey: true }],
  ['stopSpeech', { key: 'Control', code: 'ControlLeft', ctrlKey: true }],
  ['sounds', { key: 'F12', code: 'F12' }],
];

// The keydown a control stands for, complete as a browser makes it.
export function keydownFor(description) {
  return { code: '', keyCode: 0, repeat: false, shiftKey: false, ctrlKey: false, altKey: false,
           metaKey: false, ...description };
}

// The keydowns for the letters typed into the jump field: the Latin
// letters as their lower-case keys, and letters beyond them (ñ, ä, ß, é)
// as the keys that type them on the player's keyboard; anything else is
// no key.
export function letterKeydowns(text) {
  return [...text].filter((c) => /^[a-zA-Z]$/.test(c) || (/^\p{L}$/u.test(c) && typedCharacter(c)))
    .map((c) => (/^[a-zA-Z]$/.test(c) ? keydownFor({ key: c.toLowerCase(), code: `Key${c.toUpperCase()}` })
      : keydownFor({ key: c })));
}

// Puts the buttons into box and wires them, the jump field and the list:
// send(keydown) gives a keydown to the game as a key's; select(entry) a tap
// on the list's line for an entry; list.entryAtPoint(clientY) finds it.
// The buttons and the field are for touch and for a screen reader's
// swipes, which reach every one: they stay out of the Tab order, so that
// the keyboard's way through the page is unchanged. Pressing a button
// leaves the focus on it, so that it can be pressed again.
export function wireTouch({ box, jump, canvas, list, send, select }) {
  for (const [name, description] of controls) {
    const button = box.ownerDocument.createElement('button');
    button.type = 'button';
    button.tabIndex = -1;
    // Named again with the page's other texts when its language changes.
    button.dataset.text = name;
    button.textContent = say(name);
    button.addEventListener('click', () => send(keydownFor(description)));
    box.appendChild(button);
  }

  // The jump field: each letter typed goes to the game as its key, then the
  // field is empty again (on-screen keyboards and braille input type here).
  // A word still being composed waits until it is done.
  const takeLetters = () => {
    const typed = jump.value;
    jump.value = '';
    for (const keydown of letterKeydowns(typed)) send(keydown);
  };
  jump.addEventListener('input', (event) => {
    if (!event.isComposing) takeLetters();
  });
  jump.addEventListener('compositionend', takeLetters);

  // A tap on a line of the list selects that entry, as the arrows would.
  canvas.addEventListener('click', (event) => select(list.entryAtPoint(event.clientY)));
}
