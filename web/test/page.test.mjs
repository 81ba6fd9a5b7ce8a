// The page's key translation and the zip of the player's files, under
// node's test runner.
import test from 'node:test';
import assert from 'node:assert';
import fs from 'node:fs';
import zlib from 'node:zlib';
import { mask, translateKey, vk } from '../keys.js';
import { makeZip, readZip, crc32, entryName } from '../zip.js';

function keydown(key, code, modifiers = {}, keyCode = 0) {
  return { key, code, keyCode, shiftKey: false, ctrlKey: false, altKey: false, metaKey: false,
           ...modifiers };
}

test("the page's key codes are the platform's, name for name", () => {
  const header = fs.readFileSync(new URL('../../src/platform/keys.h', import.meta.url), 'utf8');
  // The constants of one namespace of the header, by name.
  const constants = (space) => {
    const start = header.indexOf(`namespace ${space} {`);
    const body = header.slice(start, header.indexOf(`}  // namespace ${space}`, start));
    const found = {};
    for (const [, name, value] of body.matchAll(/inline constexpr int (\w+) = (\d+);/g)) {
      found[name] = Number(value);
    }
    return found;
  };
  const platformKeys = constants('vk');
  for (const [name, code] of Object.entries(vk)) assert.strictEqual(code, platformKeys[name], name);
  const platformMask = constants('mask');
  for (const [name, bit] of Object.entries(mask)) assert.strictEqual(bit, platformMask[name], name);
});

test('keys become the game key codes and shift mask, the browser kept out', () => {
  const shift = { shiftKey: true };
  const cases = [
    // [event, keycode, shift, prevent, character typed beyond A to Z]
    [keydown('Tab', 'Tab'), 9, 0, true],
    [keydown('Enter', 'Enter'), 13, 0, true],
    [keydown('Enter', 'Enter', shift), 13, 1, true],
    [keydown('Enter', 'NumpadEnter'), 13, 0, true],
    [keydown('Backspace', 'Backspace', shift), 8, 1, true],
    [keydown('Delete', 'Delete'), 46, 0, true],
    [keydown('Escape', 'Escape'), 27, 0, true],
    [keydown(' ', 'Space'), 32, 0, true],
    [keydown('ArrowLeft', 'ArrowLeft'), 37, 0, true],
    [keydown('ArrowUp', 'ArrowUp'), 38, 0, true],
    [keydown('ArrowRight', 'ArrowRight'), 39, 0, true],
    [keydown('ArrowDown', 'ArrowDown'), 40, 0, true],
    [keydown('1', 'Digit1'), 49, 0, true],
    [keydown('!', 'Digit1', shift), 49, 1, true],
    [keydown('0', 'Digit0'), 48, 0, true],
    [keydown('d', 'KeyD'), 68, 0, true],
    [keydown('D', 'KeyD', shift), 68, 1, true],
    [keydown('a', 'KeyQ'), 65, 0, true],  // AZERTY: the key marked A
    [keydown('ф', 'KeyA'), 65, 0, true],  // a Cyrillic layout: the position
    [keydown('=', 'Equal'), 187, 0, true],
    [keydown('+', 'Equal', shift), 187, 1, true],
    [keydown('-', 'Minus'), 189, 0, true],
    [keydown('+', 'NumpadAdd'), 107, 0, true],
    [keydown('-', 'NumpadSubtract'), 109, 0, true],
    [keydown('*', 'NumpadMultiply'), 106, 0, true],
    [keydown('/', 'NumpadDivide'), 111, 0, true],
    [keydown('.', 'NumpadDecimal'), 110, 0, true],
    [keydown('8', 'Numpad8'), 104, 0, true],
    [keydown('ArrowUp', 'Numpad8', {}, 38), 104, 0, true],  // NumLock off
    [keydown('0', 'Numpad0'), 96, 0, true],
    [keydown('F12', 'F12'), 123, 0, true],
    [keydown('F12', 'F12', shift), 123, 1, true],
    [keydown('Home', 'Home'), 36, 0, true],
    [keydown('End', 'End'), 35, 0, true],
    [keydown('PageUp', 'PageUp'), 33, 0, true],
    [keydown('PageDown', 'PageDown'), 34, 0, true],
    // Ctrl alone silences the voice, and stays the screen reader's too.
    [keydown('Control', 'ControlLeft', { ctrlKey: true }, 17), 17, 2, false],
    // Letters beyond A to Z on their keyboards: the character, no key code,
    // wherever the key is (ß where the US minus key is, ñ and ö where its
    // semicolon is), with Shift as pressed; a letter composed on a Latin
    // letter's key (á) keeps that key; the digits' row stays digits (é on
    // a French 2).
    [keydown('ñ', 'Semicolon', {}, 192), 0, 0, true, 0xf1],
    [keydown('Ñ', 'Semicolon', shift, 192), 0, 1, true, 0xd1],
    [keydown('ß', 'Minus', {}, 219), 0, 0, true, 0xdf],
    [keydown('ä', 'Quote', {}, 222), 0, 0, true, 0xe4],
    [keydown('ö', 'Semicolon', {}, 192), 0, 0, true, 0xf6],
    [keydown('ü', 'BracketLeft', {}, 186), 0, 0, true, 0xfc],
    [keydown('ç', 'Backslash', {}, 191), 0, 0, true, 0xe7],
    [keydown('á', 'KeyA'), 65, 0, true],
    [keydown('é', 'Digit2', {}, 50), 50, 0, true],
  ];
  for (const [event, keycode, mask, prevent, character = 0] of cases) {
    assert.deepStrictEqual(translateKey(event), { keycode, shift: mask, prevent, character },
                           `${event.key} ${event.code}`);
  }
});

test('modifier keys alone (but Ctrl), every key with Ctrl, Alt or Meta, F1 to F11 and ' +
     'Shift+Tab are left to the browser and the screen reader', () => {
  const ctrl = { ctrlKey: true };
  const alt = { altKey: true };
  const meta = { metaKey: true };
  const events = [
    keydown('Shift', 'ShiftLeft', { shiftKey: true }, 16),
    keydown('Control', 'ControlLeft', { ctrlKey: true, repeat: true }, 17),
    keydown('Alt', 'AltLeft', alt, 18),
    keydown('Meta', 'MetaLeft', meta, 91),
    keydown('AltGraph', 'AltRight', {}, 225),
    keydown('Unidentified', '', {}, 0),
    // The browser's and the screen reader's own commands.
    keydown('r', 'KeyR', ctrl, 82),                   // reload
    keydown('w', 'KeyW', ctrl, 87),                   // close the tab
    keydown('c', 'KeyC', ctrl, 67),                   // copy
    keydown('p', 'KeyP', ctrl, 80),                   // print
    keydown('d', 'KeyD', alt, 68),                    // the address bar
    keydown('r', 'KeyR', meta, 82),                   // reload on a Mac
    keydown('ArrowLeft', 'ArrowLeft', alt, 37),       // back
    keydown('ArrowDown', 'ArrowDown', ctrl, 40),
    keydown('Enter', 'Enter', ctrl, 13),
    keydown('Enter', 'Enter', alt, 13),
    keydown('Tab', 'Tab', ctrl, 9),                   // the next tab
    keydown('Home', 'Home', { ctrlKey: true, altKey: true }, 36),
    keydown('1', 'Digit1', alt, 49),
    keydown('+', 'NumpadAdd', ctrl, 107),             // zoom
    keydown('=', 'Equal', ctrl, 187),
    keydown('F12', 'F12', { ctrlKey: true, shiftKey: true }, 123),
    keydown('T', 'KeyT', { ctrlKey: true, shiftKey: true }, 84),
    // Shift+Tab leaves the game area, as on any web page.
    keydown('Tab', 'Tab', { shiftKey: true }, 9),
  ];
  for (let n = 1; n <= 11; n++) {
    events.push(keydown(`F${n}`, `F${n}`, {}, 111 + n));
    events.push(keydown(`F${n}`, `F${n}`, { shiftKey: true }, 111 + n));
  }
  for (const event of events) {
    const modifiers = ['ctrlKey', 'altKey', 'metaKey', 'shiftKey'].filter((m) => event[m]);
    assert.strictEqual(translateKey(event), null, `${event.key} ${modifiers.join('+')}`);
  }
});

test('a zip of the files reads back byte for byte', async () => {
  const progress = new Uint8Array([...'Dirt\r\n 17 \r\n'].map((c) => c.charCodeAt(0)));
  const achievements = new Uint8Array([0, 1, 2, 255, 13, 10]);
  const zip = makeZip([{ name: 'progress.ini', bytes: progress },
                       { name: 'achievements.ini', bytes: achievements }]);
  const files = await readZip(zip);
  assert.deepStrictEqual([...files.keys()], ['progress.ini', 'achievements.ini']);
  assert.deepStrictEqual(files.get('progress.ini'), progress);
  assert.deepStrictEqual(files.get('achievements.ini'), achievements);
  // The check value every zip reader verifies.
  assert.strictEqual(crc32(new TextEncoder().encode('123456789')), 0xcbf43926);
});

test('a zip packed by the system (deflated) reads too; junk is refused', async () => {
  const text = new TextEncoder().encode('Water\r\nWater\r\nWater\r\nWater\r\n');
  const packed = new Uint8Array(zlib.deflateRawSync(text));
  const zip = makeZip([{ name: 'Quillvane/progress.ini', bytes: packed }]);
  // Mark the entry deflated with its real size, as a system zip tool would.
  const view = new DataView(zip.buffer);
  const central = zip.length - 22 - (46 + 'Quillvane/progress.ini'.length);
  view.setUint16(8, 8, true);
  view.setUint16(central + 10, 8, true);
  view.setUint32(central + 24, text.length, true);
  const files = await readZip(zip);
  assert.deepStrictEqual(files.get('Quillvane/progress.ini'), text);
  await assert.rejects(readZip(new Uint8Array(100)), (error) => error.code === 'notZip');
});

// A chosen file as the page gets it, counting the bytes read from it.
function countingBlob(bytes) {
  const blob = new Blob([bytes]);
  const source = {
    size: blob.size,
    read: 0,
    slice(start, end) {
      const part = blob.slice(start, end);
      source.read += part.size;
      return part;
    },
  };
  return source;
}

test('of a zip only the wanted entries are read, and of each only its beginning', async () => {
  const progress = new TextEncoder().encode('Dirt\r\n 17 \r\n');
  const big = new Uint8Array(8 * 1024 * 1024).fill(7);
  const wanted = (name) => (name.endsWith('progress.ini') ? 1024 * 1024 : 0);
  for (const order of [[{ name: 'music.bin', bytes: big }, { name: 'progress.ini', bytes: progress }],
                       [{ name: 'progress.ini', bytes: progress }, { name: 'music.bin', bytes: big }]]) {
    const source = countingBlob(makeZip(order));
    const files = await readZip(source, wanted);
    assert.deepStrictEqual([...files.keys()], ['progress.ini']);
    assert.deepStrictEqual(files.get('progress.ini'), progress);
    assert.ok(source.read < 70 * 1024, `read ${source.read} bytes of ${source.size}`);
  }
  // A wanted entry larger than asked for gives its beginning, stored or
  // deflated, whatever size the deflated one claims; no more is unpacked.
  const head = big.subarray(0, 1024 * 1024);
  const stored = countingBlob(makeZip([{ name: 'progress.ini', bytes: big }]));
  assert.deepStrictEqual((await readZip(stored, wanted)).get('progress.ini'), head);
  assert.ok(stored.read < 1200 * 1024, `read ${stored.read} bytes of ${stored.size}`);
  const deflated = makeZip([{ name: 'progress.ini', bytes: new Uint8Array(zlib.deflateRawSync(big)) }]);
  const view = new DataView(deflated.buffer);
  const central = deflated.length - 22 - (46 + 'progress.ini'.length);
  view.setUint16(8, 8, true);
  view.setUint16(central + 10, 8, true);
  view.setUint32(central + 24, 100, true);  // claims 100 bytes
  assert.deepStrictEqual((await readZip(deflated, wanted)).get('progress.ini'), head);
  assert.strictEqual((await readZip(deflated, () => 0)).size, 0);
});

test('entries are found by their file name, whichever separator their folders use', async () => {
  const cases = [['progress.ini', 'progress.ini'], ['Quillvane/progress.ini', 'progress.ini'],
                 ['Quillvane\\progress.ini', 'progress.ini'], ['a\\b/c\\achievements.ini', 'achievements.ini'],
                 ['progress.ini/', '']];
  for (const [name, file] of cases) assert.strictEqual(entryName(name), file, name);
  const zip = makeZip([{ name: 'Quillvane\\progress.ini', bytes: new Uint8Array([65]) }]);
  const files = await readZip(zip, (name) => (entryName(name) === 'progress.ini' ? 10 : 0));
  assert.deepStrictEqual([...files.keys()], ['Quillvane\\progress.ini']);
});

test('the zip dates its entries with the file\'s time, or now', () => {
  const fields = (zip) => {
    const view = new DataView(zip.buffer);
    const central = zip.length - 22 - (46 + 'progress.ini'.length);
    return { localTime: view.getUint16(10, true), localDate: view.getUint16(12, true),
             time: view.getUint16(central + 12, true), date: view.getUint16(central + 14, true) };
  };
  const bytes = new Uint8Array([1]);
  const when = new Date(2026, 11, 10, 16, 42, 37);  // local time, as the zip keeps it
  const dated = fields(makeZip([{ name: 'progress.ini', bytes, date: when }]));
  assert.deepStrictEqual(dated, { localTime: (16 << 11) | (42 << 5) | 18, localDate: (46 << 9) | (12 << 5) | 10,
                                  time: (16 << 11) | (42 << 5) | 18, date: (46 << 9) | (12 << 5) | 10 });
  const before = new Date();
  const now = fields(makeZip([{ name: 'progress.ini', bytes }]));
  const after = new Date();
  const year = (now.date >> 9) + 1980, month = (now.date >> 5) & 15, day = now.date & 31;
  assert.ok(year >= before.getFullYear() && year <= after.getFullYear(), `year ${year}`);
  assert.ok(month >= 1 && month <= 12 && day >= 1 && day <= 31, `month ${month}, day ${day}`);
  assert.strictEqual(now.localDate, now.date);
});
