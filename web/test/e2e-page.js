// The web page's second cut in a browser (headless Chromium, or Firefox
// with QUILLVANE_BROWSER=firefox): Shift+Tab leaves the game area and Tab
// stays the game's; the log after the game area for a braille display,
// and a key with the focus nowhere still played; a quiet Start, and the browser asked to keep the game
// only where it answers by itself; the list's contrast read from its
// pixels in the normal, more-contrast and forced-colours modes, the focus
// told apart, and 16 px text on a 320 px phone; a NUL in a name said and
// drawn whole; a zip whose names use backslashes; log.txt in Save my
// files; and Load files giving the game's readers' verdict on saved files
// with one change each.
//   node e2e-page.js URL OUT_DIR TRANSCRIPTS_DIR
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const {
  url, outDir, transcripts, welcome, state, transcriptBlocks, launch, openPage, load, reload, record,
  press, settled, expectNew, playBlocks, storedFile, browserName,
} = require('./browser.js');

const zipModule = import('../zip.js');
const firefox = browserName === 'firefox';
const status = (page) => page.$eval('#status', (e) => e.textContent);
const game = transcriptBlocks(path.join(transcripts, 'combine-dirt-water.expected')).slice(1);
const continueBlocks = transcriptBlocks(path.join(transcripts, 'continue-saved-game.expected'))
  .slice(1, 4);

async function start(page) {
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
}

// Every write the game has sent is committed, and the game waits for a key.
const allKept = (page) => page.waitForFunction(() => window.quillvane.events.idle &&
  window.quillvane.store.waiting.size === 0 && window.quillvane.lines.waiting() === 0);

// ---- Shift+Tab leaves, Tab stays the game's ----
async function leaving(browser) {
  state.step = 'Shift+Tab leaves the game area';
  const page = await openPage(browser);
  await load(page);
  await start(page);
  await settled(page);
  const said = await page.evaluate(() => window.__said.length);
  await press(page, 'Shift+Tab');
  await page.waitForFunction(() => document.activeElement.id !== 'game');
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'load', state.step);
  state.step = 'Tab comes back, and inside the game changes the speech output';
  await press(page, 'Tab');
  await page.waitForFunction(() => document.activeElement.id === 'game');
  await press(page, 'Tab');  // mode 2: its cue, no line
  await press(page, 'Tab');  // no JAWS in a browser: the line says so, in the browser's voice
  await page.waitForFunction((n) => window.__said.length > n || window.__spoken.length > 0, {}, said);
  await settled(page);
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'game', state.step);
  const heard = await page.evaluate(() => [...window.__said, ...window.__spoken.map((s) => s.text)]);
  assert.ok(heard.includes('Jaws does not seem to be responding, Sapi on.'), `${state.step}: ${heard}`);
  await page.close();
}

// ---- a braille display panned past a line ----
// The log of lines comes after the game area, inside the outer application
// (where Orca's braille pans on to, showing the newest line from its first
// cell), and the game area holds no text (a pan back puts Orca's caret
// there, where a line would be read again); a key pressed with the focus
// nowhere (where a pan leaves the browser's focus) still plays, the game
// area taking the focus back; Tab from there is the browser's.
async function pannedPast(browser) {
  state.step = 'the log after the game area';
  const page = await openPage(browser);
  await load(page);
  await start(page);
  await playBlocks(page, game.slice(0, 3));
  await settled(page);
  assert.deepStrictEqual(await page.evaluate(() => {
    const log = document.getElementById('lines');
    return { after: log.previousElementSibling.id, inside: log.parentElement.id,
             gameText: document.getElementById('game').textContent.trim() };
  }), { after: 'game', inside: 'quillvane', gameText: '' }, state.step);
  state.step = 'a key with the focus nowhere plays, and the game area takes the focus back';
  const announced = (await record(page)).announced.length;
  await page.evaluate(() => document.activeElement.blur());
  assert.strictEqual(await page.evaluate(() => document.activeElement === document.body), true);
  await press(page, game[3].key);
  await expectNew(page, 'announced', announced, game[3].says);
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'game', state.step);
  state.step = 'Tab with the focus nowhere is the browser\'s';
  await settled(page);
  const before = (await record(page)).announced.length;
  await page.evaluate(() => document.activeElement.blur());
  await press(page, 'Tab');
  await page.waitForFunction(() => document.activeElement !== document.body);
  assert.notStrictEqual(await page.evaluate(() => document.activeElement.id), 'game', state.step);
  await settled(page);
  assert.strictEqual((await record(page)).announced.length, before, `${state.step}: nothing said`);
  await page.close();
}

// ---- a quiet Start; the persist question ----
// A first session plays to a discovery (the game's first real saves), a
// second one starts: each Start announces the welcome line and nothing
// else, and the status line stays empty.
async function quietStart(before, wantKeep) {
  const { browser } = await launch();
  const page = await openPage(browser, before);
  await load(page);
  state.step = `${wantKeep}: first Start`;
  await start(page);
  await allKept(page);
  assert.deepStrictEqual((await record(page)).announced, [welcome], state.step);
  assert.strictEqual(await status(page), '', state.step);
  await playBlocks(page, game);
  await allKept(page);
  const answer = () => page.evaluate(() => window.quillvane.keep.answer);
  const keepShown = () => page.$eval('#keep', (button) => !button.hidden);
  if (wantKeep === 'offered') {
    // The browser would ask the player: nothing is asked, the button offers it.
    await page.waitForFunction(() => !document.getElementById('keep').hidden);
    assert.strictEqual(await status(page), '', `${state.step}: nothing said`);
    assert.strictEqual(await answer(), '');
    state.step = 'Keep my game in this browser, pressed';
    await page.click('#keep');
    await page.waitForFunction(() => window.quillvane.keep.answer !== '');
    assert.strictEqual(await keepShown(), false);
  } else {
    // The browser answers by itself: asked, and its answer said once.
    await page.waitForFunction(() => window.quillvane.keep.answer !== '');
    assert.strictEqual(await keepShown(), false, state.step);
  }
  assert.strictEqual(await status(page), {
    granted: 'This browser has agreed to keep your game.',
    refused: 'This browser may clear your game if it runs short of space: use Save my files now and then.',
  }[await answer()], `${state.step}: the answer said`);
  state.step = `${wantKeep}: second session`;
  await reload(page);
  await start(page);
  await allKept(page);
  await playBlocks(page, continueBlocks);
  await allKept(page);
  const announced = (await record(page)).announced;
  assert.deepStrictEqual(announced, [welcome, ...continueBlocks.flatMap((block) => block.says)],
                         `${state.step}: the game's lines only`);
  assert.strictEqual(await status(page), '', `${state.step}: the answer is not said again`);
  assert.strictEqual(await keepShown(), false, state.step);
  await browser.close();
}

// ---- contrast ----
// WCAG's contrast ratio of two colours [r, g, b].
function contrast(a, b) {
  const lum = (c) => {
    const [r, g, bl] = c.map((v) => {
      const s = v / 255;
      return s <= 0.04045 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
  };
  const [hi, lo] = [lum(a), lum(b)].sort((x, y) => y - x);
  return (hi + 0.05) / (lo + 0.05);
}

// The background of a region of the canvas (its most common colour) and
// the ink that stands out most from it, as [r, g, b]: the region is given
// in the list's units, from x0 to x1 on the row at y.
async function inkAndBackground(page, y, x0, x1) {
  const pixels = await page.evaluate((top, left, right) => {
    const list = window.quillvane.list;
    const canvas = document.getElementById('items');
    const perUnit = canvas.width / canvas.getBoundingClientRect().width * list.scale;
    const sx = Math.round(left * perUnit);
    const sy = Math.round((top - list.scroll - 1) * perUnit);
    const width = Math.round((right - left) * perUnit);
    const height = Math.round(15 * perUnit);
    return Array.from(canvas.getContext('2d').getImageData(sx, sy, width, height).data);
  }, y, x0, x1);
  const counts = new Map();
  for (let i = 0; i < pixels.length; i += 4) {
    const key = pixels.slice(i, i + 3).join(',');
    counts.set(key, (counts.get(key) || 0) + 1);
  }
  const background = [...counts].sort((a, b) => b[1] - a[1])[0][0].split(',').map(Number);
  let ink = background;
  for (const key of counts.keys()) {
    const colour = key.split(',').map(Number);
    if (contrast(colour, background) > contrast(ink, background)) ink = colour;
  }
  return { background, ink, ratio: contrast(ink, background) };
}

// The ratios of the selection's bracket, a slot's name and another name on
// the list as drawn now; Dirt is in slot 1, Water selected and in slot 2.
async function listRatios(page) {
  const rows = await page.evaluate(() => window.quillvane.list.rows);
  const selected = rows.find((row) => row.selected);
  const slot = rows.find((row) => !row.selected && row.pieces.some((piece) => piece.role === 2));
  const plain = rows.find((row) => !row.selected && row.pieces.every((piece) => piece.role === 0));
  return {
    selection: await inkAndBackground(page, selected.y, 10, 19),
    slot: await inkAndBackground(page, slot.y, 20, 50),
    name: await inkAndBackground(page, plain.y, 20, 50),
  };
}

// The game area's outline focused and not: the pixels along a line through
// its left edge, from a screenshot; the largest thickness (CSS px) over
// which the two states differ by at least 3:1.
async function focusChange(page) {
  const shot = async () => {
    const box = await page.$eval('#game', (e) => {
      // In the document's coordinates, as a screenshot's clip is given.
      const r = e.getBoundingClientRect();
      return { x: r.left + window.scrollX, y: r.top + window.scrollY + 40 };
    });
    const png = await page.screenshot({ clip: { x: box.x - 16, y: box.y, width: 32, height: 1 },
                                        encoding: 'base64' });
    return page.evaluate(async (data) => {
      const image = new Image();
      image.src = `data:image/png;base64,${data}`;
      await image.decode();
      const canvas = new OffscreenCanvas(image.width, image.height);
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      return { pixels: Array.from(context.getImageData(0, 0, image.width, 1).data),
               scale: image.width / 32 };
    }, png);
  };
  await page.bringToFront();
  await page.focus('#game');
  await page.waitForFunction(() => document.getElementById('game').matches(':focus'));
  const focused = await shot();
  await page.focus('#save');
  const unfocused = await shot();
  await page.focus('#game');
  let run = 0;
  let longest = 0;
  let most = 1;
  for (let i = 0; i < focused.pixels.length; i += 4) {
    const ratio = contrast(focused.pixels.slice(i, i + 3), unfocused.pixels.slice(i, i + 3));
    most = Math.max(most, ratio);
    run = ratio >= 3 ? run + 1 : 0;
    longest = Math.max(longest, run);
  }
  return { thickness: longest / focused.scale, ratio: most };
}

// Asks Chromium to emulate media features (prefers-contrast among them,
// which puppeteer's own call does not know), through a session kept open:
// its emulation ends with it.
const mediaSessions = new WeakMap();
async function emulateMedia(page, features) {
  if (firefox) return;
  if (!mediaSessions.has(page)) mediaSessions.set(page, await page.createCDPSession());
  await mediaSessions.get(page).send('Emulation.setEmulatedMedia', { media: '', features });
}

// Plays to Water in slot 2 with Dirt in slot 1, then reads the list in
// each mode: Chromium is asked to emulate it; Firefox is started with a
// high contrast theme of its own (which also asks for more contrast), and
// has no way to ask for more contrast alone.
const playedToWater = game.slice(0, game.findIndex(
  (block) => block.key === 'Enter' && block.says[0].startsWith('Water in slot 2')) + 1);
async function readable() {
  const modes = [
    ['normal', [], {}, '(forced-colors: none)'],
    ['more contrast', [{ name: 'prefers-contrast', value: 'more' }], null, '(prefers-contrast: more)'],
    ['forced colours', [{ name: 'forced-colors', value: 'active' }], { 'browser.display.document_color_use': 2 },
     '(forced-colors: active)'],
  ];
  const figures = [];
  let page = null;
  let browser = null;
  for (const [mode, features, firefoxPrefs, query] of modes) {
    state.step = `the list's contrast, ${mode}`;
    if (firefox && !firefoxPrefs) {
      console.log(`web page (firefox): ${mode} not run: Firefox cannot be asked for it alone`);
      continue;
    }
    if (browser) await browser.close();
    ({ browser } = await launch(firefox ? firefoxPrefs : {}));
    page = await openPage(browser);
    await load(page);
    await start(page);
    await playBlocks(page, playedToWater);
    state.step = `the list's contrast, ${mode}`;
    await emulateMedia(page, features);
    assert.ok(await page.evaluate((q) => matchMedia(q).matches, query), `${state.step}: ${query}`);
    await page.evaluate(() => window.quillvane.list.redraw());
    await page.waitForFunction(() => !window.quillvane.list.frameRequested);
    const ratios = await listRatios(page);
    const focus = await focusChange(page);
    for (const [what, found] of Object.entries(ratios))
      assert.ok(found.ratio >= 4.5, `${state.step}: ${what} ${JSON.stringify(found)}`);
    assert.ok(focus.ratio >= 3 && focus.thickness >= 2, `${state.step}: focus ${JSON.stringify(focus)}`);
    figures.push(`${mode}: selection ${ratios.selection.ratio.toFixed(2)}, slot ${ratios.slot.ratio.toFixed(2)}, ` +
                 `name ${ratios.name.ratio.toFixed(2)}, focus ${focus.ratio.toFixed(2)} over ` +
                 `${focus.thickness} px`);
    const file = `list-${mode.replace(' ', '-')}${firefox ? '-firefox' : ''}.png`;
    await (await page.$('#game')).screenshot({ path: path.join(outDir, file) });
    if (mode === 'forced colours') {
      await page.screenshot({ path: path.join(outDir, `page-forced-colours${firefox ? '-firefox' : ''}.png`),
                              fullPage: true });
      const drawn = await page.evaluate(() => window.quillvane.list.colours);
      const system = await page.evaluate(() => {
        const probe = document.getElementById('colour-probe');
        probe.style.color = 'CanvasText';
        return getComputedStyle(probe).color;
      });
      assert.strictEqual(drawn.name, system, `${state.step}: the list is drawn in the system's CanvasText`);
    }
    if (mode !== 'normal') continue;
    // A 320 px phone: the list's text at least 16 CSS px, measured from the
    // drawn bracket against one drawn at a known size.
    state.step = 'the list on a 320 px phone';
    // (A touch screen's emulation would reload the page, and end the game.)
    await page.setViewport({ width: 320, height: 640, deviceScaleFactor: firefox ? 1 : 2 });
    await page.waitForFunction(() => window.innerWidth === 320);
    await page.waitForFunction(() => {
      const canvas = document.getElementById('items');
      return Math.abs(canvas.width - canvas.getBoundingClientRect().width * devicePixelRatio) <= 1;
    });
    await page.evaluate(() => window.quillvane.list.redraw());
    await page.waitForFunction(() => !window.quillvane.list.frameRequested);
    const text = await page.evaluate(() => {
      const list = window.quillvane.list;
      const canvas = document.getElementById('items');
      const cssPerPixel = canvas.getBoundingClientRect().width / canvas.width;
      const selected = list.rows.find((row) => row.selected);
      const perUnit = list.scale / cssPerPixel;
      const x0 = Math.round(10 * perUnit);
      const y0 = Math.round((selected.y - list.scroll - 1) * perUnit);
      const data = canvas.getContext('2d').getImageData(x0, y0, Math.round(9 * perUnit), Math.round(15 * perUnit));
      const inked = (d, w, h) => {
        let top = h, bottom = -1;
        for (let y = 0; y < h; y++)
          for (let x = 0; x < w; x++) {
            const i = (y * w + x) * 4;
            if (d[i] + d[i + 1] + d[i + 2] < 500) { top = Math.min(top, y); bottom = Math.max(bottom, y); }
          }
        return bottom - top + 1;
      };
      const bracket = inked(data.data, data.width, data.height) * cssPerPixel;
      // The same bracket drawn at 100 px, in the same font.
      const probe = new OffscreenCanvas(100, 150);
      const context = probe.getContext('2d');
      context.fillStyle = '#fff';
      context.fillRect(0, 0, 100, 150);
      context.fillStyle = '#000';
      context.font = 'bold 100px "DejaVu Sans", sans-serif';
      context.textBaseline = 'top';
      context.fillText('[', 10, 10);
      const known = inked(context.getImageData(0, 0, 100, 150).data, 100, 150);
      return { size: bracket / known * 100, scale: list.scale, width: canvas.getBoundingClientRect().width };
    });
    assert.ok(text.size >= 15.5, `${state.step}: text of ${JSON.stringify(text)}`);
    await page.screenshot({ path: path.join(outDir, `phone-320${firefox ? '-firefox' : ''}.png`), fullPage: false });
    console.log(`web page${firefox ? ' (firefox)' : ''}: list text on a 320 px phone ` +
                `${text.size.toFixed(1)} CSS px (the list ${text.width.toFixed(0)} px wide)`);
  }
  await browser.close();
  console.log(`web page${firefox ? ' (firefox)' : ''}: contrast ratios read from the canvas: ${figures.join('; ')}`);
}

// ---- saved files made here ----
const bytesOf = (text) => Buffer.from(text, 'latin1');
const getcode = (name) => [...bytesOf(name)].reduce((sum, byte, i) => sum + BigInt(byte + i + 1), 0n);
// A progress.ini as the game writes it (its checksums computed as the
// game's), items the 36 names.
function progressFile(items, { steps = 0n, difficulty = 3n, r = 1234n, rate = 0n, mode = 1n } = {}) {
  let a = r;
  let b = r;
  items.forEach((name, i) => {
    a += getcode(name);
    b += getcode(name) - BigInt(i + 1);
  });
  a += 3n * BigInt(steps) + 8n * BigInt(difficulty);
  b += 5n * BigInt(steps) + 9n * BigInt(difficulty);
  const number = (n) => (BigInt(n) < 0n ? `${n} ` : ` ${n} `);
  return bytesOf([...items, ...[steps, difficulty, a, b, 152n * r, rate, mode].map(number)]
    .map((line) => `${line}\r\n`).join(''));
}

// ---- a NUL in a name ----
async function nulInAName(dir) {
  state.step = 'a NUL in a name';
  const items = ['Apple', 'Chicken', 'Cow', 'Dirt', 'Dirt', 'Grass', ...Array(15).fill('Magic'),
                 'Nul\0Stone', 'Ocean', 'Pig', 'Pine cone', 'Pine tree', 'Rock', 'Rock', 'Sand', 'Sea shells',
                 'Sunshine', 'Water', 'Water', 'Wind', 'Wood', 'Wool'];
  assert.strictEqual(items.length, 36);
  fs.writeFileSync(path.join(dir, 'progress.ini'), progressFile(items));
  const { browser } = await launch();
  const page = await openPage(browser);
  await load(page);
  await (await page.$('#load-input')).uploadFile(path.join(dir, 'progress.ini'));
  await page.waitForFunction(() => /Loaded|not loaded/.test(document.getElementById('status').textContent));
  assert.strictEqual(await status(page), 'Loaded progress.ini. Press Start Quillvane, then Continue.');
  await start(page);
  await playBlocks(page, continueBlocks);
  // N jumps to the name: said whole, the NUL escaped as the terminal prints it.
  await playBlocks(page, [{ key: 'N', says: ['Nul\\x00Stone, you have 1.'] },
                          { key: 'Down', says: ['Ocean, you have 1.'] }]);
  const drawn = await page.evaluate(() => window.quillvane.list.rows.map(
    (row) => row.pieces.map((piece) => piece.text).join('|')));
  assert.strictEqual(drawn.length, 36, `${state.step}: every row drawn`);
  assert.ok(drawn.includes('Nul\\x00Stone'), `${state.step}: ${drawn}`);
  await browser.close();
}

// ---- Save my files: progress.ini, achievements.ini and log.txt; a zip with backslashes ----
async function filesInAndOut(dir) {
  const { makeZip, readZip } = await zipModule;
  state.step = 'Save my files';
  const { browser } = await launch();
  const page = await openPage(browser, () => {
    // The zip the page hands the browser to download, kept for a look.
    const make = URL.createObjectURL;
    URL.createObjectURL = (blob) => {
      window.__saved = blob;
      return make(blob);
    };
  });
  await load(page);
  await start(page);
  await playBlocks(page, game);
  await allKept(page);
  await page.click('#save');
  await page.waitForFunction(() => window.__saved);
  const zip = new Uint8Array(await page.evaluate(async () => Array.from(new Uint8Array(
    await window.__saved.arrayBuffer()))));
  const files = await readZip(zip);
  assert.deepStrictEqual([...files.keys()], ['progress.ini', 'achievements.ini', 'log.txt'], state.step);
  for (const name of files.keys())
    assert.deepStrictEqual(Array.from(files.get(name)), await storedFile(page, name), `${state.step}: ${name}`);
  const log = Buffer.from(files.get('log.txt')).toString('latin1');
  assert.ok(log.includes('New discovery!  Combining Dirt and Water creates Mud and Mud.\r\n'), log);
  assert.strictEqual(await status(page), 'Saved progress.ini, achievements.ini and log.txt in quillvane-files.zip.');

  state.step = 'Load files: a zip whose names use backslashes';
  const other = (await launch()).browser;
  const fresh = await openPage(other);
  await load(fresh);
  const backslashed = path.join(dir, 'windows.zip');
  fs.writeFileSync(backslashed, makeZip([{ name: 'Quillvane\\progress.ini', bytes: files.get('progress.ini') },
                                         { name: 'Quillvane\\achievements.ini', bytes: files.get('achievements.ini') }]));
  await (await fresh.$('#load-input')).uploadFile(backslashed);
  await fresh.waitForFunction(() => /Loaded|not loaded|Choose/.test(document.getElementById('status').textContent));
  assert.strictEqual(await status(fresh), 'Loaded progress.ini and achievements.ini. Press Start Quillvane, then Continue.');
  for (const name of ['progress.ini', 'achievements.ini'])
    assert.deepStrictEqual(await storedFile(fresh, name), Array.from(files.get(name)), `${state.step}: ${name}`);
  await other.close();
  await browser.close();
  return files;
}

// ---- Load files: the game's readers' verdict on saved files with one change ----
// The valid files (from a played game), each changed in one way; each row's
// verdict is the one given here, and the game's own (the node build of the
// game, started on a folder that holds the file).
function loadRows(progress, achievements) {
  const lines = (bytes) => bytes.toString('latin1').split('\r\n').slice(0, -1);
  const file = (all) => bytesOf(all.map((line) => `${line}\r\n`).join(''));
  const P = lines(progress);
  const A = lines(achievements);
  assert.strictEqual(P.length, 43);
  assert.strictEqual(A.length, 2236);
  const nul = Buffer.alloc(1024 * 1024);
  const lineEnds = Buffer.alloc(50 * 1024 * 1024, '\r\n');
  // A progress.ini with one number changed and its checksums made to
  // match: only the number's range is wrong.
  const progressWith = (line, value) => {
    const changed = [...P];
    const delta = BigInt(value) - BigInt(P[line].trim());
    const [a, b] = { 36: [3n, 5n], 37: [8n, 9n] }[line] || [0n, 0n];
    changed[line] = BigInt(value) < 0n ? `${value} ` : ` ${value} `;
    changed[38] = ` ${BigInt(P[38].trim()) + a * delta} `;
    changed[39] = ` ${BigInt(P[39].trim()) + b * delta} `;
    return file(changed);
  };
  const achievementsWith = (line, value) => {
    const changed = [...A];
    const delta = BigInt(value) - BigInt(A[line].trim() || '0');
    const [a, b] = line < 1944 ? (line % 2 === 0 ? [5n, 6n] : [1n, 3n]) : [0n, 0n];
    changed[line] = BigInt(value) < 0n ? `${value} ` : ` ${value} `;
    changed[2233] = ` ${BigInt(A[2233].trim()) + a * delta} `;
    changed[2234] = ` ${BigInt(A[2234].trim()) + b * delta} `;
    return file(changed);
  };
  const emptyRecipe = A.findIndex((line, i) => i >= 1944 && line === '');
  const past32 = 2n ** 31n;
  const past64 = 2n ** 63n;
  // [name, file, bytes, verdict]
  return [
    ['progress.ini as it was saved', 'progress.ini', progress, 'accepted'],
    ['progress.ini and a CR LF', 'progress.ini', Buffer.concat([progress, bytesOf('\r\n')]), 'accepted'],
    ['progress.ini and an LF', 'progress.ini', Buffer.concat([progress, bytesOf('\n')]), 'accepted'],
    ['progress.ini and a line of text', 'progress.ini', Buffer.concat([progress, bytesOf('not part of any game\r\n')]),
     'accepted'],
    ['progress.ini and 1 MB of NUL bytes', 'progress.ini', Buffer.concat([progress, nul]), 'accepted'],
    ['progress.ini without its last CR LF', 'progress.ini', progress.subarray(0, progress.length - 2), 'accepted'],
    ['progress.ini of 42 lines and a CR LF', 'progress.ini', Buffer.concat([file(P.slice(0, 42)), bytesOf('\r\n')]),
     'accepted'],
    ['progress.ini, steps one past the range', 'progress.ini', progressWith(36, past32), 'damaged'],
    ['progress.ini, steps one below the range', 'progress.ini', progressWith(36, -past32 - 1n), 'damaged'],
    ['progress.ini, difficulty 4', 'progress.ini', progressWith(37, 4), 'damaged'],
    ['progress.ini, difficulty -1', 'progress.ini', progressWith(37, -1), 'damaged'],
    ['progress.ini, a checksum one past the range', 'progress.ini', file([...P.slice(0, 38), ` ${past64} `,
                                                                         ...P.slice(39)]), 'damaged'],
    ['progress.ini, the checksum seed -1', 'progress.ini', file([...P.slice(0, 40), '-1 ', ...P.slice(41)]),
     'damaged'],
    ['progress.ini, the rate one past the range', 'progress.ini', progressWith(41, past32), 'damaged'],
    ['progress.ini, the speech mode one past the range', 'progress.ini', progressWith(42, past32), 'damaged'],
    ['progress.ini of 50 MB of line ends', 'progress.ini', lineEnds, 'damaged'],
    ['achievements.ini as it was saved', 'achievements.ini', achievements, 'accepted'],
    ['achievements.ini and a CR LF', 'achievements.ini', Buffer.concat([achievements, bytesOf('\r\n')]), 'accepted'],
    ['achievements.ini and an LF', 'achievements.ini', Buffer.concat([achievements, bytesOf('\n')]), 'accepted'],
    ['achievements.ini and a line of text', 'achievements.ini',
     Buffer.concat([achievements, bytesOf('not part of any game\r\n')]), 'accepted'],
    ['achievements.ini and 1 MB of NUL bytes', 'achievements.ini', Buffer.concat([achievements, nul]), 'accepted'],
    ['achievements.ini without its last CR LF', 'achievements.ini', achievements.subarray(0, achievements.length - 2),
     'accepted'],
    ['achievements.ini, a recipe line of spaces', 'achievements.ini',
     file([...A.slice(0, emptyRecipe), '   ', ...A.slice(emptyRecipe + 1)]), 'accepted'],
    ['achievements.ini, an unlocked value one past the range', 'achievements.ini', achievementsWith(0, past32),
     'damaged'],
    ['achievements.ini, a record one past the range', 'achievements.ini', achievementsWith(1, past32), 'damaged'],
    ['achievements.ini, a recipe flag one past the range', 'achievements.ini', achievementsWith(emptyRecipe, past32),
     'damaged'],
    ['achievements.ini, the checksum seed -1', 'achievements.ini',
     file([...A.slice(0, 2235), '-1 ']), 'damaged'],
    ['achievements.ini of 50 MB of line ends', 'achievements.ini', lineEnds, 'damaged'],
  ];
}

// The verdict of the game (the node build, as the desktop reads the whole
// file) on a folder holding this one file: damaged or accepted.
function desktopVerdict(dir, name, bytes) {
  const folder = fs.mkdtempSync(path.join(dir, 'desktop-'));
  fs.writeFileSync(path.join(folder, name), bytes);
  fs.writeFileSync(path.join(folder, 'keys'), '');
  const runner = path.join(__dirname, '../../build-web/node/quillvane.js');
  execFileSync('node', [runner, '--script', path.join(folder, 'keys'), '--data-dir', folder, '--seed', '1',
                        '--transcript', path.join(folder, 'transcript')]);
  const transcript = fs.readFileSync(path.join(folder, 'transcript'), 'latin1');
  fs.rmSync(folder, { recursive: true, force: true });
  return transcript.includes('appears to have been damaged') ? 'damaged' : 'accepted';
}

async function loadVerdicts(dir, files) {
  const rows = loadRows(Buffer.from(files.get('progress.ini')), Buffer.from(files.get('achievements.ini')));
  const { browser } = await launch();
  const page = await openPage(browser);
  await load(page);
  const table = [];
  for (const [name, file, bytes, verdict] of rows) {
    state.step = `Load files: ${name}`;
    const rowDir = fs.mkdtempSync(path.join(dir, 'row-'));
    fs.writeFileSync(path.join(rowDir, file), bytes);
    await page.evaluate(() => { document.getElementById('status').textContent = ''; });
    await (await page.$('#load-input')).uploadFile(path.join(rowDir, file));
    await page.waitForFunction(() => document.getElementById('status').textContent !== '', { timeout: 60000 });
    const said = await status(page);
    const onPage = said.startsWith('Loaded') ? 'accepted' : 'damaged';
    if (onPage === 'damaged') {
      assert.strictEqual(said, `Your files were not loaded: ${file} appears to have been damaged. Nothing was changed.`);
    } else {
      // What is kept is the lines the game reads.
      const lines = file === 'progress.ini' ? 43 : 2236;
      let end = 0;
      for (let seen = 0; end < bytes.length && seen < lines; end++) if (bytes[end] === 10) seen++;
      assert.deepStrictEqual(Buffer.from(await storedFile(page, file)), bytes.subarray(0, end), `${state.step}: kept`);
    }
    // The game started on the same file, but for the 50 MB ones (their verdict is given).
    const desktop = bytes.length <= 2 * 1024 * 1024 ? desktopVerdict(dir, file, bytes) : null;
    if (desktop) assert.strictEqual(onPage, desktop, `${state.step}: the page as the game`);
    assert.strictEqual(onPage, verdict, state.step);
    table.push(`  ${name}: ${onPage}${desktop ? ` (the game: ${desktop})` : ''}`);
    fs.rmSync(rowDir, { recursive: true, force: true });
  }
  await browser.close();
  console.log(`web page${firefox ? ' (firefox)' : ''}: Load files' verdicts\n${table.join('\n')}`);
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quillvane-page-'));
  try {
    const { browser } = await launch();
    await leaving(browser);
    await pannedPast(browser);
    await browser.close();
    await quietStart(null, 'offered');
    await quietStart(() => {
      // A browser that grants persistent storage without asking the player.
      const query = navigator.permissions.query.bind(navigator.permissions);
      navigator.permissions.query = (descriptor) => (descriptor.name === 'persistent-storage'
        ? Promise.resolve({ state: 'granted' }) : query(descriptor));
      navigator.storage.persist = () => Promise.resolve(true);
    }, 'asked');
    await readable();
    await nulInAName(dir);
    const files = await filesInAndOut(dir);
    await loadVerdicts(dir, files);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
  console.log(`web page${firefox ? ' (firefox)' : ''} end-to-end: all scenarios passed`);
}

main().catch((error) => {
  console.error(`web page end-to-end failed at ${state.step}: ${error.stack || error}`);
  process.exit(1);
});
