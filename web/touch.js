// Playing by touch: the game's keys as buttons a phone's screen reader
// reads and activates, a field that jumps to a letter, a tap on a line of
// the item list, and a list canvas drawn in device pixels. Each control
// sends exactly what its key sends, so the game cannot tell them apart.
// The table and the arithmetic are also used by the node tests.
(function (exports) {
  'use strict';

  // The buttons in the order a one-finger swipe reaches them: the most used
  // first. Each names the keydown its key makes; keys.js translates it as it
  // translates the real one.
  const controls = [
    ['Next item', { key: 'ArrowDown', code: 'ArrowDown' }],
    ['Previous item', { key: 'ArrowUp', code: 'ArrowUp' }],
    ['Choose', { key: 'Enter', code: 'Enter' }],
    ['Combine', { key: 'Enter', code: 'Enter', shiftKey: true }],
    ['Repeat', { key: 'Home', code: 'Home' }],
    ['Undo', { key: 'Backspace', code: 'Backspace', shiftKey: true }],
    ['Empty slots', { key: 'Delete', code: 'Delete' }],
    ['Steps', { key: '1', code: 'Digit1' }],
    ['Known recipes', { key: '2', code: 'Digit2' }],
    ['Recipes I can make', { key: '3', code: 'Digit3' }],
    ['Recipes using this item', { key: '4', code: 'Digit4' }],
    ['Recipes making this item', { key: '5', code: 'Digit5' }],
    ['Menu', { key: 'Escape', code: 'Escape' }],
    ['Earlier line', { key: 'PageUp', code: 'PageUp' }],
    ['Later line', { key: 'PageDown', code: 'PageDown' }],
    ['Status', { key: 'End', code: 'End' }],
    ['Speech output', { key: 'Tab', code: 'Tab' }],
    ['Slower', { key: '-', code: 'Minus' }],
    ['Faster', { key: '+', code: 'Equal', shiftKey: true }],
    ['Stop speech', { key: 'Control', code: 'ControlLeft', ctrlKey: true }],
    ['Sounds', { key: 'F12', code: 'F12' }],
  ];

  // The keydown a control stands for, complete as a browser makes it.
  function keydownFor(description) {
    return { code: '', keyCode: 0, repeat: false, shiftKey: false, ctrlKey: false, altKey: false,
             metaKey: false, ...description };
  }

  // The keydowns for the letters typed into the jump field: Latin letters
  // only, as their lower-case keys; anything else is no key.
  function letterKeydowns(text) {
    return [...text].filter((c) => /^[a-zA-Z]$/.test(c))
      .map((c) => keydownFor({ key: c.toLowerCase(), code: `Key${c.toUpperCase()}` }));
  }

  // The list entry on the line at y, where y is measured down from the
  // canvas's top in a box drawn height tall, the list being scroll units
  // scrolled; the canvas is viewHeight units tall, a line lineStep units.
  function entryAt(y, height, scroll, viewHeight, lineStep) {
    return Math.floor((y * viewHeight / height + scroll) / lineStep);
  }

  exports.controls = controls;
  exports.keydownFor = keydownFor;
  exports.letterKeydowns = letterKeydowns;
  exports.entryAt = entryAt;

  if (typeof document !== 'object') return;

  const page = QuillvanePage;
  const translate = QuillvaneKeys.translateKey;
  const send = (keydown) => {
    const key = translate(keydown);
    if (key) page.postKey(key);
  };

  // The buttons: pressing one leaves the focus on it, so that it can be
  // pressed again; the line it brings is announced as a key's is. They are
  // for touch and for a screen reader's swipes, which reach every button:
  // like the jump field they stay out of the Tab order, so that the keyboard
  // goes from the game area to the files as it always did.
  const box = document.getElementById('control-buttons');
  for (const [name, description] of controls) {
    const button = document.createElement('button');
    button.type = 'button';
    button.tabIndex = -1;
    button.textContent = name;
    button.addEventListener('click', () => send(keydownFor(description)));
    box.appendChild(button);
  }

  // The jump field: each letter typed goes to the game as its key, then the
  // field is empty again (on-screen keyboards and braille input type here).
  // A word still being composed waits until it is done.
  const jump = document.getElementById('jump');
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
  const canvas = document.getElementById('items');
  canvas.addEventListener('click', (event) => {
    const shown = canvas.getBoundingClientRect();
    if (!shown.height || !canvas.width) return;
    const viewHeight = canvas.height * page.listWidth / canvas.width;
    page.selectEntry(entryAt(event.clientY - shown.top, shown.height, page.listScroll(),
                             viewHeight, page.lineStep));
  });

  // The canvas holds a device pixel for each of the screen's (its shown
  // size times devicePixelRatio), so the list stays sharp on high-density
  // screens and when zoomed; its shown size follows the page's width.
  function fitCanvas() {
    const shown = canvas.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    const width = Math.round(shown.width * ratio);
    const height = Math.round(shown.height * ratio);
    if (!width || !height || (canvas.width === width && canvas.height === height)) return;
    canvas.width = width;
    canvas.height = height;
    page.redraw();
  }
  new ResizeObserver(fitCanvas).observe(canvas);
  // A zoom or a move to another screen changes the ratio, not the size.
  function watchRatio() {
    matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`)
      .addEventListener('change', () => {
        fitCanvas();
        watchRatio();
      }, { once: true });
  }
  watchRatio();
})(typeof module === 'object' ? module.exports : (window.QuillvaneTouch = {}));
