// The web edition played by touch alone on an emulated phone (a Pixel 5,
// touch on): every button found through the accessibility tree by its
// name and tapped, the lines announced equal to the keyboard transcript of
// the same moves; taps on the list's lines; the jump field; the page no
// wider than the screen at 320 and 390 px; screenshots before and after
// Start and of the list in play.
//   node e2e-touch.js URL OUT_DIR TRANSCRIPTS_DIR
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const assert = require('node:assert');
const { KnownDevices } = require('puppeteer-core');
const {
  url, outDir, transcripts, welcome, state, transcriptBlocks, launch, openPage, whenReady, record,
  settled, unvaried, axLines, swipeStops,
} = require('./browser.js');

const phone = KnownDevices['Pixel 5'];
// The button each key of the transcript's key script stands for.
const buttonForKey = { Down: 'Next item', Enter: 'Choose', 'Shift+Enter': 'Combine', Escape: 'Menu' };

const announcedCount = async (page) => (await record(page)).announced.length;
// Waits until the log of lines holds at least n lines in all and the game
// is idle again; the lines as the game said them.
async function heardAtLeast(page, n) {
  try {
    await page.waitForFunction((want) => window.__announced.length >= want, { timeout: 30000 }, n);
    await settled(page);
  } catch (error) {
    // Fall through: the caller's comparison says what came instead.
  }
  return (await record(page)).announced.map(unvaried);
}

// The element the accessibility tree names so, with that role.
async function byName(page, role, name) {
  const element = await page.$(`::-p-aria([name="${name}"][role="${role}"])`);
  assert.ok(element, `${state.step}: a ${role} named "${name}" in the accessibility tree`);
  return element;
}

// The page fits the screen: nothing scrolls sideways.
async function checkWidth(page, width) {
  await page.setViewport({ ...phone.viewport, width, height: 844 });
  await page.waitForFunction((w) => window.innerWidth === w, {}, width);
  const { scrollWidth, innerWidth } = await page.evaluate(() => ({
    scrollWidth: document.documentElement.scrollWidth, innerWidth: window.innerWidth }));
  assert.ok(scrollWidth <= innerWidth, `${state.step}: ${scrollWidth} px wide on a ${innerWidth} px screen`);
}

// The middle of the list's line for entry n, in the page's CSS pixels; a
// line is 15 units, drawn at the list's scale (CSS px a unit).
async function lineCentre(page, entry) {
  return page.evaluate((n) => {
    const box = document.getElementById('items').getBoundingClientRect();
    const list = window.quillvane.list;
    return { x: box.left + box.width / 2, y: box.top + ((n + 0.5) * 15 - list.scroll) * list.scale };
  }, entry);
}

// Waits until the green selection is drawn on the line of entry n alone.
async function selectionDrawnOn(page, entry) {
  await page.waitForFunction((n) => {
    const canvas = document.getElementById('items');
    const list = window.quillvane.list;
    const scale = list.scale * canvas.width / canvas.getBoundingClientRect().width;
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let top = Infinity, bottom = -1, count = 0;
    for (let i = 0; i < data.length; i += 4) {
      if (data[i + 1] > 80 && data[i] < 60 && data[i + 2] < 60) {
        const y = Math.floor(i / 4 / canvas.width);
        top = Math.min(top, y);
        bottom = Math.max(bottom, y);
        count++;
      }
    }
    const lineTop = (n * 15 - list.scroll) * scale;
    return count > 20 && top >= lineTop - 1 && bottom <= lineTop + 15 * scale + 1;
  }, { timeout: 30000 }, entry);
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const blocks = transcriptBlocks(path.join(transcripts, 'touch-dirt-water.expected'));
  const { browser } = await launch();
  const page = await openPage(browser);

  // ---- before Start ----
  state.step = 'before Start';
  // Turning touch on reloads the page, here the game's rather than a blank one.
  await page.goto(url, { waitUntil: 'load' });
  await page.emulate(phone);
  await whenReady(page);
  assert.ok(await page.evaluate(() => navigator.maxTouchPoints > 0 && devicePixelRatio > 1),
            'a touch screen of high density');
  await checkWidth(page, 320);
  await checkWidth(page, 390);
  await page.screenshot({ path: path.join(outDir, 'touch-before.png'), fullPage: true });
  assert.strictEqual(await page.$eval('#controls', (e) => e.hidden), true, 'no controls before Start');

  state.step = 'Start';
  await page.setViewport(phone.viewport);
  await (await byName(page, 'button', 'Start Quillvane')).tap();
  assert.deepStrictEqual(await heardAtLeast(page, 1), [welcome], state.step);
  await checkWidth(page, 320);
  await checkWidth(page, 390);
  await page.screenshot({ path: path.join(outDir, 'touch-after.png'), fullPage: true });
  await page.setViewport(phone.viewport);

  // ---- the controls as a screen reader finds them ----
  state.step = 'the controls';
  await byName(page, 'group', 'Game controls');
  const names = await page.$$eval('#control-buttons button', (all) => all.map((b) => b.textContent));
  assert.deepStrictEqual(names.slice(0, 5), ['Next item', 'Previous item', 'Choose', 'Combine', 'Repeat']);
  assert.strictEqual(names.length, 21);
  for (const name of names) {
    const button = await byName(page, 'button', name);
    const box = await button.boundingBox();
    assert.ok(box.width >= 44 && box.height >= 44, `${name}: ${box.width} x ${box.height}`);
  }
  await byName(page, 'textbox', 'Jump to letter');
  const layout = await page.evaluate(() => {
    const canvas = document.getElementById('items');
    const box = canvas.getBoundingClientRect();
    const controls = document.getElementById('controls');
    const files = document.querySelector('section[aria-labelledby="files-heading"]');
    return {
      unnamed: !canvas.hasAttribute('aria-label') && !canvas.hasAttribute('aria-labelledby') &&
               !canvas.textContent.trim(),
      width: canvas.width, height: canvas.height,
      wantWidth: box.width * devicePixelRatio, wantHeight: box.height * devicePixelRatio,
      canvasAbove: box.bottom <= controls.getBoundingClientRect().top,
      outsideApplication: !controls.closest('[role="application"]') &&
          !!(document.getElementById('quillvane').compareDocumentPosition(controls) &
             Node.DOCUMENT_POSITION_FOLLOWING),
      filesBefore: files.getBoundingClientRect().bottom <= box.top &&
                   !!(files.compareDocumentPosition(canvas) & Node.DOCUMENT_POSITION_FOLLOWING),
    };
  });
  // Unnamed, screen readers pass the canvas by (the swipes below count the
  // stops); it stays in the tree as the game area's content for Orca.
  assert.strictEqual(layout.unnamed, true, 'the canvas has no name');
  assert.ok(Math.abs(layout.width - layout.wantWidth) <= 1 && Math.abs(layout.height - layout.wantHeight) <= 1,
            `the canvas in device pixels: ${JSON.stringify(layout)}`);
  assert.ok(layout.canvasAbove && layout.filesBefore, `files, list, controls: ${JSON.stringify(layout)}`);
  assert.ok(layout.outsideApplication, 'the controls are outside the application, after it');

  // ---- a game by taps alone ----
  // Each tap with the number of lines heard before it; a tap waits for the
  // first line it brings (a silent Choose, speaks false, for none) and for
  // the game to be idle again with all its lines in the log.
  const taps = [];
  async function tap(name, speaks = true) {
    state.step = `tap ${name} (${taps.length + 1})`;
    const before = await announcedCount(page);
    taps.push({ name, before });
    await (await byName(page, 'button', name)).tap();
    if (speaks) {
      // Settled before the tap, the game had said as many lines as the log holds.
      await page.waitForFunction((n) => window.__said.length > n, { timeout: 30000 }, before);
    }
    await settled(page);
    assert.strictEqual(await page.evaluate(() => document.activeElement.textContent), name,
                       `${state.step}: the focus stays on the button`);
    const heard = (await record(page)).announced.map(unvaried);
    return heard[heard.length - 1];
  }
  async function tapUntil(name, line) {
    for (let i = 0; i < 40; i++) if ((await tap(name)) === line) return;
    assert.fail(`${name} never reached "${line}"`);
  }
  await tap('Choose');  // the main menu: a new game
  await tap('Choose');  // easy
  await tapUntil('Next item', 'Dirt, you have 2.');
  await tap('Choose');
  await tapUntil('Next item', 'Water, you have 2.');
  await tap('Choose');
  await tap('Combine');
  await tap('Menu');
  await tap('Next item');
  assert.strictEqual(unvaried((await record(page)).announced.pop()), 'Return to the game');
  await tap('Choose', false);
  await tap('Next item');  // back in the game: an item

  // The same moves as keys, line for line.
  state.step = 'the keyboard transcript of the same moves';
  const says = blocks.flatMap((block) => block.says);
  const heard = await heardAtLeast(page, says.length);
  assert.deepStrictEqual(taps.map((t) => t.name), blocks.slice(1).map((block) => buttonForKey[block.key]),
                         'the taps are the key script');
  assert.deepStrictEqual(heard, says, state.step);
  taps.forEach((t, i) => {
    const end = i + 1 < taps.length ? taps[i + 1].before : heard.length;
    assert.deepStrictEqual(heard.slice(t.before, end), blocks[i + 1].says, `tap ${i + 1}: ${t.name}`);
  });
  // What a screen reader is given: the log of lines in the accessibility tree.
  const tree = (await axLines(page)).map(unvaried);
  assert.deepStrictEqual(tree, says.slice(-tree.length), 'the accessibility tree');

  // ---- taps on the list's lines ----
  // Below the last entry nothing is said; each entry's line selects it.
  await page.$eval('#items', (canvas) => canvas.scrollIntoView());
  for (const [entry, line] of [[2, 'Chicken, you have 1.'], [38, null], [3, 'Cow, you have 1.'],
                               [1, 'Apple, you have 1.']]) {
    state.step = `tap on the list's line ${entry}`;
    const before = await announcedCount(page);
    const point = await lineCentre(page, entry);
    await page.touchscreen.tap(point.x, point.y);
    if (!line) continue;
    const now = await heardAtLeast(page, before + 1);
    assert.deepStrictEqual(now.slice(before), [line], state.step);
    await selectionDrawnOn(page, entry);
  }

  // ---- the jump field ----
  state.step = 'Jump to letter';
  const field = await byName(page, 'textbox', 'Jump to letter');
  await field.tap();
  for (const [letter, line] of [['m', 'Magic, you have 15.'], ['M', 'Mud, you have 2.'],
                                ['w', 'Water, you have 1.']]) {
    const before = await announcedCount(page);
    await page.keyboard.type(letter);
    assert.deepStrictEqual((await heardAtLeast(page, before + 1)).slice(before), [line], letter);
    assert.strictEqual(await page.$eval('#jump', (e) => e.value), '', 'the field empties itself');
  }
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'jump');

  // ---- from the game area to its controls, after 30 lines and more ----
  state.step = 'swipes from the game area to Next item';
  const said = await page.evaluate(() => window.__said.length);
  assert.ok(said >= 30, `${said} lines said`);
  const stops = await swipeStops(page, 'Quillvane game', 'Next item');
  assert.ok(stops.length <= 3, `${stops.length} stops: ${JSON.stringify(stops)}`);
  console.log(`web touch: ${stops.length} swipe stops from the game area to Next item after ${said} ` +
              `lines: ${stops.map(([role, text]) => `${role} "${text}"`).join(', ')}`);

  // ---- every control a comfortable target ----
  state.step = 'control sizes';
  const sizes = await page.$$eval('button, input:not([type="file"])', (all) => all
    .filter((element) => element.getClientRects().length)
    .map((element) => {
      const box = element.getBoundingClientRect();
      return { name: element.textContent || element.id, width: box.width, height: box.height };
    }));
  assert.ok(sizes.length >= 24, `the controls found: ${JSON.stringify(sizes)}`);
  for (const size of sizes)
    assert.ok(size.width >= 44 && size.height >= 44, `${size.name}: ${size.width} x ${size.height}`);
  const smallest = sizes.reduce((a, b) => (Math.min(b.width, b.height) < Math.min(a.width, a.height) ? b : a));
  console.log(`web touch: ${sizes.length} controls, the smallest ${smallest.name} ` +
              `${smallest.width.toFixed(1)} x ${smallest.height.toFixed(1)} CSS px`);

  // ---- the page in play still fits narrow screens ----
  state.step = 'after the game';
  await checkWidth(page, 320);
  await checkWidth(page, 390);
  await page.$eval('#items', (canvas) => canvas.scrollIntoView());
  await page.screenshot({ path: path.join(outDir, 'touch-playing.png') });
  await browser.close();
  console.log('web touch end-to-end: all scenarios passed');
}

main().catch((error) => {
  console.error(`web touch end-to-end failed at ${state.step}: ${error.stack || error}`);
  process.exit(1);
});
