// The player's files in the browser: the game's data folder (/data in the
// game's memory) kept in IndexedDB, written the moment the game writes it.
// Each file is one record under its path (the layout Emscripten's IDBFS
// used, so a game kept by an earlier build is found again); an append to a
// file (the log) is a record of its own beside it, a chunk, so that it
// writes only the new bytes however long the log has grown. Every call to
// the browser's storage ends within a bounded time: a store that fails,
// refuses or never answers is a failed save, never a game that hangs.
import { joined as concat } from './zip.js';

export const folder = '/data';
export const fileMode = 0o100666;
// Far above what a working store takes (a write commits in about 10 ms),
// with room for a machine that is busy.
export const openLimit = 8000;
export const writeLimit = 8000;
// A file with more chunks than this is written whole again, once, when a
// game starts, so that reading the store stays quick.
export const mostChunks = 200;

// A chunk's key: apart from the files' keys (an earlier build, which reads
// every key under /data/, passes them by), and in order of appending.
const chunkPrefix = 'quillvane-chunk:';
export function chunkKey(path, n) {
  return `${chunkPrefix}${path}:${String(n).padStart(12, '0')}`;
}
// The range of keys that holds every chunk of a path.
export function chunkRange(path) {
  return [`${chunkPrefix}${path}:`, `${chunkPrefix}${path}:\uffff`];
}
export function parseChunkKey(key) {
  const match = /^quillvane-chunk:(.*):(\d{12})$/.exec(key);
  return match ? { path: match[1], n: Number(match[2]) } : null;
}

export const record = (bytes) => ({ timestamp: new Date(), mode: fileMode, contents: bytes });

// The files the store's records make ([key, value] pairs in key order):
// each file of the data folder (none in a folder below it) with its chunks
// appended in order, and for each file the number its next chunk takes and
// how many it has.
export function assemble(entries) {
  const bases = new Map();
  const chunks = new Map();
  for (const [key, value] of entries) {
    if (!value || !value.contents) continue;
    const chunk = parseChunkKey(String(key));
    if (chunk) {
      if (!chunks.has(chunk.path)) chunks.set(chunk.path, []);
      chunks.get(chunk.path).push({ n: chunk.n, bytes: new Uint8Array(value.contents) });
      continue;
    }
    const path = String(key);
    if (!path.startsWith(`${folder}/`) || path.slice(folder.length + 1).includes('/')) continue;
    bases.set(path, new Uint8Array(value.contents));
  }
  const files = new Map();
  const next = new Map();
  const counts = new Map();
  for (const path of new Set([...bases.keys(), ...chunks.keys()])) {
    const parts = (chunks.get(path) || []).sort((a, b) => a.n - b.n);
    files.set(path, concat([bases.get(path) || new Uint8Array(0), ...parts.map((part) => part.bytes)]));
    next.set(path, parts.length ? parts[parts.length - 1].n + 1 : 1);
    counts.set(path, parts.length);
  }
  return { files, next, counts };
}

// Settles with the promise, or fails after ms: a storage API that never
// answers fails the operation instead of stopping the game.
export function within(ms, what, promise, clock = globalThis) {
  let timer = 0;
  const late = new Promise((resolve, reject) => {
    timer = clock.setTimeout(() => reject(new Error(`${what} did not answer`)), ms);
  });
  return Promise.race([promise, late]).finally(() => clock.clearTimeout(timer));
}

// The files of the data folder in a store. backend: { open(), readAll() ->
// [key, value] pairs, write(operations) resolving once committed, close() }
// where an operation is { put: [key, value] }, { remove: key } or
// { removeRange: [lower, upper] }.
export class FileStore {
  constructor(backend, { clock = globalThis, now = () => performance.now() } = {}) {
    this.backend = backend;
    this.clock = clock;
    this.now = now;
    this.open = false;       // storage is usable
    this.problem = '';       // why it is not
    this.hidden = false;     // the page is being hidden: writes are sent, not waited on
    this.lateFailure = false;  // a write sent while hidden failed afterwards
    this.next = new Map();   // each file's next chunk number
    this.waiting = new Set();  // writes the game waits on, by their settle functions
    // Each write kept: its files and when it was sent and committed
    // (performance.now), the last 50, for the tests' and benchmark's figures.
    this.kept = [];
  }

  // Opens the store and tries a small write (a browser with a quota too
  // small for anything refuses it). Resolves to the files it holds, or null
  // when it cannot be used.
  async start() {
    try {
      await within(openLimit, 'IndexedDB', this.backend.open(), this.clock);
      await within(writeLimit, 'IndexedDB', this.backend.write([
        { put: ['quillvane-probe', record(new Uint8Array(1))] }, { remove: 'quillvane-probe' }]),
      this.clock);
      const files = await this.read();
      this.open = true;
      this.problem = '';
      return files;
    } catch (error) {
      this.backend.close();
      this.open = false;
      this.problem = error && error.message ? error.message : String(error);
      return null;
    }
  }

  // Every file the store holds, by its path. A file grown by many appends
  // is written whole again, and its chunks go (in one transaction; left as
  // they were if that fails).
  async read() {
    const { files, next, counts } = assemble(
      await within(writeLimit, 'IndexedDB', this.backend.readAll(), this.clock));
    this.next = next;
    for (const [path, count] of counts) {
      if (count <= mostChunks) continue;
      try {
        await within(writeLimit, 'IndexedDB', this.backend.write([
          { put: [path, record(files.get(path))] }, { removeRange: chunkRange(path) }]), this.clock);
        this.next.set(path, 1);
      } catch (error) { /* the chunks stay, and are read as before */ }
    }
    return files;
  }

  // Keeps whole files (paths in the data folder), as read(path) gives them
  // now (null: gone, removed from the store too), in one transaction.
  keep(paths, read) {
    const operations = [];
    for (const path of paths) {
      const bytes = read(path);
      operations.push(bytes ? { put: [path, record(bytes)] } : { remove: path },
                      { removeRange: chunkRange(path) });
      this.next.set(path, 1);
    }
    return this.send(paths, operations);
  }

  // Keeps bytes appended to a file: only they are written, as its next chunk.
  append(path, bytes) {
    const n = this.next.get(path) || 1;
    this.next.set(path, n + 1);
    return this.send([path], [{ put: [chunkKey(path, n), record(bytes)] }]);
  }

  // Resolves to true once the browser has the write, false when it refused
  // it or did not answer in time. While the page is being hidden the write
  // is sent and counts as done at once: a closing tab gives no time to wait.
  send(paths, operations) {
    if (!this.open) return Promise.resolve(false);
    // A write sent while the page was hidden failed: this one counts as
    // failed too, so that the game tells the player.
    const failedBefore = this.lateFailure;
    this.lateFailure = false;
    const sent = this.now();
    let writing;
    try {
      writing = this.backend.write(operations);
    } catch (error) {
      return Promise.resolve(false);
    }
    const kept = within(writeLimit, 'IndexedDB', writing, this.clock).then(() => {
      this.kept.push({ paths, sent, done: this.now() });
      if (this.kept.length > 50) this.kept.shift();
      return !failedBefore;
    }, () => {
      if (this.hidden) this.lateFailure = true;
      return false;
    });
    if (this.hidden) return Promise.resolve(true);
    return new Promise((resolve) => {
      this.waiting.add(resolve);
      kept.then((ok) => {
        this.waiting.delete(resolve);
        resolve(ok);
      });
    });
  }

  // The page is being hidden (or shown again): writes stop being waited on.
  setHidden(hidden) {
    this.hidden = hidden;
    if (!hidden) return;
    for (const resolve of this.waiting) resolve(true);
    this.waiting.clear();
  }
}

// The store in IndexedDB: the database and object store the page has always
// used, one transaction per write, committed at once.
export function indexedDbBackend(indexedDB, { name = '/data', version = 21, store = 'FILE_DATA' } = {}) {
  let database = null;
  function transact(mode, work) {
    return new Promise((resolve, reject) => {
      const transaction = database.transaction([store], mode);
      const result = work(transaction.objectStore(store));
      transaction.oncomplete = () => resolve(result);
      transaction.onabort = () => reject(transaction.error || new Error('the write was aborted'));
      transaction.onerror = () => {};
      // Committed now, not when the page next returns to its event loop: a
      // tab that is closing may not get that far.
      if (mode === 'readwrite' && transaction.commit) transaction.commit();
    });
  }
  return {
    open() {
      const opening = new Promise((resolve, reject) => {
        if (!indexedDB) throw new Error('this browser has no IndexedDB');
        const request = indexedDB.open(name, version);
        request.onupgradeneeded = () => {
          const db = request.result;
          const files = db.objectStoreNames.contains(store)
            ? request.transaction.objectStore(store) : db.createObjectStore(store);
          if (!files.indexNames.contains('timestamp'))
            files.createIndex('timestamp', 'timestamp', { unique: false });
        };
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error || new Error('IndexedDB refused'));
      });
      // An answer that comes after the time limit is closed unused.
      return opening.then((db) => {
        if (database === 'closed') db.close();
        else database = db;
      });
    },
    readAll() {
      return transact('readonly', (files) => {
        const found = [];
        files.openCursor().onsuccess = (event) => {
          const cursor = event.target.result;
          if (!cursor) return;
          found.push([cursor.key, cursor.value]);
          cursor.continue();
        };
        return found;
      });
    },
    write(operations) {
      return transact('readwrite', (files) => {
        for (const operation of operations) {
          if (operation.put) files.put(operation.put[1], operation.put[0]);
          else if (operation.remove) files.delete(operation.remove);
          else files.delete(IDBKeyRange.bound(...operation.removeRange));
        }
      });
    },
    close() {
      if (database && database !== 'closed') database.close();
      database = 'closed';
    },
  };
}
