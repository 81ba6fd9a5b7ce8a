// The page around the game: the Start button, the keys, speech (the
// browser's voice, or the live regions a screen reader reads), the cues,
// the item list's canvas and the player's files. The game calls in through
// QuillvanePage; the page calls the game through Module.
'use strict';

const QuillvanePage = (() => {
  const cueNames = ['SAPI', 'NVDA', 'WE', 'JAWS', 'dink', 'success', 'achievement', 'record',
                    'rule', 'fail', 'magic', 'restart'];
  const page = {};
  const queue = [];
  let wake = null;
  let wakeTimer = 0;
  let ready = false;
  let startWanted = false;
  let started = false;
  let audio = null;
  const cueBytes = new Map();
  const cues = new Map();
  let playing = null;
  let useSecondRegion = false;
  let lines = [];
  let scroll = 0;
  let starting = false;
  const loadingMessage = 'Loading the game…';

  const $ = (id) => document.getElementById(id);
  const say = () => [$('say-a'), $('say-b')];
  page.status = (text) => { $('status').textContent = text; };

  // ---- waiting and events ----
  page.waitForEvent = (ms) => new Promise((resolve) => {
    if (queue.length) return resolve();
    wake = resolve;
    wakeTimer = setTimeout(() => {
      wake = null;
      resolve();
    }, Math.min(ms, 2147483647));
  });
  page.takeEvent = () => (queue.length ? queue.shift() : -1);
  // The page is being hidden: the game hurries the move in progress.
  const hurryEvent = 1 << 16;
  page.hurry = () => post(hurryEvent);
  // The game waits for a key with nothing in progress.
  page.gameWaiting = () => QuillvaneStorage.gameWaiting();
  function post(event) {
    queue.push(event);
    if (wake) {
      clearTimeout(wakeTimer);
      const resume = wake;
      wake = null;
      resume();
    }
  }
  function onKeyDown(event) {
    const key = QuillvaneKeys.translateKey(event);
    if (!key) return;
    if (key.prevent) event.preventDefault();
    post(key.shift * 256 + key.keycode);
  }

  // ---- speech ----
  page.hasVoice = () => 'speechSynthesis' in window;
  page.speak = (text, rate, volume) => {
    try {
      speechSynthesis.cancel();
      const utterance = new SpeechSynthesisUtterance(text);
      utterance.rate = rate;
      utterance.volume = volume;
      speechSynthesis.speak(utterance);
    } catch (error) {
      console.warn('speech failed', error);
    }
  };
  // Two regions take turns, so that a line said twice is still a change
  // the screen reader announces; the other one is emptied.
  page.announce = (text) => {
    const [first, second] = say();
    const target = useSecondRegion ? second : first;
    (useSecondRegion ? first : second).textContent = '';
    target.textContent = text;
    useSecondRegion = !useSecondRegion;
  };
  page.setTitle = (text) => { document.title = text; };
  // Ctrl alone: what the browser's voice is saying stops.
  page.stopSpeech = () => {
    try { speechSynthesis.cancel(); } catch (error) { /* no voice */ }
  };

  // ---- cues: decoded once, one at a time, a new one cuts the old ----
  function fetchCues() {
    for (const name of cueNames) {
      fetch(`sounds/${name}.wav`)
        .then((response) => (response.ok ? response.arrayBuffer() : null))
        .then((bytes) => {
          if (!bytes) return;
          cueBytes.set(name, bytes);
          if (audio) decodeCue(name);
        })
        .catch(() => {});
    }
  }
  function decodeCue(name) {
    const bytes = cueBytes.get(name);
    if (!bytes || cues.has(name)) return;
    cues.set(name, null);
    audio.decodeAudioData(bytes.slice(0)).then((buffer) => cues.set(name, buffer), () => {});
  }
  // The cue volume (F12), as a gain from 0 to 1 for the cues to come.
  let cueGain = 1;
  page.setCueVolume = (percent) => { cueGain = Math.min(Math.max(percent, 0), 100) / 100; };
  page.playCue = (path) => {
    const name = path.replace(/^.*[/\\]/, '').replace(/\.wav$/i, '');
    const buffer = cues.get(name);
    if (playing) {
      try { playing.stop(); } catch (error) { /* already ended */ }
    }
    if (!audio || !buffer || cueGain === 0) return;
    const source = audio.createBufferSource();
    source.buffer = buffer;
    const gain = audio.createGain();
    gain.gain.value = cueGain;
    source.connect(gain);
    gain.connect(audio.destination);
    source.onended = () => { if (playing === source) playing = null; };
    source.start();
    playing = source;
  };

  // ---- the item list, drawn for sighted helpers; screen readers skip it ----
  page.drawBegin = () => { lines = []; };
  page.drawLine = (x, y, text, red, green, blue) => {
    lines.push({ x, y, text, colour: `rgb(${red},${green},${blue})` });
  };
  // Drawn at the next frame, after the line that goes with it is spoken.
  let frameRequested = false;
  page.drawEnd = () => {
    if (frameRequested) return;
    frameRequested = true;
    requestAnimationFrame(render);
  };
  function render() {
    frameRequested = false;
    const canvas = $('items');
    const context = canvas.getContext('2d');
    const lineHeight = 15;
    // Scroll only as far as needed to keep the selection (the "[") in view.
    const marker = lines.find((line) => line.x === 10);
    if (marker) {
      if (marker.y < scroll + lineHeight) scroll = Math.max(0, marker.y - lineHeight);
      if (marker.y + lineHeight * 2 > scroll + canvas.height)
        scroll = marker.y + lineHeight * 2 - canvas.height;
    }
    const bottom = lines.reduce((most, line) => Math.max(most, line.y), 0);
    scroll = Math.max(0, Math.min(scroll, bottom + lineHeight * 2 - canvas.height));
    context.fillStyle = '#fff';
    context.fillRect(0, 0, canvas.width, canvas.height);
    context.font = 'bold 13px "DejaVu Sans", sans-serif';
    context.textBaseline = 'top';
    for (const line of lines) {
      // Only the lines in view: a cheat inventory may hold thousands.
      if (line.y + lineHeight < scroll || line.y > scroll + canvas.height) continue;
      context.fillStyle = line.colour;
      context.fillText(line.text, line.x, line.y - scroll);
    }
  }

  // ---- files: the data folder, kept in IndexedDB by storage.js ----
  const savedNames = ['progress.ini', 'achievements.ini'];
  // Far above any real save: a bigger file is no saved game.
  const largestFile = 1024 * 1024;
  function readIfThere(path) {
    try {
      return FS.readFile(path);
    } catch (error) {
      return null;
    }
  }
  function saveFiles() {
    if (!ready) return page.status('The game is still loading. Try again in a moment.');
    const files = [];
    for (const name of savedNames) {
      const bytes = readIfThere(`/data/${name}`);
      if (bytes) files.push({ name, bytes, date: new Date(FS.stat(`/data/${name}`).mtime) });
    }
    if (!files.length) return page.status('There are no saved files yet: play a game first.');
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([QuillvaneZip.makeZip(files)],
                                             { type: 'application/zip' }));
    link.download = 'quillvane-files.zip';
    document.body.appendChild(link);
    link.click();
    link.remove();
    page.status(`Saved ${files.map((file) => file.name).join(' and ')} in quillvane-files.zip.`);
  }
  // The chosen files go through the game's own readers before anything
  // stored is touched; a damaged one is refused and nothing changes. Of a
  // zip only the entries named here are unpacked.
  async function loadFiles(chosen) {
    if (!ready) return page.status('The game is still loading. Try again in a moment.');
    if (await QuillvaneStorage.playingElsewhere()) return page.status(QuillvaneStorage.lockedOut);
    const found = new Map();
    const tooLarge = (name) => new Error(`${name} is too large to be a saved game`);
    try {
      for (const file of chosen) {
        if (/\.zip$/i.test(file.name)) {
          const wanted = (name) => savedNames.includes(name.replace(/^.*\//, ''));
          for (const [name, data] of await QuillvaneZip.readZip(file, wanted, largestFile))
            found.set(name.replace(/^.*\//, ''), data);
        } else if (savedNames.includes(file.name)) {
          if (file.size > largestFile) throw tooLarge(file.name);
          found.set(file.name, new Uint8Array(await file.arrayBuffer()));
        }
      }
    } catch (error) {
      return page.status(`Your files were not loaded: ${error.message}. Nothing was changed.`);
    }
    if (!found.size)
      return page.status('Choose progress.ini and achievements.ini, or the zip that Save my files made.');
    const check = '/check';
    FS.mkdirTree(check);
    for (const name of FS.readdir(check)) if (name !== '.' && name !== '..') FS.unlink(`${check}/${name}`);
    for (const [name, data] of found) FS.writeFile(`${check}/${name}`, data);
    const problem = UTF8ToString(Module._quillvane_check_files());
    if (problem) {
      return page.status(`Your files were not loaded: ${problem} appears to have been damaged. ` +
                         'Nothing was changed.');
    }
    const before = new Map();
    for (const name of found.keys()) before.set(name, readIfThere(`/data/${name}`));
    for (const [name, data] of found) FS.writeFile(`/data/${name}`, data);
    if (!(await QuillvaneStorage.keep([...found.keys()].map((name) => `/data/${name}`)))) {
      for (const [name, data] of before) {
        if (data) FS.writeFile(`/data/${name}`, data);
        else FS.unlink(`/data/${name}`);
      }
      return page.status('The browser refused to keep your files. Nothing was changed.');
    }
    const message = `Loaded ${[...found.keys()].join(' and ')}.`;
    if (!started) return page.status(`${message} Press Start Quillvane, then Continue.`);
    // A game in play would save over them: start afresh from the loaded files.
    sessionStorage.setItem('quillvane-status', `${message} Press Start Quillvane, then Continue.`);
    location.reload();
  }

  // ---- start ----
  async function start() {
    if (started || starting) return;
    if (!ready) {
      startWanted = true;
      return page.status(loadingMessage);
    }
    // One game per browser: a second tab starts nothing and writes nothing.
    starting = true;
    const mine = await QuillvaneStorage.begin();
    starting = false;
    if (!mine) {
      page.announce(QuillvaneStorage.lockedOut);
      return page.status(QuillvaneStorage.lockedOut);
    }
    started = true;
    try {
      audio = new AudioContext();
      audio.resume();
      for (const name of cueNames) decodeCue(name);
    } catch (error) {
      audio = null;
    }
    const game = $('game');
    game.hidden = false;
    $('start').hidden = true;
    game.focus();
    if ([loadingMessage, QuillvaneStorage.lockedOut].includes($('status').textContent)) page.status('');
    Module.ccall('quillvane_web_start', null, [], [], { async: true });
  }
  page.gameEnded = () => {
    QuillvaneStorage.end();
    $('game').hidden = true;
    page.status('The game has ended. Reload the page to play again.');
  };
  page.ready = () => {
    QuillvaneStorage.fill();
    ready = true;
    window.quillvaneReady = performance.now();
    $('start').dataset.ready = 'true';
    fetchCues();
    if (startWanted) start();
  };

  // The script stands at the end of the body: the page's elements are there.
  function wirePage() {
    $('start').addEventListener('click', start);
    $('game').addEventListener('keydown', onKeyDown);
    $('save').addEventListener('click', saveFiles);
    $('load').addEventListener('click', () => $('load-input').click());
    $('load-input').addEventListener('change', (event) => {
      loadFiles([...event.target.files]);
      event.target.value = '';
    });
    const carried = sessionStorage.getItem('quillvane-status');
    if (carried) {
      sessionStorage.removeItem('quillvane-status');
      page.status(carried);
    }
    $('start').focus();
  }
  wirePage();
  return page;
})();

// The wasm is compiled as it arrives (index.html asked for it first), and
// the saved files are read from IndexedDB meanwhile (storage.js).
var Module = {
  preInit: [QuillvaneStorage.mount],
  onRuntimeInitialized: QuillvanePage.ready,
  instantiateWasm(imports, receive) {
    WebAssembly.instantiateStreaming(window.quillvaneWasm, imports)
      .catch(() => fetch('quillvane.wasm', { credentials: 'same-origin' })
        .then((response) => response.arrayBuffer())
        .then((bytes) => WebAssembly.instantiate(bytes, imports)))
      .then((result) => receive(result.instance, result.module))
      .catch((error) => QuillvanePage.status(`The game could not be loaded: ${error}`));
    return {};
  },
};
