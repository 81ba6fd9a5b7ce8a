// Figures of the web edition in headless Chromium: load to an interactive
// Start button, and keydown to the new line in the page's log of lines.
//   node bench/web.js URL
'use strict';
const path = require('node:path');
const fs = require('node:fs');
const os = require('node:os');
const puppeteer = require(path.join(__dirname, '../web/test/node_modules/puppeteer-core'));
const { serve } = require(path.join(__dirname, '../web/test/static-server.js'));

const url = process.argv[2];
const loads = 15;
const colds = 5;
const keys = 200;

const percentile = (values, p) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
};

// Every profile made is removed when the benchmark ends.
const profiles = [];
process.on('exit', () => {
  for (const profile of profiles) {
    try {
      fs.rmSync(profile, { recursive: true, force: true });
    } catch (error) { /* a browser still writing into it */ }
  }
});
function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quillvane-bench-'));
  profiles.push(profile);
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
}

// Load to a Start button that starts the game at once: the wasm compiled,
// the saved files read from IndexedDB.
async function readyAfterLoad(page) {
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.quillvane && window.quillvane.readyAt !== undefined);
  return page.evaluate(() => window.quillvane.readyAt);
}

// A first visit in a fresh profile, against a plain static server with
// gzip serving the site: every request, until the page is ready and its
// offline worker holds the whole site.
async function firstVisit(site) {
  const server = await serve(site);
  const browser = await launch();
  const page = await browser.newPage();
  await page.goto(server.url, { waitUntil: 'load' });
  await page.waitForFunction(async () => {
    if (!window.quillvane || !window.quillvane.offline()) return false;
    const registration = await navigator.serviceWorker.getRegistration();
    return Boolean(registration && registration.active && navigator.serviceWorker.controller);
  }, { timeout: 60000 });
  await browser.close();
  await server.close();
  const counts = new Map();
  for (const request of server.requests) counts.set(request.path, (counts.get(request.path) || 0) + 1);
  const bytes = server.requests.reduce((n, request) => n + request.bytes, 0);
  const raw = server.requests.reduce((n, request) => n + request.raw, 0);
  const twice = [...counts].filter(([, n]) => n > 1).map(([file]) => file);
  console.log(`first visit: ${server.requests.length} requests for ${counts.size} files` +
              `${twice.length ? `, fetched more than once: ${twice.join(' ')}` : ', each once'}; ` +
              `${(bytes / 1000).toFixed(0)} kB as served with gzip (limit 700 kB), ${(raw / 1000).toFixed(0)} kB ` +
              'unpacked');
}

async function main() {
  await firstVisit(process.argv[3]);
  // Cold: a fresh profile each time (nothing cached, a new database).
  const cold = [];
  for (let i = 0; i < colds; i++) {
    const browser = await launch();
    cold.push(await readyAfterLoad(await browser.newPage()));
    await browser.close();
  }
  const browser = await launch();
  const page = await browser.newPage();
  const ready = [];
  for (let i = 0; i < loads; i++) ready.push(await readyAfterLoad(page));
  await page.evaluateOnNewDocument(() => {
    window.__latency = [];
    let pressed = 0;
    window.addEventListener('keydown', (event) => { pressed = event.timeStamp; }, true);
    document.addEventListener('DOMContentLoaded', () => {
      const observer = new MutationObserver((records) => {
        if (records.some((r) => [...r.addedNodes].some((n) => n.textContent)))
          window.__latency.push(performance.now() - pressed);
      });
      observer.observe(document.getElementById('lines'), { childList: true });
    });
  });
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.quillvane && window.quillvane.readyAt !== undefined);
  await page.keyboard.press('Enter');  // Start: the welcome line
  await page.waitForFunction(() => window.__latency.length === 1);
  // A new easy game (the menu's Enter twice), then its half-second wait.
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.__latency.length === 2);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.__latency.length === 3);
  await new Promise((resolve) => setTimeout(resolve, 800));
  // Keys a fast typist's 20 ms apart, then back to back (each pressed the
  // moment the last line is announced, while its drawing is still due).
  const measure = async (gap) => {
    await page.evaluate(() => { window.__latency = []; });
    for (let i = 1; i <= keys; i++) {
      if (gap) await new Promise((resolve) => setTimeout(resolve, gap));
      await page.keyboard.press(i % 2 ? 'ArrowDown' : 'ArrowUp');
      await page.waitForFunction((n) => window.__latency.length >= n, {}, i);
    }
    return page.evaluate(() => window.__latency);
  };
  const latency = await measure(20);
  const backToBack = await measure(0);
  // The game waiting for a key: the page's main-thread work over 5 seconds.
  const cdp = await page.createCDPSession();
  await cdp.send('Performance.enable');
  const busy = async () => {
    const { metrics } = await cdp.send('Performance.getMetrics');
    const get = (name) => metrics.find((m) => m.name === name).value;
    return { task: get('TaskDuration'), script: get('ScriptDuration') };
  };
  const before = await busy();
  await new Promise((resolve) => setTimeout(resolve, 5000));
  const after = await busy();
  await browser.close();

  const fmt = (ms) => `${ms.toFixed(2)} ms`;
  console.log(`load to interactive Start: cold median ${fmt(percentile(cold, 50))} ` +
              `(${colds} fresh profiles, ${cold.map((ms) => ms.toFixed(0)).join(', ')} ms); ` +
              `warm median ${fmt(percentile(ready.slice(1), 50))} (${loads - 1} reloads, max ` +
              `${fmt(Math.max(...ready.slice(1)))})`);
  for (const [how, values] of [['20 ms apart', latency], ['back to back', backToBack]]) {
    console.log(`keydown to the line in the log (${values.length} keys, ${how}): median ` +
                `${fmt(percentile(values, 50))}, 99th percentile ${fmt(percentile(values, 99))}, ` +
                `max ${fmt(Math.max(...values))}`);
  }
  console.log(`waiting for a key, 5 s: main-thread tasks ${fmt((after.task - before.task) * 1000)}, ` +
              `script ${fmt((after.script - before.script) * 1000)}`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
