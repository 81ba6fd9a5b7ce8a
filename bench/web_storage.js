// Prints the web edition's storage figures (see web_storage.sh).
//   node web_storage.js URL OUT_DIR TRANSCRIPTS_DIR TRIES
'use strict';
const path = require('node:path');
const { closeAfterDiscovery, hideAfterDiscovery, moveWrites, offline } =
  require(path.join(__dirname, '../web/test/e2e-storage.js'));
const { launch, openPage, load } = require(path.join(__dirname, '../web/test/browser.js'));

// What one append of a log line costs, sent to committed in IndexedDB, with
// `size` bytes of log kept already; beside it, what writing the whole log
// again (as earlier builds did for every line) costs.
async function appendCost(size, appends = 40) {
  const { browser } = await launch();
  const page = await openPage(browser);
  await load(page);
  const figures = await page.evaluate(async (bytes, count) => {
    const store = window.quillvane.store;
    const log = new Uint8Array(bytes).fill(65);
    const begun = performance.now();
    await store.keep(['/data/log.txt'], () => log);
    const whole = performance.now() - begun;
    const line = new TextEncoder().encode('New discovery!  Combining Dirt and Water creates Mud and Mud.\r\n');
    const times = [];
    for (let i = 0; i < count; i++) {
      const sent = performance.now();
      if (!(await store.append('/data/log.txt', line))) throw new Error('an append failed');
      times.push(performance.now() - sent);
    }
    const kept = (await store.read()).get('/data/log.txt').length;
    return { whole, times, kept, line: line.length };
  }, size, appends);
  await browser.close();
  if (figures.kept !== size + appends * figures.line) throw new Error(`the log kept ${figures.kept} bytes`);
  return figures;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
};

async function main() {
  const tries = Number(process.argv[5]) || 20;
  for (const [name, size] of [['16 kB', 16 * 1024], ['16 MB', 16 * 1024 * 1024]]) {
    const { whole, times } = await appendCost(size);
    console.log(`one log line appended to ${name} of log, sent to committed: median ${median(times).toFixed(1)} ` +
                `ms, longest ${Math.max(...times).toFixed(1)} ms (${times.length} appends); the whole log ` +
                `written once: ${whole.toFixed(1)} ms`);
  }
  const shown = await moveWrites();
  const hidden = await hideAfterDiscovery();
  const writes = [...shown.writes, ...hidden.writes];
  console.log(`one write sent to committed in IndexedDB: median ${median(writes).toFixed(1)} ms, ` +
              `longest ${Math.max(...writes).toFixed(1)} ms (${writes.length} writes)`);
  console.log(`Shift+Enter of a discovery to progress.ini / achievements.ini in IndexedDB: ` +
              `${shown.progress.toFixed(0)} / ${shown.achievements.toFixed(0)} ms with the page in view ` +
              `(saved after the announcements); ${hidden.progress.toFixed(0)} / ` +
              `${hidden.achievements.toFixed(0)} ms with the page hidden 0.3 s after it`);
  const kept = await closeAfterDiscovery(tries);
  console.log(`tab closed 0.3 s after the Shift+Enter of a discovery: kept in ${kept} of ${tries}`);
  const starts = [];
  for (let i = 0; i < 3; i++) starts.push(await offline());
  console.log(`offline, after one visit, reload to welcome line: median ${median(starts)} ms ` +
              `(${starts.join(', ')} ms)`);
}

main().catch((error) => {
  console.error(error.stack || error);
  process.exit(1);
});
