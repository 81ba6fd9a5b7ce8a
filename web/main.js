// The page: puts its texts in, makes each of its parts and wires them
// together. Each part is a module of its own with the state it owns:
//   texts.js      every text the page shows or announces
//   language.js   the page's language and the catalogs the site carries
//   lines.js      the log of lines the screen reader announces
//   events.js     the game's queue of keys, taps and hurries
//   keys.js       a keydown as the game's key
//   voice.js      the browser's voice (speech mode 0)
//   cues.js       the sound cues
//   view.js       the item list's canvas
//   touch.js      the controls for touch and a phone's screen reader
//   storage.js    the data folder kept in IndexedDB
//   lifecycle.js  one game per browser; the page hidden, shown, left
//   persist.js    asking the browser to keep the game for good
//   files.js      Save my files and Load files
//   offline.js    the offline worker and the notice of a new version
//   bridge.js     the compiled game (quillvane.js, quillvane.wasm)
// Nothing passes between them through the window; `window.quillvane` only
// lets the tests and benchmarks look in.
import createQuillvane from './quillvane.js';
import { applyTexts, say, useCatalog, textsLanguage, documentLanguage } from './texts.js';
import { spoken, browserLanguage, fetchCatalog } from './language.js';
import { LineLog, logWriter, pageClock } from './lines.js';
import { EventQueue } from './events.js';
import { translateKey } from './keys.js';
import { BrowserVoice } from './voice.js';
import { Cues } from './cues.js';
import { ItemList } from './view.js';
import { wireTouch } from './touch.js';
import { FileStore, indexedDbBackend } from './storage.js';
import { TabLock, watchLifecycle } from './lifecycle.js';
import { KeepForGood } from './persist.js';
import { FilesSection } from './files.js';
import { registerWorker } from './offline.js';
import { GameBridge } from './bridge.js';

const $ = (id) => document.getElementById(id);

// The page's language. Its texts are put in once its catalog is here: at
// first the language this browser last showed the page in (a copy of the
// player's choice, which settings.ini keeps), else the browser's own; once
// the game's files are read, settings.ini's choice.
const memory = {
  get: (key) => { try { return localStorage.getItem(key); } catch (error) { return null; } },
  set: (key, value) => { try { localStorage.setItem(key, value); } catch (error) { /* not kept */ } },
};
let pageCatalog = null;
let languageTask = Promise.resolve();
const languageChoice = $('language-choice');
const chosenLanguage = () => (languageChoice.querySelector('input:checked') || {}).value;
async function showLanguage(code) {
  const catalog = await fetchCatalog(code);
  const shown = catalog ? code : 'en';
  pageCatalog = catalog;
  useCatalog(shown, catalog);
  applyTexts(document);
  // The choice holds the languages offered (index.html lists them, each
  // named in its own language); a language the page speaks but does not
  // offer (the tests' qps) is added as its code.
  if (!languageChoice.querySelector(`input[value="${shown}"]`)) {
    const label = document.createElement('label');
    label.lang = documentLanguage(shown);
    const input = Object.assign(document.createElement('input'),
                                { type: 'radio', name: 'language', value: shown });
    label.append(input, shown);
    languageChoice.append(label);
  }
  languageChoice.querySelector(`input[value="${shown}"]`).checked = true;
  memory.set('quillvane-language', shown);
  return shown;
}
// The language last asked for: the page shows it once the tasks before it
// are done (the game's files can be read before the first catalog is here).
let wantedLanguage = '';
const showingLanguage = (code) => {
  wantedLanguage = code;
  languageTask = languageTask.then(() => showLanguage(code));
  return languageTask;
};
const firstTexts = showingLanguage(spoken(memory.get('quillvane-language') || '') ||
                                   browserLanguage(navigator.languages));

const statusLine = $('status');
const status = (text) => { statusLine.textContent = text; };
// A status carried over a reload (the page reloads to play loaded files).
const carried = sessionStorage.getItem('quillvane-status');
if (carried) {
  sessionStorage.removeItem('quillvane-status');
  status(carried);
}

// The offline worker is registered once the page has fetched what it
// needs: it then takes those files from the browser's HTTP cache, and each
// file of the site is downloaded once.
let offline = null;
const keepOffline = () => {
  if (!offline) offline = registerWorker(window, () => status(say('newVersion')));
};
const lines = new LineLog(logWriter($('lines')), pageClock);
const events = new EventQueue({ later: (fn, ms) => setTimeout(fn, ms), cancel: (t) => clearTimeout(t) });
const voice = new BrowserVoice(lines, window.speechSynthesis);
const cues = new Cues();
const list = new ItemList($('items'), $('colour-probe'), window);
const store = new FileStore(indexedDbBackend(window.indexedDB));
const lock = new TabLock(window);
const keep = new KeepForGood({
  storage: navigator.storage, permissions: navigator.permissions, memory: localStorage,
  button: $('keep'),
  tell: (answer) => status(say(answer === 'granted' ? 'persistGranted' : 'persistRefused')),
});

let started = false;
let starting = false;
let startWanted = false;
let warned = false;
let gameOver = false;

const bridge = new GameBridge({
  events, lines, voice, cues, list, store,
  saved: (path) => keep.saved(path),
  // The game waits for its first key: a player without usable storage is
  // told, once, after the welcome line.
  waiting: () => {
    if (warned || store.open) return;
    warned = true;
    lines.say(say('wontKeep'));
    status(say('wontKeep'));
  },
  ended: () => {
    lock.end();
    started = false;
    gameOver = true;
    // The lines stay for the screen reader to finish; the game area leaves
    // the tab order.
    $('items').hidden = true;
    $('controls').hidden = true;
    $('game').tabIndex = -1;
    $('back').hidden = true;
    status(say('gameEnded'));
  },
  ready: () => {
    window.quillvane.readyAt = performance.now();
    followKeptLanguage();
    $('start').dataset.ready = 'true';
    cues.fetchAll().then(keepOffline);
    if (startWanted) start();
  },
  failed: (error) => {
    status(say('notLoadedGame', error));
    keepOffline();
  },
});

// The player's choice kept in settings.ini, once the game's files are read
// (and again after Load files): the page shows it, and the game plays it.
// A code with no catalog is English here, and the game says so at Start. A
// choice made on this page before the files were read is kept instead.
let chosenBeforeReady = '';
function followKeptLanguage() {
  if (chosenBeforeReady) {
    bridge.keepLanguage(chosenBeforeReady, false);
    chosenBeforeReady = '';
    return;
  }
  const kept = bridge.keptLanguage();
  if (!kept) return;
  const code = spoken(kept) || 'en';
  if (code !== wantedLanguage) showingLanguage(code);
}

// The player's choice on the page: the page's texts change at once and the
// choice is kept in settings.ini. A game not yet started plays it from
// Start; a game being played keeps its language until the page is loaded
// again. The status line says which, in the language chosen.
languageChoice.addEventListener('change', async () => {
  const chosen = chosenLanguage();
  await showingLanguage(chosen);
  if (bridge.ready) bridge.keepLanguage(chosen, started || gameOver);
  else chosenBeforeReady = chosen;
  status(say(started || gameOver ? 'languageAtReload' : 'languageAtStart'));
});

const files = new FilesSection({
  game: bridge, store, lock, status, window, started: () => started,
  loaded: () => followKeptLanguage(),
  restart: (text) => {
    sessionStorage.setItem('quillvane-status', text);
    location.reload();
  },
});

// Start pressed: one game per browser, a second tab starts nothing and
// writes nothing; the data folder becomes what the store holds now
// (another tab may have played since the page was loaded).
async function start() {
  if (started || starting) return;
  if (!bridge.ready) {
    startWanted = true;
    status(say('loading'));
    return;
  }
  starting = true;
  const mine = await lock.claim();
  if (mine && store.open) {
    try {
      bridge.fill(await store.read());
    } catch (error) { /* the copy read at load time stays */ }
  }
  // A language being put in is the one the game plays.
  await languageTask;
  starting = false;
  if (!mine) {
    lines.say(say('lockedOut'));
    status(say('lockedOut'));
    return;
  }
  started = true;
  cues.start();
  const game = $('game');
  $('items').hidden = false;
  $('controls').hidden = false;
  game.tabIndex = 0;
  $('back').hidden = false;
  $('start').hidden = true;
  game.focus();
  list.fit();
  voice.watch();
  if ([say('loading'), say('lockedOut')].includes(statusLine.textContent)) status('');
  // The game's lines are in the page's language: screen readers speak
  // them with its voice.
  $('lines').lang = documentLanguage(textsLanguage());
  bridge.start(textsLanguage(), pageCatalog);
}

// Keys in the game area, before Start nothing.
$('game').addEventListener('keydown', (event) => {
  const key = started ? translateKey(event) : null;
  if (!key) return;
  if (key.prevent) event.preventDefault();
  events.postKey(key);
});
const sendKeydown = (keydown) => {
  const key = translateKey(keydown);
  if (key && started) events.postKey(key);
};
wireTouch({
  box: $('control-buttons'), jump: $('jump'), canvas: $('items'), list, send: sendKeydown,
  select: (entry) => { if (started) events.postSelect(entry); },
});

// The canvas follows its shown width, and the screen's density (a zoom or
// a move to another screen changes the ratio, not the size); it is drawn
// again when the colours asked for change.
new ResizeObserver(() => list.fit()).observe($('items'));
function watchRatio() {
  matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`)
    .addEventListener('change', () => {
      list.fit();
      watchRatio();
    }, { once: true });
}
watchRatio();
for (const query of ['(forced-colors: active)', '(prefers-contrast: more)'])
  matchMedia(query).addEventListener('change', () => list.redraw());

watchLifecycle(window, lock, {
  hiding: () => {
    store.setHidden(true);
    if (started) events.postHurry();
  },
  shown: () => store.setHidden(false),
});

$('start').addEventListener('click', start);
// Before the game runs, Enter or Space on the page outside any control
// presses Start: a screen reader reading the page aloud moves its caret on
// past the Start button (Orca in Firefox takes the page's focus with it),
// and the player who heard "Start Quillvane" presses Enter all the same.
document.addEventListener('keydown', (event) => {
  if (started || starting || gameOver || event.defaultPrevented || event.repeat) return;
  if (event.ctrlKey || event.altKey || event.metaKey || event.shiftKey) return;
  if (event.key !== 'Enter' && event.key !== ' ') return;
  const target = event.target;
  if (target.closest && target.closest('button, a, input, select, textarea, [role="application"], [tabindex]'))
    return;
  event.preventDefault();
  start();
});
// While the game runs, a key pressed with the focus nowhere (a braille
// display panned past the game area's line leaves it there) goes to the
// game, and the game area takes the focus back. Tab keeps moving the focus.
document.addEventListener('keydown', (event) => {
  if (!started || event.defaultPrevented) return;
  const focused = document.activeElement;
  if (focused && focused !== document.body && focused !== document.documentElement) return;
  const key = translateKey(event);
  if (!key || event.key === 'Tab') return;
  $('game').focus();
  if (key.prevent) event.preventDefault();
  events.postKey(key);
});
$('back').addEventListener('click', () => { if (started) $('game').focus(); });
$('save').addEventListener('click', () => files.save());
$('load').addEventListener('click', () => $('load-input').click());
$('load-input').addEventListener('change', (event) => {
  files.load([...event.target.files]);
  event.target.value = '';
});
// The Start button has the keyboard, with its name in the page's language.
firstTexts.then(() => $('start').focus());

// For the tests and benchmarks only.
window.quillvane = {
  lines, events, list, store, lock, keep, files, bridge, voice,
  started: () => started,
  offline: () => offline,
};

bridge.load(createQuillvane).catch((error) => status(say('notLoadedGame', error)));
