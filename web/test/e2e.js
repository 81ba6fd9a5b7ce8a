// The web edition end to end in headless Chromium: Start, an easy game with
// Dirt and Water combined, what the screen reader and the browser's voice
// are given, the accessibility tree, lines said in one go and said twice,
// the keys left to the browser, the way back into the game area, a browser
// with no voice, a reload that continues, files saved and loaded into a
// fresh profile, a damaged file refused.
//   node e2e.js URL OUT_DIR TRANSCRIPTS_DIR
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const assert = require('node:assert');
const {
  url, outDir, transcripts, welcome, state, transcriptBlocks, launch, openPage, withVoice, load,
  reload, record, holdRequest, press, settled, unvaried, expectNew, axLines, playBlocks, storedFile,
  canvasColours,
} = require('./browser.js');

const activeId = (page) => page.evaluate(() => document.activeElement.id);
const cueCount = (page) => page.evaluate(() => window.__cues.length);

// Starts the game on a page just loaded, as a player does, and hears the welcome.
async function start(page) {
  state.step = 'Start';
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
}

// Menus that say two lines in one go, a line said twice in one go, a log of
// lines that stays short, and lines written far enough apart that the
// accessibility layer does not merge them.
async function linesSaidInOneGo(browser) {
  const page = await openPage(browser);
  await load(page);
  await start(page);
  // Escape from the achievements says "Menu", then "Return to the game".
  await playBlocks(page, transcriptBlocks(
      path.join(transcripts, 'escape-game-menu-achievements.expected')).slice(1));
  const { announced, at, kept } = await page.evaluate(() => ({
    announced: window.__announced.slice(), at: window.__announcedAt.slice(),
    kept: document.getElementById('lines').childElementCount }));
  state.step = 'lines said in one go';
  const gaps = at.slice(1).map((time, i) => time - at[i]);
  assert.ok(Math.min(...gaps) >= 150, `lines written at least 150 ms apart: ${gaps}`);
  assert.ok(announced.length > 20 && kept === 1,
            `the log keeps the newest line only: ${kept} of ${announced.length}`);
  return page;
}

// On the game screen, keys with Ctrl, Alt or Meta and F1 to F11 are the
// browser's: not prevented, and the game hears none of them.
async function keysLeftToTheBrowser(page) {
  state.step = 'keys left to the browser';
  await page.evaluate(() => {
    window.__keys = [];
    window.addEventListener('keydown', (event) => {
      window.__keys.push({ key: event.key, prevented: event.defaultPrevented });
    });
    window.__samePage = true;
  });
  const said = await page.evaluate(() => window.__said.length);
  const keys = ['Ctrl+Down', 'Alt+Down', 'Meta+Down', 'Ctrl+Shift+Down', 'Alt+M', 'Ctrl+M',
                'Meta+M', 'Alt+Home', 'Ctrl+1', 'Alt+Plus', 'Ctrl+Shift+Backspace'];
  for (let n = 1; n <= 11; n++) keys.push(`F${n}`, `Shift+F${n}`);
  for (const key of keys) {
    await press(page, key);
    await settled(page);
  }
  const seen = await page.evaluate(() => window.__keys.filter(
      (key) => !['Control', 'Alt', 'Meta', 'Shift'].includes(key.key)));
  assert.strictEqual(seen.length, keys.length, `every key arrived: ${JSON.stringify(seen)}`);
  assert.deepStrictEqual(seen.filter((key) => key.prevented), [], 'none prevented');
  assert.ok(await page.evaluate(() => window.__samePage), 'the page stayed');
  assert.strictEqual(await page.evaluate(() => window.__said.length), said, 'the game heard none');
  // A game key still reaches the game: Home says the last line again.
  const last = (await record(page)).announced.length;
  await press(page, 'Home');
  await expectNew(page, 'announced', last, ['Cow, you have 1.']);
}

// Shift+Tab leaves the game area for the control before it (the files);
// Tab from there, and the "Back to the game" button after the controls,
// give the game area the keyboard again; Tab inside it is the game's.
async function leavingAndComingBack(page) {
  state.step = 'Shift+Tab from the game area';
  await page.focus('#game');
  const said = await page.evaluate(() => window.__said.length);
  await press(page, 'Shift+Tab');
  await page.waitForFunction(() => document.activeElement.id !== 'game');
  assert.strictEqual(await activeId(page), 'load', `${state.step}: to the control before it`);
  await settled(page);
  assert.strictEqual(await page.evaluate(() => window.__said.length), said, 'the game heard nothing');
  const ways = [
    ['Tab from Load files', '#load', 'Tab'],
    ['Back to the game', '#back', 'Enter'],
  ];
  for (const [name, from, key] of ways) {
    state.step = name;
    await page.focus(from);
    await press(page, key);
    await page.waitForFunction(() => document.activeElement.id === 'game');
    const before = (await record(page)).announced.length;
    await press(page, 'Home');
    await expectNew(page, 'announced', before, ['Cow, you have 1.']);
  }
  const back = await page.$eval('#back', (button) => {
    const box = button.getBoundingClientRect();
    const controls = document.getElementById('controls').getBoundingClientRect();
    return { shown: !button.hidden && box.width > 0 && box.height > 0,
             afterControls: box.top >= controls.bottom };
  });
  assert.deepStrictEqual(back, { shown: true, afterControls: true }, 'the button follows the controls');
  // What the game area is for, read on entry, says how to leave it.
  const help = await page.evaluate(() => {
    const game = document.getElementById('game');
    return document.getElementById(game.getAttribute('aria-describedby')).textContent;
  });
  assert.match(help, /Shift\+Tab leaves the game; Tab inside the game changes the speech output\./);
}

// A cue asked for while its sound has not arrived yet (a slow network just
// after Start) plays once the sound is there, not never: Tab's cue for
// speech mode 2 is held back until the line for the key has been said.
async function cueOnItsWay() {
  state.step = 'a cue whose sound is still on its way';
  const { browser } = await launch();
  const page = await openPage(browser, withVoice);
  const askedFor = await holdRequest(page, '/sounds/WE.wav');
  await load(page);
  await start(page);
  await settled(page);
  const held = await askedFor();
  const before = await cueCount(page);
  await press(page, 'Tab');  // mode 2: WE.wav
  await settled(page);
  assert.strictEqual(await cueCount(page), before, `${state.step}: nothing played without it`);
  held.continue();
  await page.waitForFunction((n) => window.__cues.slice(n).some((cue) => cue.startsWith('start')),
                             {}, before);
  await browser.close();
}

// A key held down says lines faster than they can be written apart: the
// log keeps up with the keys, in order, ending with the newest line.
async function keyHeldDown(page) {
  state.step = 'a key held down';
  const before = await page.evaluate(() => ({ said: window.__said.length,
                                             announced: window.__announced.length }));
  for (let i = 0; i < 15; i++) await page.keyboard.press('ArrowDown');
  await settled(page);
  const { said, announced, at } = await page.evaluate((from) => ({
    said: window.__said.slice(from.said), announced: window.__announced.slice(from.announced),
    at: window.__announcedAt.slice(from.announced - 1) }), before);
  assert.strictEqual(said.length, 15, `${state.step}: a line a key`);
  let next = 0;
  for (const line of announced.map(unvaried)) {
    while (next < said.length && said[next] !== line) next++;
    assert.ok(next < said.length, `${state.step}: in order, each once: ${JSON.stringify(announced)}`);
    next++;
  }
  assert.strictEqual(unvaried(announced.at(-1)), said.at(-1), `${state.step}: the newest last`);
  const waiting = await page.evaluate(() => window.__mostWaiting);
  assert.ok(waiting <= 5, `${state.step}: at most 5 lines wait, not ${waiting}`);
  const gaps = at.slice(1).map((time, i) => time - at[i]);
  assert.ok(Math.min(...gaps) >= 150, `${state.step}: lines written apart: ${gaps}`);
}

// A browser with no voice (no voices, or no speechSynthesis at all): mode
// 0's lines go to the log, the player is told once, and the game keeps
// mode 0 as the mode it saves.
async function noVoice() {
  const cases = [
    ['no voices', null],
    ['no speechSynthesis', () => { delete Window.prototype.speechSynthesis; }],
  ];
  for (const [name, before] of cases) {
    const { browser } = await launch();
    const page = await openPage(browser, before);
    await load(page);
    await start(page);
    state.step = `${name}: Tab into mode 2`;
    const cues = await cueCount(page);
    await press(page, 'Tab');
    await page.waitForFunction((n) => window.__cues.length > n, {}, cues);
    await settled(page);
    state.step = `${name}: Tab into the missing JAWS, mode 0`;
    let count = (await record(page)).announced.length;
    await press(page, 'Tab');
    count = await expectNew(page, 'announced', count,
                            ['Jaws does not seem to be responding, Sapi on.',
                             'No browser voice: lines go to your screen reader.']);
    state.step = `${name}: told once`;
    await press(page, 'Plus');
    await expectNew(page, 'announced', count, ['Sapi rate raised to 8.']);
    assert.deepStrictEqual((await record(page)).spoken, [], `${state.step}: no voice used`);
    const progress = Buffer.from(await storedFile(page, 'progress.ini')).toString('latin1');
    assert.strictEqual(progress.split('\r\n')[42], ' 0 ', `${state.step}: mode 0 saved`);
    await browser.close();
    // That game, in mode 0, loaded into another browser with no voice: the
    // welcome, said before the page knows there is no voice, reaches the log
    // too, and the player is told.
    state.step = `${name}: a game saved in mode 0`;
    const saved = path.join(outDir, 'mode-0', 'progress.ini');
    fs.mkdirSync(path.dirname(saved), { recursive: true });
    fs.writeFileSync(saved, Buffer.from(progress, 'latin1'));
    const other = (await launch()).browser;
    const next = await openPage(other, before);
    await load(next);
    await (await next.$('#load-input')).uploadFile(saved);
    await next.waitForFunction(() => /Loaded/.test(document.getElementById('status').textContent));
    await next.focus('#start');
    await next.keyboard.press('Enter');
    await expectNew(next, 'announced', 0,
                    [welcome, 'No browser voice: lines go to your screen reader.']);
    assert.deepStrictEqual((await record(next)).spoken, [], `${state.step}: no voice used`);
    await other.close();
  }
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const blocks = transcriptBlocks(path.join(transcripts, 'combine-dirt-water.expected'));
  const game = blocks.slice(1);

  // ---- lines in one go, keys, focus, no voice: each in a fresh profile ----
  let { browser } = await launch();
  const menuPage = await linesSaidInOneGo(browser);
  await keysLeftToTheBrowser(menuPage);
  await leavingAndComingBack(menuPage);
  await keyHeldDown(menuPage);
  await browser.close();
  await noVoice();
  await cueOnItsWay();

  // ---- a first visit, in a browser with a voice ----
  ({ browser } = await launch());
  let page = await openPage(browser, withVoice);
  state.step = 'before Start';
  await load(page);
  assert.strictEqual(await activeId(page), 'start', state.step);
  assert.deepStrictEqual(await record(page), { announced: [], spoken: [] }, state.step);

  // Enter with the focus on no control (a screen reader's caret moved it
  // on from the Start button) presses Start too.
  await page.evaluate(() => {
    document.getElementById('start').blur();
    const heading = document.getElementById('files-heading');
    heading.tabIndex = -1;
    heading.focus();
    heading.removeAttribute('tabindex');
  });
  assert.notStrictEqual(await activeId(page), 'start', state.step);
  await start(page);
  assert.strictEqual(await page.title(), 'Quillvane', 'the title stays the game\'s name');
  assert.strictEqual(await activeId(page), 'game', state.step);

  state.step = 'accessibility tree';
  const cdp = await page.createCDPSession();
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  await cdp.detach();
  const byId = new Map(nodes.map((node) => [node.nodeId, node]));
  const property = (node, name) => ((node.properties || []).find((p) => p.name === name) || {})
                                       .value;
  const within = (node, ancestor) => {
    for (let up = byId.get(node.parentId); up; up = byId.get(up.parentId))
      if (up === ancestor) return true;
    return false;
  };
  const applications = nodes.filter((node) => node.role && node.role.value === 'application');
  assert.deepStrictEqual(applications.map((node) => node.name.value), ['Quillvane', 'Quillvane game'],
                         'the game area inside the application');
  const [outer, area] = applications;
  assert.ok(within(area, outer), 'the game area inside the application');
  assert.ok(property(area, 'focused').value, 'the game area has the keyboard');
  // The log follows the game area inside the application, where a braille
  // display panned past a line's end moves Orca's caret.
  const live = nodes.filter((node) => property(node, 'live') && within(node, outer));
  assert.deepStrictEqual(live.map((node) => node.role.value), ['log'],
                         'the log of lines is the one live region of the game');
  assert.ok(!within(live[0], area), 'the log after the game area, not in it');
  assert.deepStrictEqual(['live', 'relevant', 'atomic'].map((name) => property(live[0], name).value),
                         ['assertive', 'additions', false], 'an assertive log of additions');
  assert.deepStrictEqual(await axLines(page), [welcome], 'the welcome in the tree');

  // The transcript's game, line for line in the log; the voice is silent.
  await playBlocks(page, game, async (block) => {
    if (block.key === 'Enter' && block.says[0].startsWith('Water in slot 2')) {
      const colours = await canvasColours(page);
      assert.ok(colours.green > 20 && colours.magenta > 20 && colours.black > 100,
                `the item list shows the selection and the slots: ${JSON.stringify(colours)}`);
      const element = await page.$('#game');
      await element.screenshot({ path: path.join(outDir, 'items.png') });
    }
  });
  assert.deepStrictEqual((await record(page)).spoken, [], 'no voice in mode 1');
  assert.strictEqual(await page.title(), 'Quillvane', 'the title stays the game\'s name');
  // Each of the game's cues played from its decoded file: restart, success,
  // achievement, rule (cue files of 0.1 s or more).
  const cues = await page.evaluate(() => window.__cues.slice());
  const expectedCues = fs.readFileSync(path.join(transcripts, 'combine-dirt-water.expected'), 'latin1')
                         .split('\n').filter((line) => line.startsWith('cue: ')).length;
  assert.strictEqual(cues.filter((cue) => /^start 0\.[1-9]|^start [1-9]/.test(cue)).length,
                     expectedCues, `cues played: ${cues}`);

  state.step = 'Tab still in the game';
  const announcedBefore = (await record(page)).announced.length;
  let cuesBefore = await cueCount(page);
  await press(page, 'Tab');  // mode 2: a cue only
  await page.waitForFunction((n) => window.__cues.length > n, {}, cuesBefore);
  await settled(page);
  assert.strictEqual(await activeId(page), 'game', state.step);
  state.step = 'Tab into the missing JAWS: the voice';
  await press(page, 'Tab');
  await expectNew(page, 'spoken', 0, ['Jaws does not seem to be responding, Sapi on.']);
  const rate = (await record(page)).spoken[0].rate;
  assert.ok(Math.abs(rate - Math.pow(3, 0.7)) < 1e-3, `rate 7 maps to ${rate}`);
  state.step = 'mode 0';
  await press(page, '1');
  await expectNew(page, 'spoken', 1, ['You have made 1 steps so far.']);
  assert.strictEqual((await record(page)).announced.length, announcedBefore,
                     'the log is silent in mode 0');
  state.step = 'back to mode 1, a line said twice is announced twice';
  cuesBefore = await cueCount(page);
  await press(page, 'Tab');
  await page.waitForFunction((n) => window.__cues.length > n, {}, cuesBefore);
  await settled(page);
  let count = (await record(page)).announced.length;
  const steps = 'You have made 1 steps so far.';
  await press(page, '1');
  count = await expectNew(page, 'announced', count, [steps]);
  await press(page, '1');
  await expectNew(page, 'announced', count, [steps]);
  // Written apart, as the screen reader gets them: the repeat ends in a
  // no-break space, so that it is no duplicate of the line before.
  assert.deepStrictEqual((await record(page)).announced.slice(-2), [steps, `${steps}\u00a0`],
                         state.step);
  assert.deepStrictEqual(await axLines(page), [`${steps}\u00a0`], `${state.step}: the accessibility tree`);

  state.step = 'a new cue cuts off the one still playing';
  cuesBefore = await cueCount(page);
  await press(page, 'Tab');  // mode 2: WE.wav, which ends by itself
  await page.waitForFunction((n) => window.__cues.slice(n).includes('ended 0.32'), {}, cuesBefore);
  await press(page, 'Tab');  // no JAWS: the voice, no cue
  await expectNew(page, 'spoken', 2, ['Jaws does not seem to be responding, Sapi on.']);
  cuesBefore = await cueCount(page);
  await press(page, 'Tab');  // mode 1: NVDA.wav ...
  await press(page, 'Tab');  // ... cut off at once by WE.wav
  await page.waitForFunction((n) => window.__cues.length >= n + 3, {}, cuesBefore);
  assert.deepStrictEqual((await page.evaluate(() => window.__cues.slice())).slice(cuesBefore,
                                                                                   cuesBefore + 3),
                         ['start 0.30', 'stop', 'start 0.32'], state.step);

  // ---- a reload continues the saved game ----
  state.step = 'reload';
  await reload(page);
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  const continueBlocks = transcriptBlocks(path.join(transcripts, 'continue-saved-game.expected'))
                             .slice(1, 4);
  await playBlocks(page, continueBlocks);
  await playBlocks(page, [{ key: '1', says: ['You have made 1 steps so far.'] },
                          { key: 'D', says: ['Dirt, you have 1.'] }]);
  const progress = await storedFile(page, 'progress.ini');
  const achievements = await storedFile(page, 'achievements.ini');
  assert.ok(progress && achievements, 'both files stored');

  // ---- Save my files ----
  state.step = 'Save my files';
  const downloads = path.join(outDir, 'downloads');
  fs.rmSync(downloads, { recursive: true, force: true });
  fs.mkdirSync(downloads, { recursive: true });
  const browserCdp = await browser.target().createCDPSession();
  await browserCdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads,
                                                          eventsEnabled: true });
  const downloaded = new Promise((resolve) => browserCdp.on('Browser.downloadProgress', (event) => {
    if (event.state !== 'inProgress') resolve(event.state);
  }));
  await page.click('#save');
  const zip = path.join(downloads, 'quillvane-files.zip');
  assert.strictEqual(await downloaded, 'completed', state.step);
  assert.ok(fs.existsSync(zip), 'the zip was downloaded');
  assert.strictEqual(await page.$eval('#status', (e) => e.textContent),
                     'Saved progress.ini, achievements.ini and log.txt in quillvane-files.zip.');

  // ---- a damaged progress.ini is refused and nothing changes ----
  state.step = 'damaged progress.ini';
  const damagedDir = path.join(outDir, 'damaged');
  fs.mkdirSync(damagedDir, { recursive: true });
  const lines = Buffer.from(progress).toString('latin1').split('\r\n');
  lines[36] = ' 5 ';  // the steps, no longer matching the checksum
  fs.writeFileSync(path.join(damagedDir, 'progress.ini'), Buffer.from(lines.join('\r\n'), 'latin1'));
  const input = await page.$('#load-input');
  await input.uploadFile(path.join(damagedDir, 'progress.ini'));
  await page.waitForFunction(() => /not loaded/.test(document.getElementById('status').textContent));
  assert.strictEqual(await page.$eval('#status', (e) => e.textContent),
                     'Your files were not loaded: progress.ini appears to have been damaged. ' +
                     'Nothing was changed.');
  assert.deepStrictEqual(await storedFile(page, 'progress.ini'), progress, state.step);
  await reload(page);
  assert.deepStrictEqual(await storedFile(page, 'progress.ini'), progress, `${state.step}, after a reload`);
  await browser.close();

  // ---- the saved files loaded into a fresh profile: the same game ----
  state.step = 'load into a fresh profile';
  ({ browser } = await launch());
  page = await openPage(browser);
  await load(page);
  await (await page.$('#load-input')).uploadFile(zip);
  await page.waitForFunction(() => /Loaded/.test(document.getElementById('status').textContent));
  assert.deepStrictEqual(await storedFile(page, 'progress.ini'), progress, state.step);
  assert.deepStrictEqual(await storedFile(page, 'achievements.ini'), achievements, state.step);
  await page.focus('#start');
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  await playBlocks(page, continueBlocks);
  await playBlocks(page, [{ key: '1', says: ['You have made 1 steps so far.'] },
                          { key: 'D', says: ['Dirt, you have 1.'] }]);

  // ---- leaving the game from its main menu ----
  state.step = 'exit';
  await reload(page);
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  await playBlocks(page, transcriptBlocks(path.join(transcripts, 'escape-main-menu.expected'))
                             .slice(1));
  await page.waitForFunction(() => document.getElementById('items').hidden);
  assert.strictEqual(await page.$eval('#status', (e) => e.textContent),
                     'The game has ended. Reload the page to play again.');
  await browser.close();
  console.log('web end-to-end: all scenarios passed');
}

main().catch((error) => {
  console.error(`web end-to-end failed at ${state.step}: ${error.stack || error}`);
  process.exit(1);
});
