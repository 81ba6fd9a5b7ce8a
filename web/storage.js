// The player's files in the browser: the game's data folder (/data in the
// game's memory) kept in IndexedDB, one record per file, written the moment
// the game writes it. Every call to the browser's storage ends within a
// bounded time: a store that fails, refuses or never answers is a failed
// save, never a game that hangs. One tab at a time plays (a Web Lock, else
// a lease in localStorage), and a page being hidden hurries the move in
// progress so that its saves are sent before the tab can go.
'use strict';

const QuillvaneStorage = (() => {
  const storage = {};
  const folder = '/data';
  // The records keep the layout earlier builds of the page stored through
  // Emscripten's IDBFS, so a game kept by one of them is found again.
  const databaseName = '/data';
  const databaseVersion = 21;
  const storeName = 'FILE_DATA';
  const fileMode = 0o100666;
  // Time limits: far above what a working store takes (a write commits in
  // about 10 ms), with room for a machine that is busy.
  const openLimit = 8000;
  const writeLimit = 8000;
  const lockName = 'quillvane-game';
  const lockedOut = 'Quillvane is already running in another tab.';
  const wontKeep = 'This browser will not keep your game.';

  let database = null;    // the open database, or null: storage is not usable
  let problem = '';       // why storage is not usable
  let started = false;    // this tab's game is running
  let warned = false;     // the player was told the browser will not keep the game
  let hidden = false;     // the page is being hidden: writes are sent, not waited on
  let lateFailure = false;  // a write sent while hidden failed afterwards
  let persistAsked = false;
  let readAtLoad = null;  // the files read at load time, until the game's memory exists
  const waiting = new Set();  // writes the game is waiting on, by their settle functions
  storage.persistAnswer = '';
  // Each write kept: its files and when it was sent and committed
  // (performance.now), the last 50, for the tests' and benchmark's figures.
  storage.kept = [];

  // Settles with the promise, or fails after ms: a storage API that never
  // answers fails the operation instead of stopping the game.
  function within(ms, what, promise) {
    let timer = 0;
    const late = new Promise((resolve, reject) => {
      timer = setTimeout(() => reject(new Error(`${what} did not answer`)), ms);
    });
    return Promise.race([promise, late]).finally(() => clearTimeout(timer));
  }

  function openDatabase() {
    const opening = new Promise((resolve, reject) => {
      if (!window.indexedDB) throw new Error('this browser has no IndexedDB');
      const request = indexedDB.open(databaseName, databaseVersion);
      request.onupgradeneeded = () => {
        const db = request.result;
        const store = db.objectStoreNames.contains(storeName)
          ? request.transaction.objectStore(storeName)
          : db.createObjectStore(storeName);
        if (!store.indexNames.contains('timestamp'))
          store.createIndex('timestamp', 'timestamp', { unique: false });
      };
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error || new Error('IndexedDB refused'));
    });
    return within(openLimit, 'IndexedDB', opening).catch((error) => {
      // An answer that comes after the time limit is closed unused.
      opening.then((db) => db.close(), () => {});
      throw error;
    });
  }

  // One transaction over the file store; resolves once it is committed.
  function transact(mode, work) {
    return new Promise((resolve, reject) => {
      const transaction = database.transaction([storeName], mode);
      const result = work(transaction.objectStore(storeName));
      transaction.oncomplete = () => resolve(result);
      transaction.onabort = () => reject(transaction.error || new Error('the write was aborted'));
      transaction.onerror = () => {};
      // Committed now, not when the page next returns to its event loop:
      // a tab that is closing may not get that far.
      if (mode === 'readwrite' && transaction.commit) transaction.commit();
    });
  }

  const record = (bytes) => ({ timestamp: new Date(), mode: fileMode, contents: bytes });

  // Opens the store, tries a small write (a browser with a quota too small
  // for anything refuses it) and reads every file into the data folder.
  async function open() {
    try {
      database = await openDatabase();
      await within(writeLimit, 'IndexedDB', transact('readwrite', (store) => {
        store.put(record(new Uint8Array(1)), 'quillvane-probe');
        store.delete('quillvane-probe');
      }));
      readAtLoad = await readStore();
      problem = '';
    } catch (error) {
      if (database) database.close();
      database = null;
      problem = error && error.message ? error.message : String(error);
      console.warn(`Quillvane: the browser's storage cannot be used: ${problem}`);
    }
  }

  // Every file the store holds, by its path in the data folder.
  function readStore() {
    return within(writeLimit, 'IndexedDB', transact('readonly', (store) => {
      const found = new Map();
      store.openCursor().onsuccess = (event) => {
        const cursor = event.target.result;
        if (!cursor) return;
        const key = String(cursor.key);
        if (key.startsWith(`${folder}/`) && cursor.value && cursor.value.contents)
          found.set(key, cursor.value.contents);
        cursor.continue();
      };
      return found;
    }));
  }
  // The data folder becomes what the store held. Only once the game's
  // memory exists: files written before it are lost.
  function fillFolder(files) {
    for (const name of FS.readdir(folder))
      if (name !== '.' && name !== '..') FS.unlink(`${folder}/${name}`);
    for (const [path, contents] of files) {
      if (path.slice(folder.length + 1).includes('/')) continue;
      FS.writeFile(path, new Uint8Array(contents));
    }
  }

  // Called by the page before the game's runtime starts: the data folder
  // is filled from the store first.
  storage.mount = () => {
    FS.mkdir(folder);
    addRunDependency('quillvane-files');
    open().then(() => removeRunDependency('quillvane-files'));
  };
  // The runtime is ready: the files read at load time go into the folder.
  storage.fill = () => {
    if (readAtLoad) fillFolder(readAtLoad);
    readAtLoad = null;
  };
  storage.usable = () => database !== null;
  storage.problem = () => problem;

  // Keeps the files named (paths in the data folder) in the store, as they
  // now are in the game's memory, in one transaction. Resolves to true once
  // the browser has them, false when it refused them or did not answer in
  // time. While the page is being hidden the writes are sent and the game
  // goes on without waiting: a closing tab gives no time to wait.
  storage.keep = (paths) => {
    if (!database) return Promise.resolve(false);
    // A write sent while the page was hidden failed: this one counts as
    // failed too, so that the game tells the player.
    const failedBefore = lateFailure;
    lateFailure = false;
    const begun = performance.now();
    let writing;
    try {
      writing = transact('readwrite', (store) => {
        for (const path of paths) {
          let bytes = null;
          try {
            bytes = FS.readFile(path);
          } catch (error) { /* gone: removed from the store too */ }
          if (bytes) store.put(record(bytes), path);
          else store.delete(path);
        }
      });
    } catch (error) {
      return Promise.resolve(false);
    }
    const kept = within(writeLimit, 'IndexedDB', writing).then(() => {
      storage.kept.push({ paths, sent: begun, done: performance.now() });
      if (storage.kept.length > 50) storage.kept.shift();
      askToPersist();
      return !failedBefore;
    }, () => {
      if (hidden) lateFailure = true;
      return false;
    });
    if (hidden) return Promise.resolve(true);
    return new Promise((resolve) => {
      waiting.add(resolve);
      kept.then((ok) => {
        waiting.delete(resolve);
        resolve(ok);
      });
    });
  };

  // The browser may clear a site's storage when space runs short unless it
  // agrees to keep it: asked once, after the game's first save, and said.
  function askToPersist() {
    if (persistAsked || !started) return;
    persistAsked = true;
    if (!navigator.storage || !navigator.storage.persist) {
      storage.persistAnswer = 'unavailable';
      return;
    }
    navigator.storage.persist().then((granted) => {
      storage.persistAnswer = granted ? 'granted' : 'refused';
      QuillvanePage.status(granted
        ? 'This browser has agreed to keep your game.'
        : 'This browser may clear your game if it runs short of space: use Save my files now and then.');
    }, () => { storage.persistAnswer = 'failed'; });
  }

  // ---- one game per browser ----
  let releaseLock = null;
  const leaseKey = 'quillvane-lease';
  const leaseId = `${Date.now()}-${Math.random()}`;
  let leaseTimer = 0;

  function readLease() {
    try {
      return JSON.parse(localStorage.getItem(leaseKey) || 'null');
    } catch (error) {
      return null;
    }
  }
  // Without Web Locks: a lease in localStorage, renewed every 2 s while the
  // game runs and handed back when the page goes; a lease not renewed for
  // 6 s belongs to a tab that has gone.
  function takeLease() {
    try {
      const lease = readLease();
      if (lease && lease.id !== leaseId && lease.until > Date.now()) return false;
      const renew = () => localStorage.setItem(leaseKey,
                                               JSON.stringify({ id: leaseId, until: Date.now() + 6000 }));
      renew();
      leaseTimer = setInterval(renew, 2000);
      releaseLock = () => {
        clearInterval(leaseTimer);
        const held = readLease();
        if (held && held.id === leaseId) localStorage.removeItem(leaseKey);
      };
      return true;
    } catch (error) {
      return true;  // no localStorage either: nothing to share a game through
    }
  }

  // Resolves to true when this tab may play: it then holds the lock until
  // its game ends or the tab goes.
  storage.claim = () => {
    if (!navigator.locks || !navigator.locks.request) return Promise.resolve(takeLease());
    return new Promise((resolve) => {
      navigator.locks.request(lockName, { ifAvailable: true }, (lock) => {
        if (!lock) {
          resolve(false);
          return undefined;
        }
        resolve(true);
        return new Promise((release) => { releaseLock = release; });
      }).catch(() => resolve(true));
    });
  };
  // Whether another tab is playing now (the Load files button asks).
  storage.playingElsewhere = async () => {
    if (started) return false;
    if (navigator.locks && navigator.locks.query) {
      try {
        const state = await navigator.locks.query();
        return state.held.some((lock) => lock.name === lockName);
      } catch (error) {
        return false;
      }
    }
    const lease = readLease();
    return Boolean(lease && lease.id !== leaseId && lease.until > Date.now());
  };
  storage.lockedOut = lockedOut;

  // Start pressed: resolves to true once this tab holds the game and its
  // data folder holds what the store has now (another tab may have played
  // since the page was loaded).
  storage.begin = async () => {
    if (!(await storage.claim())) return false;
    if (database) {
      try {
        fillFolder(await readStore());
      } catch (error) { /* the copy read at load time stays */ }
    }
    started = true;
    return true;
  };
  storage.end = () => {
    started = false;
    if (releaseLock) releaseLock();
    releaseLock = null;
  };

  // The game waits for its first key: a player without usable storage is
  // told, once, after the welcome line.
  storage.gameWaiting = () => {
    if (warned || database) return;
    warned = true;
    QuillvanePage.announce(wontKeep);
    QuillvanePage.status(wontKeep);
  };

  // The page is being hidden or left: the game finishes the move in
  // progress at once (its saves go out now), and writes stop being waited on.
  function hiding() {
    hidden = true;
    for (const resolve of waiting) resolve(true);
    waiting.clear();
    if (started) QuillvanePage.hurry();
  }
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') hiding();
    else hidden = false;
  });
  // A page left for good then hands the game over (a reload's new page may
  // press Start before the old one is gone). The hurried move's writes were
  // sent first, and IndexedDB serves them before any later reader's.
  addEventListener('pagehide', (event) => {
    hiding();
    if (event.persisted || !releaseLock) return;
    releaseLock();
    releaseLock = null;
  });
  addEventListener('pageshow', () => { hidden = document.visibilityState === 'hidden'; });

  // The site's files, kept for play without a network (service-worker.js).
  if ('serviceWorker' in navigator && location.protocol !== 'file:')
    navigator.serviceWorker.register('service-worker.js').catch(() => {});

  return storage;
})();
