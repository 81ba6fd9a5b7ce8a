// The page's modules that run without a browser, under node's test runner:
// the log of lines (spacing, repeats, the waiting limit), the game's event
// queue, the file store (chunked appends, time limits, a page being hidden),
// the persist decision, the update notice, the files section's reading,
// the list's scale and scroll, and the table of texts.
import test from 'node:test';
import assert from 'node:assert';
import fs from 'node:fs';
import { LineLog, marked, unmarked } from '../lines.js';
import { EventQueue, longestWait, hurryEvent, selectBase, characterBase } from '../events.js';
import { FileStore, assemble, chunkKey, mostChunks, writeLimit, openLimit } from '../storage.js';
import { persistPlan } from '../persist.js';
import { UpdateWatch } from '../offline.js';
import { firstLines, readLimit, chosenFiles, linesUsed, longestLine } from '../files.js';
import { listScale, scrollFor, parseRows, fontUnits, Role, contrast, forcedColours } from '../view.js';
import { texts, say, joined } from '../texts.js';
import { makeZip } from '../zip.js';

// A clock whose time moves only when told: timers run as it passes them.
class VirtualClock {
  constructor() {
    this.time = 0;
    this.timers = [];
    this.next = 1;
  }
  now() { return this.time; }
  later(fn, ms) {
    const id = this.next++;
    this.timers.push({ id, at: this.time + ms, fn });
    return id;
  }
  cancel(id) { this.timers = this.timers.filter((timer) => timer.id !== id); }
  setTimeout(fn, ms) { return this.later(fn, ms); }
  clearTimeout(id) { this.cancel(id); }
  advance(ms) {
    const end = this.time + ms;
    for (;;) {
      const due = this.timers.filter((timer) => timer.at <= end).sort((a, b) => a.at - b.at)[0];
      if (!due) break;
      this.cancel(due.id);
      this.time = due.at;
      due.fn();
    }
    this.time = end;
  }
}
const settle = () => new Promise((resolve) => setImmediate(resolve));

test('lines are written one a task, 200 ms apart, repeats marked, at most 5 waiting', () => {
  const clock = new VirtualClock();
  const written = [];
  const log = new LineLog((text) => written.push([clock.now(), text]), clock);
  const said = [];
  log.addEventListener('said', (event) => said.push(event.detail));
  log.say('Menu');
  log.say('Return to the game');
  log.say('Return to the game');
  assert.deepStrictEqual(written, [], 'nothing written in the task that said them');
  clock.advance(0);
  assert.deepStrictEqual(written, [[0, 'Menu']]);
  clock.advance(1000);
  assert.deepStrictEqual(written, [[0, 'Menu'], [200, 'Return to the game'],
                                   [400, 'Return to the game\u00a0']]);
  assert.deepStrictEqual(said, ['Menu', 'Return to the game', 'Return to the game']);
  // A line after a pause is written at once; one soon after waits its turn.
  clock.advance(5000);
  const begin = clock.now();
  log.say('Dirt, you have 2.');
  clock.advance(50);
  log.say('Water, you have 2.');
  clock.advance(100);
  assert.strictEqual(written.at(-1)[1], 'Dirt, you have 2.');
  clock.advance(100);
  assert.deepStrictEqual(written.slice(-2).map(([at]) => at - begin), [0, 200]);
  // A key held down: of 12 lines said at once the oldest waiting go.
  for (let i = 1; i <= 12; i++) log.say(`line ${i}`);
  assert.strictEqual(log.waiting(), 5);
  clock.advance(5000);
  assert.deepStrictEqual(written.slice(-5).map(([, text]) => text),
                         ['line 8', 'line 9', 'line 10', 'line 11', 'line 12']);
  const gaps = written.slice(1).map(([at], i) => at - written[i][0]);
  assert.ok(gaps.every((gap) => gap >= 200), `gaps ${gaps}`);
  assert.strictEqual(log.waiting(), 0);
});

test('a repeat is marked against the line written just before, and unmarked again', () => {
  const cases = [['a', 'a', 'a\u00a0'], ['a', 'b', 'a'], ['a', 'a\u00a0', 'a'], ['a', null, 'a'], ['', '', '\u00a0']];
  for (const [text, last, want] of cases) {
    assert.strictEqual(marked(text, last), want, `${text} after ${last}`);
    assert.strictEqual(unmarked(want), text);
  }
});

test('the game waits for events: a key wakes it at once, a deadline ends the wait', async () => {
  const clock = new VirtualClock();
  const queue = new EventQueue(clock);
  let woke = false;
  const waiting = queue.wait(longestWait).then(() => { woke = true; });
  assert.strictEqual(queue.idle, true, 'a wait of a day is the game idle');
  queue.postKey({ keycode: 40, shift: 0 });
  await waiting;
  assert.ok(woke);
  assert.strictEqual(queue.idle, false);
  queue.postKey({ keycode: 13, shift: 1 });
  queue.postSelect(3);
  queue.postHurry();
  // A letter beyond A to Z: its code point and the shift mask, above every
  // other event (web_platform.cpp reads them back so).
  queue.postKey({ keycode: 0, shift: 1, character: 0xd1 });
  queue.postKey({ keycode: 0, shift: 0, character: 0x10ffff });
  assert.deepStrictEqual([queue.take(), queue.take(), queue.take(), queue.take(), queue.take(), queue.take()],
                         [40, 256 + 13, selectBase + 3, hurryEvent, characterBase + 2 ** 21 + 0xd1,
                          characterBase + 0x10ffff]);
  assert.ok(characterBase > selectBase + 9999 && characterBase + 7 * 2 ** 21 + 0x10ffff < 2 ** 31);
  assert.strictEqual(queue.take(), -1);
  let ended = false;
  const timed = queue.wait(500).then(() => { ended = true; });
  assert.strictEqual(queue.idle, false, 'a timed wait is no idle game');
  clock.advance(499);
  await settle();
  assert.ok(!ended);
  clock.advance(1);
  await timed;
  // An event already queued ends a wait before it begins.
  queue.postKey({ keycode: 9, shift: 0 });
  await queue.wait(longestWait);
  assert.strictEqual(queue.take(), 9);
});

// A store in memory, as IndexedDB holds it: records by key, one
// transaction per write. It can be made to refuse, or never to answer.
class MemoryBackend {
  constructor(records = []) {
    this.records = new Map(records);
    this.mode = 'answer';
    this.written = [];
  }
  open() { return this.mode === 'silent' ? new Promise(() => {}) : Promise.resolve(); }
  readAll() {
    return Promise.resolve([...this.records].sort(([a], [b]) => (a < b ? -1 : a > b ? 1 : 0)));
  }
  write(operations) {
    if (this.mode === 'silent') return new Promise(() => {});
    if (this.mode === 'refuse') return Promise.reject(new Error('QuotaExceededError'));
    this.written.push(operations);
    for (const operation of operations) {
      if (operation.put) this.records.set(operation.put[0], operation.put[1]);
      else if (operation.remove) this.records.delete(operation.remove);
      else {
        const [lower, upper] = operation.removeRange;
        for (const key of [...this.records.keys()]) if (key >= lower && key <= upper) this.records.delete(key);
      }
    }
    return Promise.resolve();
  }
  close() {}
}
const bytes = (text) => new TextEncoder().encode(text);
const text = (data) => new TextDecoder().decode(data);
const bytesWritten = (operations) => operations.reduce(
  (n, operation) => n + (operation.put ? operation.put[1].contents.length : 0), 0);

test('an append writes only its bytes, at 16 kB of log as at 16 MB; older saves still read', async () => {
  for (const size of [16 * 1024, 16 * 1024 * 1024]) {
    // A log kept whole in one record, as earlier builds kept it.
    const old = new Uint8Array(size).fill(65);
    const backend = new MemoryBackend([['/data/log.txt', { contents: old }],
                                       ['/data/progress.ini', { contents: bytes('p') }]]);
    const store = new FileStore(backend, { clock: new VirtualClock(), now: () => 0 });
    const files = await store.start();
    assert.strictEqual(files.get('/data/log.txt').length, size);
    backend.written = [];
    assert.strictEqual(await store.append('/data/log.txt', bytes('Dirt and Water\r\n')), true);
    assert.strictEqual(await store.append('/data/log.txt', bytes('Mud\r\n')), true);
    assert.deepStrictEqual(backend.written.map(bytesWritten), [16, 5], `${size}: the bytes written`);
    const again = new FileStore(backend, { clock: new VirtualClock(), now: () => 0 });
    const log = (await again.start()).get('/data/log.txt');
    assert.strictEqual(log.length, size + 21);
    assert.strictEqual(text(log.subarray(size)), 'Dirt and Water\r\nMud\r\n');
    // The next appends follow the ones before.
    await again.append('/data/log.txt', bytes('Pig\r\n'));
    assert.strictEqual(text((await again.read()).get('/data/log.txt').subarray(size)),
                       'Dirt and Water\r\nMud\r\nPig\r\n');
  }
});

test('the store\'s records make the folder: chunks in order, folders below and strangers passed by', () => {
  const entries = [
    ['/data/log.txt', { contents: bytes('a') }],
    ['/data/sub/x.ini', { contents: bytes('no') }],
    ['quillvane-probe', { contents: bytes('no') }],
    [chunkKey('/data/log.txt', 10), { contents: bytes('c') }],
    [chunkKey('/data/log.txt', 2), { contents: bytes('b') }],
    [chunkKey('/data/new.txt', 1), { contents: bytes('n') }],
  ].sort(([a], [b]) => (a < b ? -1 : 1));
  const { files, next, counts } = assemble(entries);
  assert.deepStrictEqual([...files.keys()].sort(), ['/data/log.txt', '/data/new.txt']);
  assert.strictEqual(text(files.get('/data/log.txt')), 'abc');
  assert.strictEqual(text(files.get('/data/new.txt')), 'n');
  assert.deepStrictEqual([next.get('/data/log.txt'), counts.get('/data/log.txt')], [11, 2]);
});

test('a file of many chunks is written whole again when a game starts; a whole write drops its chunks',
     async () => {
  const backend = new MemoryBackend([['/data/log.txt', { contents: bytes('start\r\n') }]]);
  const store = new FileStore(backend, { clock: new VirtualClock(), now: () => 0 });
  await store.start();
  for (let i = 0; i <= mostChunks; i++) await store.append('/data/log.txt', bytes(`${i}\r\n`));
  const whole = text((await store.read()).get('/data/log.txt'));
  assert.strictEqual(whole.split('\r\n').length, mostChunks + 3);
  assert.deepStrictEqual([...backend.records.keys()], ['/data/log.txt'], 'one record again');
  assert.strictEqual(text(backend.records.get('/data/log.txt').contents), whole);
  await store.append('/data/log.txt', bytes('after\r\n'));
  await store.keep(['/data/log.txt'], () => bytes('rewritten\r\n'));
  assert.deepStrictEqual([...backend.records.keys()], ['/data/log.txt']);
  assert.strictEqual(text((await store.read()).get('/data/log.txt')), 'rewritten\r\n');
  await store.keep(['/data/log.txt'], () => null);
  assert.strictEqual(backend.records.size, 0, 'a file gone is gone from the store');
});

test('storage that refuses or never answers fails the write within its time limit', async () => {
  for (const mode of ['refuse', 'silent']) {
    const clock = new VirtualClock();
    const backend = new MemoryBackend();
    const store = new FileStore(backend, { clock, now: () => clock.now() });
    assert.ok(await store.start());
    backend.mode = mode;
    let result = null;
    store.keep(['/data/progress.ini'], () => bytes('p')).then((ok) => { result = ok; });
    store.append('/data/log.txt', bytes('x'));
    await settle();
    if (mode === 'silent') {
      assert.strictEqual(result, null, 'still waiting');
      clock.advance(writeLimit - 1);
      await settle();
      assert.strictEqual(result, null, 'still waiting, within the limit');
      clock.advance(1);
    }
    await settle();
    await settle();
    assert.strictEqual(result, false, `${mode}: the write failed`);
  }
  // A store that never opens: no storage, found within the limit.
  const clock = new VirtualClock();
  const backend = new MemoryBackend();
  backend.mode = 'silent';
  const store = new FileStore(backend, { clock });
  const opening = store.start();
  clock.advance(openLimit);
  assert.strictEqual(await opening, null);
  assert.strictEqual(store.open, false);
  assert.match(store.problem, /did not answer/);
  assert.strictEqual(await store.append('/data/log.txt', bytes('x')), false);
});

test('a page being hidden: writes are sent, not waited on; a late failure is told at the next write',
     async () => {
  const clock = new VirtualClock();
  const backend = new MemoryBackend();
  const store = new FileStore(backend, { clock, now: () => clock.now() });
  await store.start();
  backend.mode = 'silent';
  let waited = null;
  store.keep(['/data/progress.ini'], () => bytes('1')).then((ok) => { waited = ok; });
  await settle();
  assert.strictEqual(waited, null);
  store.setHidden(true);
  await settle();
  assert.strictEqual(waited, true, 'the game stops waiting once the page is hidden');
  assert.strictEqual(await store.keep(['/data/achievements.ini'], () => bytes('2')), true,
                     'sent while hidden: done at once');
  clock.advance(writeLimit);
  await settle();
  store.setHidden(false);
  backend.mode = 'answer';
  assert.strictEqual(await store.keep(['/data/progress.ini'], () => bytes('3')), false,
                     'the failure of a write sent while hidden is told');
  assert.strictEqual(await store.keep(['/data/progress.ini'], () => bytes('4')), true);
});

test('the browser is asked to keep the game only where it will not ask the player', () => {
  const cases = [
    // [persisted, permission, told] -> { ask, offer, tell }
    [undefined, 'granted', false, { ask: false, offer: false, tell: null }],
    [true, 'granted', false, { ask: false, offer: false, tell: 'granted' }],
    [true, 'prompt', true, { ask: false, offer: false, tell: null }],
    [false, 'granted', false, { ask: true, offer: false, tell: null }],
    [false, 'granted', true, { ask: true, offer: false, tell: null }],
    [false, 'prompt', false, { ask: false, offer: true, tell: null }],
    [false, 'unknown', false, { ask: false, offer: true, tell: null }],
    [false, 'prompt', true, { ask: false, offer: false, tell: null }],
    [false, 'denied', false, { ask: false, offer: false, tell: 'refused' }],
    [false, 'denied', true, { ask: false, offer: false, tell: null }],
  ];
  for (const [persisted, permission, told, plan] of cases)
    assert.deepStrictEqual(persistPlan({ persisted, permission, told }), plan,
                           `${persisted} ${permission} ${told}`);
});

test('a new version is told once it is activated, to a page a worker served', () => {
  const worker = () => Object.assign(new EventTarget(), { state: 'installing' });
  const step = (w, state) => {
    w.state = state;
    w.dispatchEvent(new Event('statechange'));
  };
  for (const [servedByWorker, told] of [[true, 1], [false, 0]]) {
    let notices = 0;
    const watch = new UpdateWatch(servedByWorker, () => { notices++; });
    const registration = Object.assign(new EventTarget(), { installing: null });
    watch.follow(registration);
    const first = worker();
    registration.installing = first;
    registration.dispatchEvent(new Event('updatefound'));
    step(first, 'installed');
    assert.strictEqual(notices, 0, 'not before it is activated');
    step(first, 'activating');
    step(first, 'activated');
    assert.strictEqual(notices, told, `served by a worker: ${servedByWorker}`);
    // A second new version in the same page is not told again.
    const second = worker();
    registration.installing = second;
    registration.dispatchEvent(new Event('updatefound'));
    step(second, 'activated');
    assert.strictEqual(notices, told);
  }
  // A worker already installing when the page registers is followed too.
  let notices = 0;
  const watch = new UpdateWatch(true, () => { notices++; });
  const installing = worker();
  watch.follow(Object.assign(new EventTarget(), { installing }));
  step(installing, 'activated');
  assert.strictEqual(notices, 1);
});

test('Load files reads only the lines the game uses, from a file or a zip entry', async () => {
  assert.deepStrictEqual(linesUsed, { 'progress.ini': 43, 'achievements.ini': 2236, 'settings.ini': 3 });
  assert.strictEqual(readLimit('progress.ini'), 43 * longestLine);
  assert.strictEqual(readLimit('achievements.ini'), 2236 * longestLine);
  assert.strictEqual(readLimit('log.txt'), 0);
  const lines = (n) => bytes(Array.from({ length: n }, (_, i) => `${i}\r\n`).join(''));
  const cases = [[lines(50), 43, lines(43)], [lines(43), 43, lines(43)], [lines(42), 43, lines(42)],
                 [bytes('a\r\nb'), 43, bytes('a\r\nb')], [bytes('a\nb\n'), 1, bytes('a\n')]];
  for (const [all, n, want] of cases) assert.deepStrictEqual(firstLines(all, n), want);
  // 50 MB of line ends, chosen alone and in a zip: a bounded beginning.
  const huge = new Uint8Array(50 * 1024 * 1024).fill(10);
  let read = 0;
  const file = (name, data) => {
    const blob = new Blob([data]);
    return { name, size: blob.size, slice: (start, end) => {
      const part = blob.slice(start, end);
      read += part.size;
      return part;
    } };
  };
  const found = await chosenFiles([file('progress.ini', huge), file('notes.txt', huge)]);
  assert.deepStrictEqual([...found.keys()], ['progress.ini']);
  assert.strictEqual(found.get('progress.ini').length, readLimit('progress.ini'));
  assert.strictEqual(read, readLimit('progress.ini'), 'no more of the file was read');
  const zip = makeZip([{ name: 'Quillvane\\achievements.ini', bytes: huge.subarray(0, 20 * 1024 * 1024) },
                       { name: 'Quillvane\\progress.ini', bytes: lines(45) }]);
  read = 0;
  const zipped = await chosenFiles([file('quillvane-files.zip', zip)]);
  assert.deepStrictEqual([...zipped.keys()], ['achievements.ini', 'progress.ini']);
  assert.strictEqual(zipped.get('achievements.ini').length, readLimit('achievements.ini'));
  assert.deepStrictEqual(zipped.get('progress.ini'), lines(45));
  assert.ok(read < readLimit('achievements.ini') + 70 * 1024, `${read} bytes of the zip read`);
  await assert.rejects(chosenFiles([file('x.zip', bytes('no zip'))]), (error) => error.code === 'notZip');
});

test('the list keeps text of at least 16 CSS px and scrolls with the selection', () => {
  // [shown width in CSS px, CSS px a unit]
  for (const [width, scale] of [[288, 16 / 13], [320, 16 / 13], [640, 16 / 13], [1040, 2]]) {
    assert.strictEqual(listScale(width), scale, `${width}`);
    assert.ok(listScale(width) * fontUnits >= 16);
  }
  const rows = parseRows('15\x1f0\x1f20\x1f0\x1fApple\x1e30\x1f1\x1f10\x1f1\x1f[\x1f20\x1f1\x1f' +
                         'Cow ]\x1f20\x1f2\x1fCow\x1e');
  assert.deepStrictEqual(rows[1], { y: 30, selected: true, pieces: [
    { x: 10, role: Role.selection, text: '[' }, { x: 20, role: Role.selection, text: 'Cow ]' },
    { x: 20, role: Role.slot, text: 'Cow' }] });
  // A long list: the selection far down scrolls it just enough; back up, to the line above.
  const long = Array.from({ length: 100 }, (_, i) => ({ y: 15 * (i + 1), selected: i === 79, pieces: [] }));
  assert.strictEqual(scrollFor(long, 0, 600), 15 * 80 + 30 - 600);
  long[79].selected = false;
  long[9].selected = true;
  assert.strictEqual(scrollFor(long, 630, 600), 15 * 10 - 15);
  assert.strictEqual(scrollFor(long.slice(0, 5), 200, 600), 0, 'a short list does not scroll');
});

test('a high contrast theme\'s colours: its highlight as a band where its text stands out, else a frame', () => {
  assert.strictEqual(contrast('rgb(255, 255, 255)', 'rgb(0, 0, 0)'), 21);
  assert.ok(Math.abs(contrast('rgb(51, 153, 255)', 'rgb(255, 255, 255)') - 2.94) < 0.01);
  const windows = forcedColours({ canvas: 'rgb(0, 0, 0)', text: 'rgb(255, 255, 255)',
                                  highlight: 'rgb(26, 235, 255)', highlightText: 'rgb(0, 0, 0)' });
  assert.deepStrictEqual([windows.band, windows.bandText, windows.frame],
                         ['rgb(26, 235, 255)', 'rgb(0, 0, 0)', null]);
  // Firefox's own theme here: white text on a light blue highlight.
  const faint = forcedColours({ canvas: 'rgb(255, 255, 255)', text: 'rgb(0, 0, 0)',
                                highlight: 'rgb(51, 153, 255)', highlightText: 'rgb(255, 255, 255)' });
  assert.deepStrictEqual([faint.band, faint.selection, faint.frame], [null, 'rgb(0, 0, 0)', 'rgb(0, 0, 0)']);
  const framed = forcedColours({ canvas: 'rgb(255, 255, 255)', text: 'rgb(0, 0, 0)',
                                 highlight: 'rgb(0, 90, 200)', highlightText: 'rgb(120, 170, 255)' });
  assert.strictEqual(framed.frame, 'rgb(0, 90, 200)');
});

test('every text the page names is in the table, filled in as asked', () => {
  const html = fs.readFileSync(new URL('../index.html', import.meta.url), 'latin1');
  const named = [...html.matchAll(/data-text(?:-label)?="(\w+)"/g)].map((match) => match[1]);
  assert.ok(named.length >= 15, `${named.length} texts named`);
  for (const key of named) assert.ok(typeof texts[key] === 'string' && texts[key], key);
  assert.strictEqual(say('saved', joined(['progress.ini', 'achievements.ini', 'log.txt'])),
                     'Saved progress.ini, achievements.ini and log.txt in quillvane-files.zip.');
  assert.strictEqual(say('notLoaded', say('damaged', 'progress.ini')),
                     'Your files were not loaded: progress.ini appears to have been damaged. Nothing was changed.');
  assert.strictEqual(joined(['progress.ini', 'achievements.ini']), 'progress.ini and achievements.ini');
  assert.strictEqual(joined(['log.txt']), 'log.txt');
  assert.throws(() => say('noSuchText'), /no page text named noSuchText/);
  assert.match(texts.gameAreaHelp, /Shift\+Tab leaves the game; Tab inside the game changes the speech output\./);
  assert.strictEqual(texts.leaving, 'Shift+Tab leaves the game; Tab inside the game changes the speech output.');
});
