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
const welcome = 'Welcome to Quillvane, version (0.7 beta), by Orlick';
// The scenario's current step, named in every failure.
const state = { step: '' };

// What a key script's name is as a puppeteer key.
function puppeteerKey(name) {
  if (/^[A-Z]$/.test(name)) return `Key${name}`;
  if (/^[0-9]$/.test(name)) return `Digit${name}`;
  return { Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft', Right: 'ArrowRight', Plus: 'Equal',
           NumPlus: 'NumpadAdd', NumMinus: 'NumpadSubtract' }[name] || name;
}

// A transcript as the lines each key brings: its say lines and the waits
// that follow the last of them.
function transcriptBlocks(file) {
  const blocks = [{ key: null, says: [], waitAfter: 0 }];
  for (const line of fs.readFileSync(file, 'latin1').split('\n')) {
    const block = blocks[blocks.length - 1];
    if (line.startsWith('key: ')) blocks.push({ key: line.slice(5), says: [], waitAfter: 0 });
    else if (line.startsWith('say: ')) {
      block.says.push(line.slice(5));
      block.waitAfter = 0;
    } else if (line.startsWith('wait: ')) block.waitAfter += Number(line.slice(6));
  }
  return blocks;
}

// Every profile made is removed when the test ends.
const profiles = [];
process.on('exit', () => {
  for (const profile of profiles) fs.rmSync(profile, { recursive: true, force: true });
});

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quillvane-profile-'));
  profiles.push(profile);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  return { browser, profile };
}

// A page whose speechSynthesis.speak calls and live-region announcements
// are recorded as they happen.
async function openPage(browser, before) {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
  await page.evaluateOnNewDocument(() => {
    window.__spoken = [];
    const speak = speechSynthesis.speak.bind(speechSynthesis);
    speechSynthesis.speak = (utterance) => {
      window.__spoken.push({ text: utterance.text, rate: utterance.rate });
      return speak(utterance);
    };
    window.__cues = [];
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...args) {
      window.__cues.push(`start ${this.buffer.duration.toFixed(2)}`);
      return start.apply(this, args);
    };
    const stop = AudioBufferSourceNode.prototype.stop;
    AudioBufferSourceNode.prototype.stop = function (...args) {
      window.__cues.push('stop');
      return stop.apply(this, args);
    };
    window.__announced = [];
    document.addEventListener('DOMContentLoaded', () => {
      const observer = new MutationObserver((records) => {
        for (const record of records)
          for (const node of record.addedNodes)
            if (node.textContent) window.__announced.push(node.textContent);
      });
      for (const id of ['say-a', 'say-b'])
        observer.observe(document.getElementById(id), { childList: true });
    });
  });
  if (before) await page.evaluateOnNewDocument(before);
  return page;
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

// Presses a key as the script names it ("Shift+Enter", "D").
async function press(page, name) {
  const parts = name.split('+');
  const key = puppeteerKey(parts.pop());
  for (const modifier of parts) await page.keyboard.down(modifier === 'Ctrl' ? 'Control' : modifier);
  await page.keyboard.press(key);
  for (const modifier of parts.reverse())
    await page.keyboard.up(modifier === 'Ctrl' ? 'Control' : modifier);
}

// Waits until the list (announced or spoken) has grown by the lines
// expected, then checks them, and lets the game's trailing waits pass.
async function expectNew(page, which, before, lines, waitAfter = 0) {
  const want = before + lines.length;
  try {
    await page.waitForFunction((field, n) => window[field].length >= n, { timeout: 30000 },
                               which === 'announced' ? '__announced' : '__spoken', want);
  } catch (error) {
    // Fall through: the comparison below says what came instead.
  }
  await sleep(waitAfter * 1000 + 150);
  const now = (await record(page))[which];
  const got = now.slice(before).map((entry) => (typeof entry === 'string' ? entry : entry.text));
  assert.deepStrictEqual(got, lines, `${state.step}: ${which}`);
  return now.length;
}

// Plays the key blocks of a transcript, checking each key's announcements.
async function playBlocks(page, blocks, onBlock) {
  for (const block of blocks) {
    state.step = `key ${block.key}`;
    const before = (await record(page)).announced.length;
    await press(page, block.key);
    await expectNew(page, 'announced', before, block.says, block.waitAfter);
    if (onBlock) await onBlock(block);
  }
}

async function storedFile(page, name) {
  return page.evaluate((file) => {
    try {
      return Array.from(FS.readFile(`/data/${file}`));
    } catch (error) {
      return null;
    }
  }, name);
}

async function canvasColours(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('items');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let green = 0, magenta = 0, black = 0;
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
      if (g > 150 && r < 80 && b < 80) green++;
      if (r > 180 && b > 180 && g < 80) magenta++;
      if (r < 60 && g < 60 && b < 60) black++;
    }
    return { green, magenta, black };
  });
}


module.exports = {
  url, outDir, transcripts, welcome, state, transcriptBlocks, launch, openPage, whenReady, load,
  reload, record, sleep, press, expectNew, playBlocks, storedFile, canvasColours,
};
