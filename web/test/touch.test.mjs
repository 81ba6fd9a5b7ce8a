// The touch controls under node's test runner: every button sends the key
// of its name, in the swiping order; the jump field's letters; a tap's
// height mapped to a line of the list.
import test from 'node:test';
import assert from 'node:assert';
import { mask, translateKey, vk } from '../keys.js';
import { controls, keydownFor, letterKeydowns } from '../touch.js';
import { entryAt } from '../view.js';
import { say } from '../texts.js';

// A key in the key script's words ("Shift+Enter", "2") as the game's code
// and shift mask.
function gameKey(script) {
  const parts = script.split('+');
  const name = parts.pop();
  const keycode = /^[0-9]$/.test(name) ? vk.Digit0 + Number(name) : vk[name];
  return { keycode, shift: parts.reduce((sum, part) => sum | mask[part], mask.None) };
}

test('each button sends the key of its name, most used first', () => {
  const expected = [
    ['Next item', 'Down'], ['Previous item', 'Up'], ['Choose', 'Enter'],
    ['Combine', 'Shift+Enter'], ['Repeat', 'Home'], ['Undo', 'Shift+Backspace'],
    ['Empty slots', 'Delete'], ['Steps', '1'], ['Known recipes', '2'],
    ['Recipes I can make', '3'], ['Recipes using this item', '4'],
    ['Recipes making this item', '5'], ['Menu', 'Escape'], ['Earlier line', 'PageUp'],
    ['Later line', 'PageDown'], ['Status', 'End'], ['Speech output', 'Tab'],
    ['Slower', 'Minus'], ['Faster', 'Shift+Plus'], ['Stop speech', 'Ctrl+Ctrl'], ['Sounds', 'F12'],
  ];
  assert.deepStrictEqual(controls.map(([name]) => say(name)), expected.map(([name]) => name));
  for (const [text, description] of controls) {
    const name = say(text);
    const script = expected.find(([want]) => want === name)[1];
    const key = translateKey(keydownFor(description));
    assert.ok(key, name);
    assert.deepStrictEqual({ keycode: key.keycode, shift: key.shift }, gameKey(script), name);
  }
});

test('the jump field sends letters as their keys, those beyond A to Z as characters, ' +
     'and nothing else', () => {
  // [typed, [key code or the character beyond A to Z, ...]]
  const cases = [
    ['d', [68]], ['W', [87]], ['mud', [77, 85, 68]], ['1 -?', []], ['', []], ['a b', [65, 66]],
    ['ñ', ['ñ']], ['Ñandú', ['Ñ', 65, 78, 68, 'ú']], ['ß', ['ß']], ['1 é-?', ['é']],
    ['äöü', ['ä', 'ö', 'ü']], ['\u00a0\u200b«°', []],
  ];
  for (const [typed, want] of cases) {
    const keys = letterKeydowns(typed).map(translateKey);
    assert.deepStrictEqual(keys.map((key) => (key.character ? String.fromCodePoint(key.character)
                                                            : key.keycode)), want, typed);
    for (const key of keys) {
      assert.strictEqual(key.shift, 0, typed);
      if (key.character) assert.strictEqual(key.keycode, 0, typed);
    }
  }
});

test('a tap falls on the line drawn there, at any scale and scroll', () => {
  // [y in CSS px from the canvas's top, CSS px a unit, scroll in units,
  // entry]; entry i is drawn from 15 i to 15 i + 15 units.
  const cases = [
    [0, 1, 0, 0],
    [14.9, 1, 0, 0],
    [15, 1, 0, 1],
    [52, 1, 0, 3],
    [52, 0.5, 0, 6],           // drawn at half the size
    [299.9, 0.5, 0, 39],
    [0, 1, 90, 6],             // scrolled by six lines
    [20, 1, 100, 8],
    [10, 16 / 13, 1500, 100],  // a phone's list at its smallest text, far down a long list
  ];
  for (const [y, scale, scroll, entry] of cases)
    assert.strictEqual(entryAt(y, scale, scroll), entry, `${y} ${scale} ${scroll}`);
});
