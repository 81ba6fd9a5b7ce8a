// The web edition's storage in headless Chromium: storage that is refused,
// missing or full (the game plays on and says so), one game per browser, a
// tab closed right after a discovery (the discovery is kept), the site
// played offline after one visit, and Load files taking only what it needs.
//   node e2e-storage.js URL OUT_DIR TRANSCRIPTS_DIR
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const assert = require('node:assert');
const {
  url, outDir, transcripts, welcome, state, transcriptBlocks, launch, openPage, whenReady, load,
  reload, record, sleep, holdRequest, press, expectNew, playBlocks, storedFile,
} = require('./browser.js');
// The page's zip module (an ES module), for the archives the scenarios make.
const zipModule = import('../zip.js');

const wontKeep = 'This browser will not keep your game.';
const lockedOut = 'Quillvane is already running in another tab.';
const notSaved = 'Your progress could not be saved.';
const origin = new URL(url).origin;

// The easy game of the Dirt and Water transcript, up to its Shift+Enter.
const game = transcriptBlocks(path.join(transcripts, 'combine-dirt-water.expected')).slice(1);
const untilCombine = game.slice(0, game.findIndex((block) => block.key === 'Shift+Enter'));
const combine = game.find((block) => block.key === 'Shift+Enter');
// Down, Down, Enter on the main menu: the saved game continues.
const continueBlocks = transcriptBlocks(path.join(transcripts, 'continue-saved-game.expected'))
  .slice(1, 4);

const status = (page) => page.$eval('#status', (e) => e.textContent);
// Presses Start as a player does: the button has the keyboard.
async function pressStart(page) {
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
  await page.keyboard.press('Enter');
}

// A page of the browser loaded and started, once its welcome is announced.
async function startedPage(browser) {
  const page = await openPage(browser);
  await load(page);
  await pressStart(page);
  await expectNew(page, 'announced', 0, [welcome]);
  return page;
}

// What IndexedDB itself holds for a file of the data folder (not the
// game's copy in memory): its record and the chunks appended to it, in
// order; null when there is none.
async function keptFile(page, name) {
  return page.evaluate((file) => new Promise((resolve) => {
    const request = indexedDB.open('/data', 21);
    request.onerror = () => resolve(null);
    request.onsuccess = () => {
      const db = request.result;
      const store = db.transaction(['FILE_DATA']).objectStore('FILE_DATA');
      const whole = store.get(`/data/${file}`);
      const chunks = store.getAll(IDBKeyRange.bound(`quillvane-chunk:/data/${file}:`,
                                                    `quillvane-chunk:/data/${file}:\uffff`));
      chunks.onsuccess = () => {
        db.close();
        const parts = [...(whole.result ? [whole.result] : []), ...chunks.result];
        resolve(parts.length ? parts.flatMap((part) => Array.from(part.contents)) : null);
      };
      chunks.onerror = () => resolve(null);
    };
  }), name);
}
const latin1 = (bytes) => (bytes ? Buffer.from(bytes).toString('latin1') : '');

// Plays the easy game to its combination, then one more key, counting how
// often the failed save is told.
async function playToTheCombination(page, expectFailure) {
  await playBlocks(page, untilCombine);
  state.step = `${state.step}: Shift+Enter`;
  const before = (await record(page)).announced.length;
  await press(page, 'Shift+Enter');
  await expectNew(page, 'announced', before,
                  [...combine.says, ...(expectFailure ? [notSaved] : [])]);
  // The rate key saves again: a second failure is not told again.
  const after = (await record(page)).announced.length;
  await press(page, 'Plus');
  await expectNew(page, 'announced', after, ['Sapi rate raised to 8.']);
  const told = (await record(page)).announced.filter((line) => line === notSaved);
  assert.strictEqual(told.length, expectFailure ? 1 : 0, `${state.step}: told once`);
}

// ---- storage that cannot be used: the game starts, says so once, plays ----
async function refusedStorage() {
  const setups = [
    { name: 'indexedDB.open throws', before: () => {
      IDBFactory.prototype.open = () => {
        throw new DOMException('The user denied permission to access the database.', 'SecurityError');
      };
    } },
    { name: 'no indexedDB', before: () => {
      Object.defineProperty(window, 'indexedDB', { value: undefined, configurable: true });
    } },
    { name: 'indexedDB.open never answers', before: () => {
      IDBFactory.prototype.open = () => ({});
    } },
    { name: 'a quota of 1 byte', quota: 1 },
  ];
  for (const setup of setups) {
    state.step = `storage refused (${setup.name})`;
    const { browser } = await launch();
    const page = await openPage(browser, setup.before);
    if (setup.quota) {
      const cdp = await page.createCDPSession();
      await cdp.send('Storage.overrideQuotaForOrigin', { origin, quotaSize: setup.quota });
    }
    // The game's wasm is held back until Start has been pressed: the player
    // hears that the game is loading, then it starts by itself.
    const askedForWasm = await holdRequest(page, '.wasm');
    await page.goto(url, { waitUntil: 'domcontentloaded' });
    await page.waitForFunction(() => document.activeElement.id === 'start');
    await page.keyboard.press('Enter');
    assert.strictEqual(await status(page), 'Loading the game…', state.step);
    (await askedForWasm()).continue();
    await expectNew(page, 'announced', 0, [welcome, wontKeep]);
    assert.strictEqual(await status(page), wontKeep, state.step);
    await playToTheCombination(page, true);
    await browser.close();
  }
}

// ---- a quota of 8 kB: the achievements do not fit; the game plays on ----
// The offline worker's copy of the site would count against the same quota,
// and fill it sooner or later than the game's files: here there is none.
async function fullStorage() {
  state.step = 'quota of 8 kB';
  const { browser } = await launch();
  const page = await openPage(browser, () => {
    navigator.serviceWorker.register = () => Promise.reject(new Error('no offline copy here'));
  });
  const cdp = await page.createCDPSession();
  await cdp.send('Storage.overrideQuotaForOrigin', { origin, quotaSize: 8 * 1024 });
  await load(page);
  await pressStart(page);
  await expectNew(page, 'announced', 0, [welcome]);
  await playToTheCombination(page, true);
  // What was kept is still a game the reader accepts, and a reload starts
  // it; the store is now full, which the player is told.
  await reload(page);
  await pressStart(page);
  await expectNew(page, 'announced', 0, [welcome, wontKeep]);
  // The game continues from what the store kept, if anything.
  const kept = latin1(await keptFile(page, 'progress.ini')).split('\r\n');
  const steps = kept.length > 36 ? Number(kept[36]) : 0;
  await playBlocks(page, [...continueBlocks,
                          { key: '1', says: [`You have made ${steps} steps so far.`], waitAfter: 0 }]);
  await browser.close();
}

// ---- one game per browser ----
async function secondTab() {
  state.step = 'second tab';
  const { browser } = await launch();
  const first = await startedPage(browser);
  const second = await openPage(browser);
  await load(second);
  await pressStart(second);
  await expectNew(second, 'announced', 0, [lockedOut]);
  assert.strictEqual(await status(second), lockedOut, state.step);
  assert.deepStrictEqual(
      await second.evaluate(() => ({ list: document.getElementById('items').hidden,
                                     tabIndex: document.getElementById('game').tabIndex })),
      { list: true, tabIndex: -1 }, 'the second tab shows no game and keeps it out of the tab order');
  // The first tab plays on; the second wrote nothing: one welcome logged.
  await playBlocks(first, untilCombine.slice(0, 2));
  const welcomes = (log) => latin1(log).split('\r\n').filter((line) => line === welcome).length;
  assert.strictEqual(welcomes(await keptFile(second, 'log.txt')), 1, 'one welcome in the log');

  state.step = 'second tab, after the first closed';
  await first.close();
  await second.focus('#start');
  await pressStart(second);
  await expectNew(second, 'announced', 1, [welcome]);
  // It plays the saved game's files as the first tab left them.
  await playBlocks(second, [{ key: 'Enter', says: ['Choose puzzle difficulty'], waitAfter: 0 }]);
  assert.strictEqual(welcomes(await keptFile(second, 'log.txt')), 2, 'its own welcome logged');
  await browser.close();
}

// ---- the page hidden 0.3 s after the Shift+Enter of a discovery ----
// The move finishes at once: its files reach IndexedDB without its
// announcements; shown again, the game goes on. Returns the times from the
// Shift+Enter to each file kept, and each write's own time (ms).
async function hideAfterDiscovery() {
  state.step = 'page hidden after a discovery';
  const { browser } = await launch();
  const page = await startedPage(browser);
  await playBlocks(page, untilCombine);
  const pressed = await page.evaluate(() => performance.now());
  await press(page, 'Shift+Enter');
  await sleep(300);  // the scenario: the player leaves the tab 0.3 s later
  const hiddenAt = await page.evaluate(() => {
    Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
    return performance.now();
  });
  await page.waitForFunction(() => window.quillvane.store.kept.some(
    (write) => write.paths.includes('/data/achievements.ini')));
  const writes = await page.evaluate(() => window.quillvane.store.kept);
  const last = (name) => writes.filter((write) => write.paths.includes(name)).pop();
  const progress = last('/data/progress.ini');
  const achievements = last('/data/achievements.ini');
  // Sent once hidden, and kept sooner than the move's remaining waits (2 s
  // and more) could have passed: the hurried move did not sit them out.
  assert.ok(progress && progress.sent >= hiddenAt && progress.done - hiddenAt < 2000,
            `progress.ini kept at once: ${JSON.stringify(progress)}, hidden at ${hiddenAt}`);
  const announced = (await record(page)).announced;
  assert.ok(!announced.includes(combine.says[combine.says.length - 1]),
            'the rest of the announcements were skipped');
  assert.strictEqual(latin1(await keptFile(page, 'progress.ini')).split('\r\n')[36], ' 1 ');
  // Shown again: the game goes on as ever.
  await page.evaluate(() => {
    Object.defineProperty(document, 'visibilityState', { value: 'visible', configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await playBlocks(page, [{ key: '1', says: ['You have made 1 steps so far.'], waitAfter: 0 }]);
  await browser.close();
  return { progress: progress.done - pressed, achievements: achievements.done - pressed,
           writes: writes.map((write) => write.done - write.sent) };
}

// ---- a move's files, page visible: each write reaches IndexedDB at once ----
// Returns the times from the Shift+Enter to each file kept (after the
// move's announcements, as the game saves) and each write's own time.
async function moveWrites() {
  state.step = 'a move\'s writes';
  const { browser } = await launch();
  const page = await startedPage(browser);
  await playBlocks(page, untilCombine);
  const pressed = await page.evaluate(() => performance.now());
  await playBlocks(page, [combine]);
  await page.waitForFunction((at) => window.quillvane.store.kept.filter(
    (write) => write.sent >= at && write.paths.includes('/data/achievements.ini')).length === 2, {}, pressed);
  const writes = await page.evaluate((at) => window.quillvane.store.kept.filter((w) => w.sent >= at), pressed);
  await browser.close();
  // The move's last write of each file (the achievements are written twice).
  const after = (name) => writes.filter((write) => write.paths.includes(name)).pop().done - pressed;
  return { progress: after('/data/progress.ini'), achievements: after('/data/achievements.ini'),
           writes: writes.map((write) => write.done - write.sent) };
}

// ---- closing the tab 0.3 s after the Shift+Enter of a discovery ----
// Returns how many of the tries kept the discovery.
async function closeAfterDiscovery(tries) {
  let kept = 0;
  for (let i = 1; i <= tries; i++) {
    state.step = `tab closed after a discovery, try ${i}`;
    const { browser } = await launch();
    let page = await startedPage(browser);
    await playBlocks(page, untilCombine);
    await press(page, 'Shift+Enter');
    await sleep(300);  // the scenario: the player closes the tab 0.3 s later
    await page.close();
    page = await openPage(browser);
    await load(page);
    const progress = latin1(await keptFile(page, 'progress.ini')).split('\r\n');
    const achievements = latin1(await keptFile(page, 'achievements.ini')).split('\r\n');
    const log = latin1(await keptFile(page, 'log.txt'));
    const ok = progress[36] === ' 1 ' && achievements[1944] === ' 1 ' &&
      log.includes('New discovery!  Combining Dirt and Water creates Mud and Mud.\r\n');
    if (ok) kept++;
    else console.error(`try ${i}: steps ${JSON.stringify(progress[36])}, ` +
                       `recipe ${JSON.stringify(achievements[1944])}`);
    await browser.close();
  }
  return kept;
}

// ---- offline after one visit ----
async function offline() {
  state.step = 'offline after one visit';
  const { browser } = await launch();
  const page = await openPage(browser);
  await load(page);
  const cacheName = await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    return (await caches.keys()).filter((name) => name.startsWith('quillvane'));
  });
  assert.strictEqual(cacheName.length, 1, `one cache of the site: ${cacheName}`);
  assert.strictEqual(cacheName[0].replace(/ 0\.7-[0-9a-f]{12} /, ' VERSION '), `quillvane VERSION ${url}`);
  await page.setOfflineMode(true);
  for (const target of browser.targets().filter((t) => t.type() === 'service_worker')) {
    const cdp = await target.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions',
                   { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  }
  const begun = Date.now();
  await reload(page);
  await pressStart(page);
  await expectNew(page, 'announced', 0, [welcome]);
  const ms = Date.now() - begun;
  await playBlocks(page, untilCombine.slice(0, 2));
  // The network really is gone: a file the site does not have fails.
  assert.ok(await page.evaluate(() => fetch('no-such-file.txt').then(() => false, () => true)),
            'offline');
  await browser.close();
  return ms;
}

// ---- Load files: only the entries it needs, nothing after a file's end ----
async function loadFiles() {
  state.step = 'Load files';
  const { browser } = await launch();
  const page = await openPage(browser, () => {
    // Every byte the page reads from a chosen file, counted.
    window.__bytesRead = 0;
    const slice = Blob.prototype.slice;
    Blob.prototype.slice = function (...args) {
      const part = slice.apply(this, args);
      if (this instanceof File) window.__bytesRead += part.size;
      return part;
    };
    const whole = Blob.prototype.arrayBuffer;
    Blob.prototype.arrayBuffer = function () {
      if (this instanceof File) window.__bytesRead += this.size;
      return whole.call(this);
    };
  });
  await load(page);
  await pressStart(page);
  await expectNew(page, 'announced', 0, [welcome]);
  await playBlocks(page, untilCombine);
  const before = (await record(page)).announced.length;
  await press(page, 'Shift+Enter');
  await expectNew(page, 'announced', before, combine.says);
  const progress = Buffer.from(await storedFile(page, 'progress.ini'));
  const dir = path.join(outDir, 'load');
  fs.mkdirSync(dir, { recursive: true });
  // Files are loaded in a tab that has not started its game.
  await reload(page);

  state.step = 'Load files: a zip with a large entry it does not need';
  const { makeZip } = await zipModule;
  const big = new Uint8Array(200 * 1024 * 1024);
  const zipPath = path.join(dir, 'with-music.zip');
  fs.writeFileSync(zipPath, makeZip([{ name: 'music.wav', bytes: big },
                                     { name: 'Quillvane/progress.ini', bytes: progress }]));
  await page.evaluate(() => { window.__bytesRead = 0; });
  await (await page.$('#load-input')).uploadFile(zipPath);
  await page.waitForFunction(() => /Loaded|not loaded/.test(document.getElementById('status').textContent),
                             { timeout: 30000 });
  assert.strictEqual(await status(page), 'Loaded progress.ini. Press Start Quillvane, then Continue.');
  const read = await page.evaluate(() => window.__bytesRead);
  assert.ok(read < 200 * 1024, `${read} bytes of the zip read`);
  assert.deepStrictEqual(Buffer.from(await keptFile(page, 'progress.ini')), progress);
  fs.rmSync(zipPath);

  await browser.close();
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  await refusedStorage();
  await fullStorage();
  await secondTab();
  const hidden = await hideAfterDiscovery();
  const kept = await closeAfterDiscovery(3);
  assert.strictEqual(kept, 3, `the discovery kept in ${kept} of 3 tries`);
  const offlineMs = await offline();
  await loadFiles();
  console.log(`web storage: page hidden 0.3 s after a discovery, progress.ini kept at ` +
              `${hidden.progress.toFixed(0)} ms; discovery kept after a close in ${kept} of 3; ` +
              `offline start ${offlineMs} ms`);
  console.log('web storage end-to-end: all scenarios passed');
}

if (require.main === module) {
  main().catch((error) => {
    console.error(`web storage end-to-end failed at ${state.step}: ${error.stack || error}`);
    process.exit(1);
  });
}

module.exports = { closeAfterDiscovery, hideAfterDiscovery, moveWrites, offline };
