// What every browser scenario of the web edition shares: a fresh headless
// Chromium profile, a page whose speech, cues and live-region announcements
// are recorded, keys pressed as a key script names them, and waits for the
// lines a key brings.
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const assert = require('node:assert');
const puppeteer = require('puppeteer-core');

const [, , url, outDir, transcripts] = process.argv;
// The version as the game says it (scripts/test-web.sh asks the game once);
// golden transcripts name it @VERSION@.
const version = process.env.QUILLVANE_VERSION;
assert.ok(version, 'QUILLVANE_VERSION is not set');
const welcome = `Welcome to Quillvane, version (${version}), by Orlick`;
// The scenario's current step, named in every failure.
const state = { step: '' };

// What a key script's name is as a puppeteer key.
function puppeteerKey(name) {
  if (/^[A-Z]$/.test(name)) return `Key${name}`;
  if (/^[0-9]$/.test(name)) return `Digit${name}`;
  return { Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft', Right: 'ArrowRight', Plus: 'Equal',
           NumPlus: 'NumpadAdd', NumMinus: 'NumpadSubtract',
           // Keys a script names by their code alone.
           VK33: 'PageUp', VK34: 'PageDown', VK35: 'End', VK36: 'Home' }[name] || name;
}

// A transcript as the lines each key brings: the game's own text is
// single-byte (latin1 here), a translation's lines are UTF-8.
function transcriptBlocks(file, encoding = 'latin1') {
  const blocks = [{ key: null, says: [] }];
  const text = fs.readFileSync(file, encoding).replaceAll('@VERSION@', version);
  for (const line of text.split('\n')) {
    if (line.startsWith('key: ')) blocks.push({ key: line.slice(5), says: [] });
    else if (line.startsWith('say: ')) blocks[blocks.length - 1].says.push(line.slice(5));
  }
  return blocks;
}

// Every profile made is removed when the test ends.
const profiles = [];
process.on('exit', () => {
  for (const profile of profiles) {
    try {
      fs.rmSync(profile, { recursive: true, force: true });
    } catch (error) {
      // A browser still writing into it as a failed scenario ends.
    }
  }
});

// The browser the scenarios drive: headless Chromium, or Firefox ESR
// (QUILLVANE_BROWSER=firefox; puppeteer drives it through WebDriver BiDi,
// where Chromium's own protocol, the accessibility tree among it, is not
// there).
const browserName = process.env.QUILLVANE_BROWSER || 'chromium';
async function launch(extraPrefs = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quillvane-profile-'));
  profiles.push(profile);
  if (browserName === 'firefox') {
    const browser = await puppeteer.launch({
      browser: 'firefox',
      executablePath: '/usr/bin/firefox-esr',
      headless: true,
      userDataDir: profile,
      extraPrefsFirefox: {
        // The storage prompt, which a headless browser cannot show, answers no.
        'dom.storageManager.prompt.testing': true,
        'dom.storageManager.prompt.testing.allow': false,
        ...extraPrefs,
      },
    });
    return { browser, profile };
  }
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  return { browser, profile };
}

// A page on which is recorded, as it happens: every speechSynthesis.speak
// call (__spoken), every line the game hands the page for the screen reader
// (__said) and every line written into the log of lines (__announced, with
// the time in __announcedAt; the most lines ever waiting their turn in
// __mostWaiting), and the cues started, cut off and ended (__cues). The
// page's parts are in window.quillvane (main.js): whether the game is idle,
// waiting for a key with no deadline, is quillvane.events.idle.
async function openPage(browser, before) {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
  await page.evaluateOnNewDocument(() => {
    window.__spoken = [];
    if ('speechSynthesis' in window) {
      const speak = speechSynthesis.speak.bind(speechSynthesis);
      speechSynthesis.speak = (utterance) => {
        window.__spoken.push({ text: utterance.text, rate: utterance.rate });
        return speak(utterance);
      };
    }
    window.__cues = [];
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...args) {
      const duration = this.buffer.duration.toFixed(2);
      window.__cues.push(`start ${duration}`);
      this.addEventListener('ended', () => window.__cues.push(`ended ${duration}`));
      return start.apply(this, args);
    };
    const stop = AudioBufferSourceNode.prototype.stop;
    AudioBufferSourceNode.prototype.stop = function (...args) {
      window.__cues.push('stop');
      return stop.apply(this, args);
    };
    window.__said = [];
    window.__announced = [];
    window.__announcedAt = [];
    document.addEventListener('DOMContentLoaded', () => {
      const observer = new MutationObserver((records) => {
        for (const record of records) {
          for (const node of record.addedNodes) {
            window.__announced.push(node.textContent);
            window.__announcedAt.push(performance.now());
          }
        }
      });
      observer.observe(document.getElementById('lines'), { childList: true });
      // The page's modules have run: every line handed to the log is heard.
      const lines = window.quillvane.lines;
      window.__mostWaiting = 0;
      lines.addEventListener('said', (event) => {
        window.__said.push(event.detail);
        queueMicrotask(() => {
          window.__mostWaiting = Math.max(window.__mostWaiting, lines.waiting());
        });
      });
    });
  });
  if (before) await page.evaluateOnNewDocument(before);
  return page;
}

// For a page whose browser has a voice (headless Chromium has none).
function withVoice() {
  speechSynthesis.getVoices = () => [{ name: 'Test voice', lang: 'en-GB', default: true }];
}

// The game is loaded and the Start button has the keyboard, as a player
// arriving on the page finds it.
const whenReady = async (page) => {
  await page.waitForFunction(() => document.getElementById('start').dataset.ready === 'true');
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
};
async function load(page) {
  await page.goto(url, { waitUntil: 'load' });
  await whenReady(page);
}
async function reload(page) {
  await page.reload({ waitUntil: 'load' });
  await whenReady(page);
}

const record = (page) => page.evaluate(() => ({ announced: window.__announced.slice(),
                                                 spoken: window.__spoken.slice() }));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Holds back the page's first request for an address ending in `ending` (a
// slow network for that one file); every other request goes through. Gives
// a function that waits, at most 30 s, until the page has asked for it, and
// answers with the request: its continue() lets the file through.
async function holdRequest(page, ending) {
  let held = null;
  let asked = null;
  const askedFor = new Promise((resolve) => { asked = resolve; });
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    if (!held && request.url().endsWith(ending)) {
      held = request;
      asked(request);
    } else {
      request.continue();
    }
  });
  return () => new Promise((resolve, reject) => {
    const limit = setTimeout(
      () => reject(new Error(`${state.step}: the page never asked for ${ending}`)), 30000);
    askedFor.then((request) => {
      clearTimeout(limit);
      resolve(request);
    });
  });
}

// Presses a key as the script names it ("Shift+Enter", "D").
async function press(page, name) {
  const parts = name.split('+');
  const key = puppeteerKey(parts.pop());
  for (const modifier of parts) await page.keyboard.down(modifier === 'Ctrl' ? 'Control' : modifier);
  await page.keyboard.press(key);
  for (const modifier of parts.reverse())
    await page.keyboard.up(modifier === 'Ctrl' ? 'Control' : modifier);
}

// The game is idle and every line it gave the page has had its turn in the
// log of lines.
const settled = (page, timeout = 30000) => page.waitForFunction(
    () => window.quillvane.events.idle && window.quillvane.lines.waiting() === 0, { timeout });

// A line as the game said it: the page ends a line equal to the one before
// it with a no-break space, so that screen readers announce it again.
const unvaried = (line) => line.replace(/\u00a0$/, '');

// Waits until the list (announced or spoken) has grown by the lines
// expected and the game is idle again, then checks them.
async function expectNew(page, which, before, lines) {
  const field = which === 'announced' ? '__announced' : '__spoken';
  try {
    await page.waitForFunction((name, n) => window[name].length >= n, { timeout: 30000 }, field,
                               before + lines.length);
    await settled(page);
  } catch (error) {
    // Fall through: the comparison below says what came instead.
  }
  const now = (await record(page))[which];
  const got = now.slice(before).map((entry) => (typeof entry === 'string' ? unvaried(entry)
                                                                          : entry.text));
  assert.deepStrictEqual(got, lines, `${state.step}: ${which}`);
  return now.length;
}

// The lines the log of lines holds, as the accessibility tree gives them to
// a screen reader: the text of each of its children, in order.
async function axLines(page) {
  const cdp = await page.createCDPSession();
  try {
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const byId = new Map(nodes.map((node) => [node.nodeId, node]));
    const log = nodes.find((node) => node.role && node.role.value === 'log');
    const text = (node) => (node.role.value === 'StaticText' ? node.name.value
                            : (node.childIds || []).map((id) => text(byId.get(id))).join(''));
    return (log.childIds || []).map((id) => text(byId.get(id)));
  } finally {
    await cdp.detach();
  }
}

// Plays the key blocks of a transcript, checking each key's lines in the
// log of lines and in the accessibility tree.
async function playBlocks(page, blocks, onBlock) {
  for (const block of blocks) {
    state.step = `key ${block.key}`;
    const before = (await record(page)).announced.length;
    await press(page, block.key);
    await expectNew(page, 'announced', before, block.says);
    if (block.says.length && browserName === 'chromium') {
      // The log keeps the newest line only (the tree as Chromium's own
      // protocol gives it).
      const tree = await axLines(page);
      assert.deepStrictEqual(tree.map(unvaried), block.says.slice(-1),
                             `${state.step}: the accessibility tree`);
    }
    if (onBlock) await onBlock(block);
  }
}

// The stops a screen reader's one-finger swipes make from the element
// named `from` (not counted) to the one named `to` (counted), in the
// accessibility tree's reading order: each control, heading or image is one
// stop (what is inside it is read with it), and the text of one element is
// one stop; containers and what is hidden are passed over. Gives the stops
// as [role, text] pairs.
async function swipeStops(page, from, to) {
  const cdp = await page.createCDPSession();
  try {
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const byId = new Map(nodes.map((node) => [node.nodeId, node]));
    const whole = new Set(['button', 'heading', 'textbox', 'link', 'checkbox', 'combobox', 'image',
                           'img', 'slider', 'searchbox', 'radio', 'switch']);
    const name = (node) => (node.name && node.name.value) || '';
    const role = (node) => (node.role && node.role.value) || '';
    const stops = [];
    let counting = false;
    let done = false;
    const textOf = new Set();
    const visit = (node) => {
      if (!node || done) return;
      if (counting && !node.ignored) {
        if (whole.has(role(node))) {
          stops.push([role(node), name(node)]);
          if (name(node) === to) done = true;
          return;
        }
        if (role(node) === 'StaticText' && !textOf.has(node.parentId)) {
          textOf.add(node.parentId);
          stops.push(['text', name(node)]);
        }
      }
      if (!counting && name(node) === from) counting = true;
      for (const id of node.childIds || []) visit(byId.get(id));
    };
    visit(nodes.find((node) => !node.parentId));
    assert.ok(done, `no ${to} after ${from}: ${JSON.stringify(stops)}`);
    return stops;
  } finally {
    await cdp.detach();
  }
}

async function storedFile(page, name) {
  return page.evaluate((file) => {
    const bytes = window.quillvane.bridge.readFile(`/data/${file}`);
    return bytes ? Array.from(bytes) : null;
  }, name);
}

async function canvasColours(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('items');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let green = 0, magenta = 0, black = 0;
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
      if (g > 80 && r < 60 && b < 60) green++;
      if (r > 130 && b > 130 && g < 60) magenta++;
      if (r < 60 && g < 60 && b < 60) black++;
    }
    return { green, magenta, black };
  });
}


module.exports = {
  url, outDir, transcripts, welcome, state, transcriptBlocks, browserName, launch, openPage, withVoice,
  whenReady, load, reload, record, sleep, holdRequest, press, settled, unvaried, expectNew, axLines, playBlocks,
  storedFile, canvasColours, swipeStops,
};
