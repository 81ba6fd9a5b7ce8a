// The web edition end to end in headless Chromium: Start, an easy game with
// Dirt and Water combined, what the screen reader and the browser's voice
// are given, the accessibility tree, a reload that continues, files saved
// and loaded into a fresh profile, a damaged file refused.
//   node e2e.js URL OUT_DIR TRANSCRIPTS_DIR
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const assert = require('node:assert');
const {
  url, outDir, transcripts, welcome, state, transcriptBlocks, launch, openPage, load, reload,
  record, sleep, press, expectNew, playBlocks, storedFile, canvasColours,
} = require('./browser.js');

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const blocks = transcriptBlocks(path.join(transcripts, 'combine-dirt-water.expected'));
  const game = blocks.slice(1);

  // ---- a first visit ----
  let { browser } = await launch();
  let page = await openPage(browser);
  state.step = 'before Start';
  await load(page);
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'start', state.step);
  assert.deepStrictEqual(await record(page), { announced: [], spoken: [] }, state.step);

  state.step = 'Start';
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  assert.strictEqual(await page.title(), welcome, 'the caption is the line said');
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'game', state.step);

  state.step = 'accessibility tree';
  const cdp = await page.createCDPSession();
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  const application = nodes.find((node) => node.role && node.role.value === 'application');
  assert.ok(application, 'an application node');
  assert.strictEqual(application.name.value, 'Quillvane game');
  assert.ok(application.properties.some((p) => p.name === 'focused' && p.value.value), 'focused');
  const live = nodes.filter((node) => (node.properties || []).some(
      (p) => p.name === 'live' && p.value.value === 'assertive'));
  assert.strictEqual(live.length, 2, 'two assertive live regions');
  for (const node of live)
    assert.ok(node.properties.some((p) => p.name === 'atomic' && p.value.value === true), 'atomic');
  await cdp.detach();

  // The transcript's game, line for line in the live region; the voice is silent.
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
  // Each of the game's cues played from its decoded file: restart, success,
  // achievement, rule (cue files of 0.1 s or more).
  const cues = await page.evaluate(() => window.__cues.slice());
  const expectedCues = fs.readFileSync(path.join(transcripts, 'combine-dirt-water.expected'), 'latin1')
                         .split('\n').filter((line) => line.startsWith('cue: ')).length;
  assert.strictEqual(cues.filter((cue) => /^start 0\.[1-9]|^start [1-9]/.test(cue)).length,
                     expectedCues, `cues played: ${cues}`);

  state.step = 'Tab still in the game';
  const announcedBefore = (await record(page)).announced.length;
  await press(page, 'Tab');  // mode 2: a cue only
  await sleep(150);
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'game', state.step);
  state.step = 'Tab into the missing JAWS: the voice';
  await press(page, 'Tab');
  await expectNew(page, 'spoken', 0, ['Jaws does not seem to be responding, Sapi on.']);
  const rate = (await record(page)).spoken[0].rate;
  assert.ok(Math.abs(rate - Math.pow(3, 0.7)) < 1e-3, `rate 7 maps to ${rate}`);
  state.step = 'mode 0';
  await press(page, '1');
  await expectNew(page, 'spoken', 1, ['You have made 1 steps so far.']);
  assert.strictEqual((await record(page)).announced.length, announcedBefore,
                     'the live region is silent in mode 0');
  state.step = 'back to mode 1, a line said twice is announced twice';
  await press(page, 'Tab');
  await sleep(150);
  let count = (await record(page)).announced.length;
  await press(page, '1');
  count = await expectNew(page, 'announced', count, ['You have made 1 steps so far.']);
  await press(page, '1');
  await expectNew(page, 'announced', count, ['You have made 1 steps so far.']);

  state.step = 'a new cue cuts off the one still playing';
  await press(page, 'Tab');  // mode 2: WE.wav
  await sleep(600);          // it has ended by itself
  await press(page, 'Tab');  // no JAWS: the voice, no cue
  await sleep(150);
  const cuesBefore = (await page.evaluate(() => window.__cues.slice())).length;
  await press(page, 'Tab');  // mode 1: NVDA.wav ...
  await press(page, 'Tab');  // ... cut off at once by WE.wav
  await sleep(150);
  assert.deepStrictEqual((await page.evaluate(() => window.__cues.slice())).slice(cuesBefore),
                         ['start 0.30', 'stop', 'start 0.32'], state.step);

  // ---- a reload continues the saved game ----
  state.step = 'reload';
  await reload(page);
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  const continueBlocks = transcriptBlocks(path.join(transcripts, 'continue-saved-game.expected'))
                             .slice(1, 4);
  await playBlocks(page, continueBlocks);
  await playBlocks(page, [{ key: '1', says: ['You have made 1 steps so far.'], waitAfter: 0 },
                          { key: 'D', says: ['Dirt, you have 1.'], waitAfter: 0 }]);
  const progress = await storedFile(page, 'progress.ini');
  const achievements = await storedFile(page, 'achievements.ini');
  assert.ok(progress && achievements, 'both files stored');

  // ---- Save my files ----
  state.step = 'Save my files';
  const downloads = path.join(outDir, 'downloads');
  fs.rmSync(downloads, { recursive: true, force: true });
  fs.mkdirSync(downloads, { recursive: true });
  const browserCdp = await browser.target().createCDPSession();
  await browserCdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.click('#save');
  const zip = path.join(downloads, 'quillvane-files.zip');
  for (let i = 0; i < 100 && !fs.existsSync(zip); i++) await sleep(100);
  assert.ok(fs.existsSync(zip), 'the zip was downloaded');
  assert.match(await page.$eval('#status', (e) => e.textContent), /Saved progress.ini and achievements.ini/);

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
  await playBlocks(page, [{ key: '1', says: ['You have made 1 steps so far.'], waitAfter: 0 },
                          { key: 'D', says: ['Dirt, you have 1.'], waitAfter: 0 }]);

  // ---- leaving the game from its main menu ----
  state.step = 'exit';
  await reload(page);
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  await playBlocks(page, transcriptBlocks(path.join(transcripts, 'escape-main-menu.expected'))
                             .slice(1));
  await page.waitForFunction(() => document.getElementById('game').hidden);
  assert.strictEqual(await page.$eval('#status', (e) => e.textContent),
                     'The game has ended. Reload the page to play again.');
  await browser.close();
  console.log('web end-to-end: all scenarios passed');
}

main().catch((error) => {
  console.error(`web end-to-end failed at ${state.step}: ${error.stack || error}`);
  process.exit(1);
});
