// The web edition in the player's language, in headless Chromium: a
// browser whose languages are Spanish shows the page, its buttons, the
// touch controls and the game's lines in Spanish, with lang="es" on the
// document and on the log of lines; letters beyond A to Z (ñ, Á, Shift+ñ)
// from the keyboard and from the Jump to letter field jump in the item
// list; the language choice, worked with the keyboard as a player does,
// turns the page German at once and the game German from the next load,
// over the game's own writes of settings.ini; settings.ini naming a
// language with no catalog plays English and says so; and the
// pseudo-language qps brackets every text of the page.
//   node e2e-language.js URL OUT_DIR TRANSCRIPTS_DIR
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const assert = require('node:assert');
const {
  outDir, transcripts, state, transcriptBlocks, launch, openPage, load, reload, record, settled,
  expectNew, playBlocks, press, storedFile,
} = require('./browser.js');

const repository = path.join(__dirname, '..', '..');
const textsModule = import('../texts.js');
const latin1 = (bytes) => (bytes ? Buffer.from(bytes).toString('latin1') : '');

// A catalog's translations (msgid -> msgstr), for messages with neither a
// context nor a plural: the page's texts.
function poTranslations(language) {
  const translations = new Map();
  let entry = {};
  let field = null;
  const finish = () => {
    if (entry.msgid && !entry.msgctxt && entry.msgid_plural === undefined) translations.set(entry.msgid, entry.msgstr);
    entry = {};
    field = null;
  };
  const lines = fs.readFileSync(path.join(repository, 'po', `${language}.po`), 'utf8').split('\n');
  for (const line of lines) {
    const start = /^(msgctxt|msgid_plural|msgid|msgstr(?:\[\d+\])?) (".*")$/.exec(line);
    if (start) {
      field = start[1];
      entry[field] = JSON.parse(start[2]);
    } else if (line.startsWith('"') && field) {
      entry[field] += JSON.parse(line);
    } else if (!line.trim()) {
      finish();
    }
  }
  finish();
  return translations;
}

// The page's own texts as a player finds them: every element named by
// data-text (its text) and data-text-label (its aria-label), by name.
async function pageTexts(page) {
  return page.evaluate(() => {
    const found = [];
    for (const element of document.querySelectorAll('[data-text]'))
      found.push([element.dataset.text, element.textContent]);
    for (const element of document.querySelectorAll('[data-text-label]'))
      found.push([element.dataset.textLabel, element.getAttribute('aria-label')]);
    return found;
  });
}

// Every page text shown is the catalog's translation of its English text
// (the game's name, in the same in every language, aside).
async function checkPageTexts(page, language, translations) {
  const { texts } = await textsModule;
  const names = new Set(['title', 'heading', 'application']);
  const shown = await pageTexts(page);
  assert.ok(shown.length >= 35, `${state.step}: ${shown.length} texts on the page`);
  for (const [name, text] of shown) {
    if (names.has(name)) continue;
    const want = translations.get(texts[name]);
    assert.ok(want, `${state.step}: the ${language} catalog translates ${name}`);
    assert.strictEqual(text, want, `${state.step}: ${name}`);
  }
}

// The names of the page's buttons and text fields in the accessibility tree.
async function accessibleNames(page, roles) {
  const cdp = await page.createCDPSession();
  try {
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    return nodes.filter((node) => !node.ignored && node.role && roles.includes(node.role.value))
      .map((node) => (node.name && node.name.value) || '');
  } finally {
    await cdp.detach();
  }
}

// A key of a Spanish keyboard pressed as Chromium gets it from the system:
// its character, its place and the Windows key code it reports.
const spanishKeys = {
  ñ: { key: 'ñ', code: 'Semicolon', keyCode: 192 },
  'Shift+ñ': { key: 'Ñ', code: 'Semicolon', keyCode: 192, shift: true },
  // Á and á are typed as the accent's dead key, then the letter's key.
  Á: { key: 'Á', code: 'KeyA', keyCode: 65, shift: true },
  á: { key: 'á', code: 'KeyA', keyCode: 65 },
};
async function pressSpanish(page, name) {
  const { key, code, keyCode, shift } = spanishKeys[name];
  const cdp = await page.createCDPSession();
  try {
    const modifiers = shift ? 8 : 0;
    await cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', key, code, text: key,
                                               unmodifiedText: key, windowsVirtualKeyCode: keyCode,
                                               modifiers });
    await cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', key, code, windowsVirtualKeyCode: keyCode,
                                               modifiers });
  } finally {
    await cdp.detach();
  }
}

// Plays a transcript's blocks, with its letters beyond A to Z typed as on a
// Spanish keyboard.
async function playSpanishBlocks(page, blocks) {
  const plain = [];
  const flush = async () => {
    if (plain.length) await playBlocks(page, plain.splice(0));
  };
  for (const block of blocks) {
    if (!(block.key in spanishKeys)) {
      plain.push(block);
      continue;
    }
    await flush();
    state.step = `key ${block.key}`;
    const before = (await record(page)).announced.length;
    await pressSpanish(page, block.key);
    await expectNew(page, 'announced', before, block.says);
  }
  await flush();
}

const languages = (list) => `Object.defineProperty(Navigator.prototype, 'languages',
  { get: () => ${JSON.stringify(list)}, configurable: true });
  Object.defineProperty(Navigator.prototype, 'language', { get: () => ${JSON.stringify(list[0])},
  configurable: true });`;

// Start pressed as a player does, then the welcome and any lines after it.
async function start(page, says) {
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
  const before = (await record(page)).announced.length;
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', before, says);
}

const status = (page) => page.$eval('#status', (e) => e.textContent);
const langs = (page) => page.evaluate(() => [document.documentElement.lang,
                                              document.getElementById('lines').lang]);

// Keeps a file in the page's data folder and in the store, as the game
// writes one; the next load finds it.
async function keepFile(page, name, bytes) {
  await page.evaluate(async (file, data) => {
    const { bridge, store } = window.quillvane;
    bridge.writeFile(`/data/${file}`, new Uint8Array(data));
    await store.keep([`/data/${file}`], (p) => bridge.readFile(p));
  }, name, Array.from(bytes));
}

// Spanish from the browser's languages: the page, the touch controls and
// the game; the game area's letters and the jump field's; then German
// chosen on the page.
async function spanish(browser) {
  const es = poTranslations('es');
  const de = poTranslations('de');
  const { texts } = await textsModule;
  const page = await openPage(browser, languages(['es-ES', 'es', 'en']));
  state.step = 'the page in Spanish';
  await load(page);
  assert.deepStrictEqual(await langs(page), ['es', ''], state.step);
  await checkPageTexts(page, 'es', es);
  assert.strictEqual(await page.$eval('#start', (e) => e.textContent), 'Empezar Quillvane');
  const choice = await page.evaluate(() => {
    const group = document.getElementById('language-choice');
    const buttons = [...group.querySelectorAll('input[name="language"]')];
    return { value: group.querySelector('input:checked').value,
             label: group.querySelector('legend').textContent,
             sizes: buttons.map((input) => [input.getBoundingClientRect().width, input.getBoundingClientRect().height]),
             options: buttons.map((input) => [input.value, input.parentElement.textContent, input.parentElement.lang]) };
  });
  const { offered } = await import('../language.js');
  assert.deepStrictEqual(choice.options, offered.map(([code, name]) => [code, name, code]), state.step);
  assert.deepStrictEqual(choice.options.map(([code]) => code), ['en', 'es', 'de'], state.step);
  assert.strictEqual(choice.value, 'es');
  assert.strictEqual(choice.label, 'Idioma');
  for (const [width, height] of choice.sizes) assert.ok(width >= 44 && height >= 44, `${state.step}: ${width} x ${height}`);
  assert.ok((await accessibleNames(page, ['group'])).includes('Idioma'), `${state.step}: the choice's name`);
  assert.deepStrictEqual((await accessibleNames(page, ['radio'])), ['English', 'Español', 'Deutsch'], state.step);
  await page.screenshot({ path: path.join(outDir, 'page-spanish.png') });

  // The game in Spanish: the help page and a new game, line for line as
  // the native game says them.
  state.step = 'Start in Spanish';
  const game = transcriptBlocks(path.join(transcripts, 'es-game.expected'), 'utf8');
  await start(page, game[0].says);
  assert.deepStrictEqual(await langs(page), ['es', 'es'], state.step);
  // The touch controls and the jump field are named in Spanish for a
  // screen reader.
  state.step = 'the touch controls in Spanish';
  const buttons = await accessibleNames(page, ['button']);
  const { controls } = await import('../touch.js');
  for (const [name] of controls)
    assert.ok(buttons.includes(es.get(texts[name])), `${state.step}: ${name} as ${es.get(texts[name])}`);
  assert.ok(buttons.includes('Objeto siguiente') && buttons.includes('Combinar'), state.step);
  assert.ok((await accessibleNames(page, ['textbox'])).includes('Saltar a la letra'), state.step);
  await checkPageTexts(page, 'es', es);

  // The whole transcript but its last two keys, which leave the game.
  const [leave, bye] = game.slice(-2);
  assert.deepStrictEqual([leave.key, bye.key], ['Up', 'Enter']);
  await playSpanishBlocks(page, game.slice(1, -2));

  // German, chosen as a player does: Shift+Tab out of the game area to the
  // choice, then the Down arrow. The page is German at once; the game keeps
  // Spanish until the page is loaded again, which the status line says in
  // German. The Sounds key, which writes settings.ini, keeps the choice.
  state.step = 'German chosen with the keyboard';
  for (let i = 0; i < 8; i++) {
    if (await page.evaluate(() => document.activeElement.name === 'language')) break;
    await press(page, 'Shift+Tab');
  }
  assert.strictEqual(await page.evaluate(() => document.activeElement.value), 'es', state.step);
  await page.keyboard.press('ArrowDown');
  await page.waitForFunction(() => document.documentElement.lang === 'de', { timeout: 30000 });
  assert.deepStrictEqual(await langs(page), ['de', 'es'], state.step);
  assert.strictEqual(await status(page), 'Lade die Seite neu, um auf Deutsch zu spielen.');
  await checkPageTexts(page, 'de', de);
  const germanButtons = await accessibleNames(page, ['button']);
  for (const [name] of controls) assert.ok(germanButtons.includes(de.get(texts[name])), `${state.step}: ${name}`);
  await page.waitForFunction(() => {
    const bytes = window.quillvane.bridge.readFile('/data/settings.ini');
    return bytes && new TextDecoder().decode(bytes).split('\r\n')[2] === 'de';
  }, { timeout: 30000 });
  state.step = 'the Sounds key after German was chosen';
  await page.focus('#game');
  let before = (await record(page)).announced.length;
  await press(page, 'F12');
  await expectNew(page, 'announced', before, ['Sonidos al 75 por ciento.']);
  assert.strictEqual(latin1(await storedFile(page, 'settings.ini')), ' 75 \r\n 0 \r\nde\r\n', state.step);

  // The next load: German from settings.ini, whatever the browser's languages.
  state.step = 'reloaded in German';
  await reload(page);
  assert.deepStrictEqual(await langs(page), ['de', ''], state.step);
  assert.strictEqual(await page.$eval('#language-choice input:checked', (e) => e.value), 'de');
  await checkPageTexts(page, 'de', de);
  const german = transcriptBlocks(path.join(transcripts, 'de-game.expected'), 'utf8');
  await start(page, german[0].says);
  assert.deepStrictEqual(await langs(page), ['de', 'de'], state.step);
  await page.close();
}

// The letters of a Spanish keyboard in the game area and in the jump field:
// the custom items of es-letters (cheat.ini), jumped to as the native game
// does.
async function spanishLetters(browser) {
  const page = await openPage(browser, languages(['es']));
  state.step = 'Spanish letters';
  await load(page);
  await keepFile(page, 'cheat.ini', fs.readFileSync(path.join(transcripts, 'es-letters.files', 'cheat.ini')));
  await reload(page);
  const blocks = transcriptBlocks(path.join(transcripts, 'es-letters.expected'), 'utf8');
  await start(page, blocks[0].says);
  await playSpanishBlocks(page, blocks.slice(1));
  // The jump field, as an on-screen keyboard types into it.
  state.step = 'the jump field';
  for (const [letter, line] of [['h', 'Hielo, tienes 1.'], ['ñ', 'Ñandú, tienes 1.']]) {
    const before = (await record(page)).announced.length;
    await page.focus('#jump');
    await page.keyboard.sendCharacter(letter);
    await expectNew(page, 'announced', before, [line]);
  }
  await page.close();
}

// settings.ini from a desktop data folder that keeps a language with no
// catalog: the page is English, and the game plays English and says so
// after its welcome.
async function unknownLanguage(browser) {
  const page = await openPage(browser, languages(['es']));
  state.step = 'a language with no catalog';
  await load(page);
  await keepFile(page, 'settings.ini', Buffer.from(' 100 \r\n 0 \r\nfr\r\n', 'latin1'));
  await reload(page);
  await page.waitForFunction(() => document.documentElement.lang === 'en', { timeout: 30000 });
  assert.strictEqual(await page.$eval('#start', (e) => e.textContent), 'Start Quillvane');
  assert.strictEqual(await page.$eval('#language-choice input:checked', (e) => e.value), 'en');
  const welcome = transcriptBlocks(path.join(transcripts, 'combine-dirt-water.expected'))[0].says;
  await start(page, [...welcome, 'There is no translation for fr: the game speaks English.']);
  assert.deepStrictEqual(await langs(page), ['en', 'en'], state.step);
  await page.close();
}

// The pseudo-language through the page: every text the page shows, its
// touch controls' names and the game's lines come from the catalog.
async function pseudoLanguage(browser) {
  const page = await openPage(browser, languages(['qps']));
  state.step = 'the pseudo-language qps';
  await load(page);
  const bracketed = (text) => /^\[[^]*\]$/.test(text);
  const names = new Set(['title', 'heading', 'application']);
  const shown = (await pageTexts(page)).filter(([name]) => !names.has(name));
  for (const [name, text] of shown) assert.ok(bracketed(text), `${state.step}: ${name}: ${text}`);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.__announced.length > 0, { timeout: 30000 });
  await settled(page);
  const { announced } = await record(page);
  for (const line of announced) assert.ok(bracketed(line.replace(/\u00a0$/, '')), `${state.step}: ${line}`);
  const controls = await page.$$eval('#control-buttons button', (buttons) => buttons.map((b) => b.textContent));
  assert.strictEqual(controls.length, 21);
  for (const text of controls) assert.ok(bracketed(text), `${state.step}: ${text}`);
  await page.close();
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  for (const scenario of [spanish, spanishLetters, unknownLanguage, pseudoLanguage]) {
    const { browser } = await launch();
    try {
      await scenario(browser);
    } finally {
      await browser.close();
    }
  }
  console.log('web language end-to-end: all scenarios passed');
}

main().catch((error) => {
  console.error(`web language end-to-end failed at ${state.step}: ${error.stack || error}`);
  process.exit(1);
});
