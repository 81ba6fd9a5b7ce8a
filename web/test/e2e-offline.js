// The offline worker in headless Chromium, against a plain static server
// with gzip (static-server.js): a first visit downloads each file of the
// site once and leaves a complete offline copy; two builds at two paths of
// one host both start offline after a visit to each; a new release is
// named in the status line after the first reload, the game playing on, and
// the second reload serves it whole.
//   node e2e-offline.js URL OUT_DIR TRANSCRIPTS_DIR  (URL is not used: the
//   scenario serves copies of SITE_DIR, build-web/site unless given)
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const { serve } = require('./static-server.js');
const {
  outDir, welcome, state, launch, openPage, whenReady, expectNew, press,
} = require('./browser.js');

const root = path.join(__dirname, '../..');
const site = process.env.SITE_DIR || path.join(root, 'build-web/site');
const newVersion = 'A new version of Quillvane is ready: reload the page to play it.';

// The site's own files, as its worker lists them.
function siteFiles(dir) {
  const worker = fs.readFileSync(path.join(dir, 'service-worker.js'), 'latin1');
  return [...worker.matchAll(/\['([^']+)', '[0-9a-f]{64}'\]/g)].map((match) => match[1]);
}

// A copy of the site at dir, made a new release when marked: a file
// changed, and its worker written again by the build's own step.
function copySite(dir, mark) {
  fs.cpSync(site, dir, { recursive: true });
  if (!mark) return;
  fs.appendFileSync(path.join(dir, 'style.css'), `/* ${mark} */\n`);
  const texts = path.join(dir, 'texts.js');
  fs.writeFileSync(texts, fs.readFileSync(texts, 'utf8').replace("heading: 'Quillvane'",
                                                                  `heading: 'Quillvane (${mark})'`));
  execFileSync('cmake', [`-DSITE=${dir}`, '-DVERSION=0.7', `-DTEMPLATE=${path.join(root, 'web/service-worker.js.in')}`,
                         '-P', path.join(root, 'cmake/site_worker.cmake')]);
}

// Loads a page of the site and waits until its worker has the site's files.
async function visit(browser, url) {
  const page = await openPage(browser);
  await page.goto(url, { waitUntil: 'load' });
  await whenReady(page);
  await page.waitForFunction(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    return Boolean(registration && registration.active && navigator.serviceWorker.controller);
  }, { timeout: 30000 });
  return page;
}

async function offlineEverywhere(browser, pages) {
  for (const page of pages) await page.setOfflineMode(true);
  for (const target of browser.targets().filter((t) => t.type() === 'service_worker')) {
    const cdp = await target.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions',
                   { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  }
}

async function startsOffline(page) {
  await page.reload({ waitUntil: 'load' });
  await whenReady(page);
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  assert.ok(await page.evaluate(() => fetch('no-such-file.txt').then(() => false, () => true)),
            `${state.step}: offline`);
}

// ---- a first visit: each file once, a complete offline copy ----
async function firstVisit(dir) {
  state.step = 'a first visit';
  copySite(path.join(dir, 'first'));
  const server = await serve(dir);
  const { browser } = await launch();
  const page = await visit(browser, `${server.url}first/`);
  // The page has everything it fetches (its cues too), and the worker all of the site.
  await page.waitForFunction(() => window.quillvane.offline() !== null);
  const files = siteFiles(path.join(dir, 'first'));
  const cached = await page.evaluate(async () => {
    const names = (await caches.keys()).filter((name) => name.startsWith('quillvane '));
    const cache = await caches.open(names[0]);
    return (await cache.keys()).map((request) => new URL(request.url).pathname);
  });
  assert.deepStrictEqual(cached.sort(), files.map((file) => `/first/${file === './' ? '' : file}`).sort(),
                         `${state.step}: the offline copy holds the whole site`);
  const fetched = server.requests.filter((request) => request.status === 200);
  const counts = new Map();
  for (const request of fetched) counts.set(request.path, (counts.get(request.path) || 0) + 1);
  const twice = [...counts].filter(([, n]) => n > 1);
  // The page at / and /index.html are the same file: one of them is fetched.
  const index = ['/first/', '/first/index.html'].filter((file) => counts.has(file));
  assert.deepStrictEqual(twice, [], `${state.step}: each file once`);
  assert.strictEqual(index.length, 1, `${state.step}: the page once, under one name: ${index}`);
  const bytes = fetched.reduce((n, request) => n + request.bytes, 0);
  console.log(`web offline: a first visit made ${server.requests.length} requests for ${counts.size} files ` +
              `(the site's ${files.length - 1} and its worker), ${bytes} bytes as served with gzip`);
  await browser.close();
  await server.close();
}

// ---- two builds at two paths of one host ----
async function twoBuilds(dir) {
  state.step = 'two builds on one host';
  copySite(path.join(dir, 'a'));
  copySite(path.join(dir, 'b'), 'the beta');
  const server = await serve(dir);
  const { browser } = await launch();
  const stable = await visit(browser, `${server.url}a/`);
  const beta = await visit(browser, `${server.url}b/`);
  const caches = await beta.evaluate(async () => (await caches.keys()).filter((n) => n.startsWith('quillvane')));
  assert.strictEqual(caches.length, 2, `${state.step}: a cache each: ${caches}`);
  await offlineEverywhere(browser, [stable, beta]);
  // One game per browser (the host's): each in turn.
  for (const [name, page] of [['/a/', stable], ['/b/', beta]]) {
    state.step = `two builds on one host: ${name} offline`;
    await startsOffline(page);
    await page.close();
  }
  await browser.close();
  await server.close();
}

// The site's files as the page is served them now, against those of a folder.
async function servedAs(page, dir) {
  const files = siteFiles(dir).filter((file) => file !== './');
  const served = await page.evaluate(async (names) => {
    const out = {};
    for (const name of names) out[name] = Array.from(new Uint8Array(await (await fetch(name)).arrayBuffer()));
    return out;
  }, files);
  return files.filter((file) => !Buffer.from(served[file]).equals(fs.readFileSync(path.join(dir, file))));
}

// ---- a new release ----
async function newRelease(dir) {
  state.step = 'a new release';
  const live = path.join(dir, 'live');
  copySite(live);
  const server = await serve(dir);
  const { browser } = await launch();
  const page = await visit(browser, `${server.url}live/`);
  // The release: the host's files replaced.
  fs.rmSync(live, { recursive: true });
  copySite(live, 'release 2');
  state.step = 'a new release: the first reload';
  await page.reload({ waitUntil: 'load' });
  await whenReady(page);
  await page.waitForFunction((text) => document.getElementById('status').textContent === text,
                             { timeout: 30000 }, newVersion);
  assert.strictEqual(await page.$eval('h1', (e) => e.textContent), 'Quillvane',
                     `${state.step}: the page played on is the old one`);
  // The game goes on: Start, the welcome, a key.
  await page.keyboard.press('Enter');
  await expectNew(page, 'announced', 0, [welcome]);
  await press(page, 'Enter');
  await expectNew(page, 'announced', 1, ['Choose puzzle difficulty']);
  state.step = 'a new release: the second reload';
  await page.reload({ waitUntil: 'load' });
  await whenReady(page);
  assert.strictEqual(await page.$eval('h1', (e) => e.textContent), 'Quillvane (release 2)', state.step);
  assert.deepStrictEqual(await servedAs(page, live), [], `${state.step}: served the new release whole`);
  assert.strictEqual(await page.$eval('#status', (e) => e.textContent), '', `${state.step}: nothing to tell`);
  await browser.close();
  await server.close();
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quillvane-offline-'));
  try {
    await firstVisit(dir);
    await twoBuilds(dir);
    await newRelease(dir);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
  console.log('web offline end-to-end: all scenarios passed');
}

main().catch((error) => {
  console.error(`web offline end-to-end failed at ${state.step}: ${error.stack || error}`);
  process.exit(1);
});
