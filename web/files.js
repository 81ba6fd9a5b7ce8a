// The files section: "Save my files" downloads the game's files in a zip
// (progress.ini, achievements.ini, settings.ini and log.txt, dated with the
// files' times); "Load files" takes progress.ini, achievements.ini and
// settings.ini (the comforts and the language kept), chosen alone or in a
// zip, checks them with the game's own readers and only then stores them.
// As the game reads them, only their first lines count (43 of progress.ini,
// 2236 of achievements.ini, 3 of settings.ini), none longer than 4 kB: so only
// that much of a file is ever read (a slice of the file, the first bytes of
// a zip entry as it is unpacked), whatever follows, and what is kept is
// those lines, as the game's next save would write them.
import { makeZip, readZip, entryName } from './zip.js';
import { say, joined } from './texts.js';
import { folder } from './storage.js';

// A line of at most 4 kB and its CR LF.
export const longestLine = 4096 + 2;
export const linesUsed = { 'progress.ini': 43, 'achievements.ini': 2236, 'settings.ini': 3 };
export const loadedNames = Object.keys(linesUsed);
export const savedNames = [...loadedNames, 'log.txt'];

// How many bytes of a file named so are read: 0 for a file not loaded.
export function readLimit(name) {
  return (linesUsed[name] || 0) * longestLine;
}

// The bytes up to and including the n-th line end (LF), or all of them.
export function firstLines(bytes, n) {
  let seen = 0;
  for (let i = 0; i < bytes.length; i++) {
    if (bytes[i] === 10 && ++seen === n) return bytes.subarray(0, i + 1);
  }
  return bytes;
}

// The files a player chose (File objects): the loaded ones by name, each
// read only as far as it counts. Throws an Error whose code names the
// problem (texts.js) for a zip that cannot be read.
export async function chosenFiles(chosen) {
  const found = new Map();
  for (const file of chosen) {
    if (/\.zip$/i.test(file.name)) {
      for (const [name, bytes] of await readZip(file, (entry) => readLimit(entryName(entry))))
        found.set(entryName(name), bytes);
    } else if (readLimit(file.name)) {
      try {
        found.set(file.name, new Uint8Array(await file.slice(0, readLimit(file.name)).arrayBuffer()));
      } catch (error) {
        const unreadable = new Error(file.name);
        unreadable.code = 'unreadable';
        throw unreadable;
      }
    }
  }
  return found;
}

export class FilesSection {
  // game: the game bridge; store: the file store; lock: the tab lock;
  // status(text): the status line; started(): the game runs; restart(text):
  // the page reloads to play the loaded files, carrying text; loaded():
  // files were stored while no game runs (settings.ini may name a language).
  constructor({ game, store, lock, status, started, restart, window, loaded = () => {} }) {
    Object.assign(this, { game, store, lock, status, started, restart, window, loaded });
  }

  save() {
    if (!this.game.ready) return this.status(say('stillLoading'));
    const files = [];
    for (const name of savedNames) {
      const path = `${folder}/${name}`;
      const bytes = this.game.readFile(path);
      if (bytes) files.push({ name, bytes, date: this.game.fileDate(path) });
    }
    if (!files.length) return this.status(say('noFilesYet'));
    const document = this.window.document;
    const link = document.createElement('a');
    link.href = this.window.URL.createObjectURL(new Blob([makeZip(files)], { type: 'application/zip' }));
    link.download = 'quillvane-files.zip';
    document.body.appendChild(link);
    link.click();
    link.remove();
    return this.status(say('saved', joined(files.map((file) => file.name))));
  }

  // The chosen files go through the game's own readers before anything
  // stored is touched; a damaged one is refused and nothing changes.
  async load(chosen) {
    if (!this.game.ready) return this.status(say('stillLoading'));
    if (await this.lock.elsewhere()) return this.status(say('lockedOut'));
    let found;
    try {
      found = await chosenFiles(chosen);
    } catch (error) {
      const reason = error.code === 'unreadable' ? say('unreadable', error.message)
        : say(error.code || 'damagedZip');
      return this.status(say('notLoaded', reason));
    }
    if (!found.size) return this.status(say('chooseFiles'));
    const problem = this.game.check(found);
    if (problem) return this.status(say('notLoaded', say('damaged', problem)));
    const paths = [...found.keys()].map((name) => `${folder}/${name}`);
    const before = new Map(paths.map((path) => [path, this.game.readFile(path)]));
    for (const [name, bytes] of found) this.game.writeFile(`${folder}/${name}`, firstLines(bytes, linesUsed[name]));
    if (!(await this.store.keep(paths, (path) => this.game.readFile(path)))) {
      for (const [path, bytes] of before) this.game.writeFile(path, bytes);
      return this.status(say('refusedToKeep'));
    }
    const message = say('loaded', joined([...found.keys()]));
    // A game in play would save over them: the page starts afresh from them.
    if (this.started()) return this.restart(message);
    this.status(message);
    return this.loaded();
  }
}
