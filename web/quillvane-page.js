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
  let persisting = Promise.resolve();
  const loadingMessage = 'Loading the game…';
  let storageWarning = '';

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
  function post(event) {
    queue.push(event);
    if (wake) {
      clearTimeout(wakeTimer);
      const resume = wake;
      wake = null;
      resume();
    }
  }
  // A translated key ({ keycode, shift }) for the game, from a keydown or
  // from a control that stands for the key (touch.js).
  page.postKey = (key) => post(key.shift * 256 + key.keycode);
  // A tap on the list's line for entry n (touch.js); the game ignores a
  // line with no entry.
  page.selectEntry = (entry) => post(65536 + entry);
  function onKeyDown(event) {
    const key = QuillvaneKeys.translateKey(event);
    if (!key) return;
    if (key.prevent) event.preventDefault();
    page.postKey(key);
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
  // The list is laid out in the units of the canvas at its default size,
  // 520 wide (platform/item_layout.h); a canvas sized in device pixels
  // (touch.js) scales them. The line step and the scroll map a tap to a line.
  page.listWidth = 520;
  page.lineStep = 15;
  page.listScroll = () => scroll;
  // Drawn again at the next frame (a canvas resized by touch.js).
  page.redraw = () => page.drawEnd();
  function render() {
    frameRequested = false;
    const canvas = $('items');
    const context = canvas.getContext('2d');
    const lineHeight = page.lineStep;
    const scale = canvas.width / page.listWidth;
    const viewHeight = canvas.height / scale;
    context.setTransform(scale, 0, 0, scale, 0, 0);
    // Scroll only as far as needed to keep the selection (the "[") in view.
    const marker = lines.find((line) => line.x === 10);
    if (marker) {
      if (marker.y < scroll + lineHeight) scroll = Math.max(0, marker.y - lineHeight);
      if (marker.y + lineHeight * 2 > scroll + viewHeight)
        scroll = marker.y + lineHeight * 2 - viewHeight;
    }
    const bottom = lines.reduce((most, line) => Math.max(most, line.y), 0);
    scroll = Math.max(0, Math.min(scroll, bottom + lineHeight * 2 - viewHeight));
    context.fillStyle = '#fff';
    context.fillRect(0, 0, page.listWidth, viewHeight);
    context.font = 'bold 13px "DejaVu Sans", sans-serif';
    context.textBaseline = 'top';
    for (const line of lines) {
      // Only the lines in view: a cheat inventory may hold thousands.
      if (line.y + lineHeight < scroll || line.y > scroll + viewHeight) continue;
      context.fillStyle = line.colour;
      context.fillText(line.text, line.x, line.y - scroll);
    }
  }

  // ---- files: IndexedDB behind the game's data folder ----
  page.persist = () => {
    persisting = persisting.then(() => new Promise((resolve) => {
      try {
        FS.syncfs(false, (error) => resolve(!error));
      } catch (error) {
        resolve(false);
      }
    }));
    return persisting;
  };
  function mountFiles() {
    FS.mkdir('/data');
    FS.mount(IDBFS, {}, '/data');
    addRunDependency('quillvane-files');
    FS.syncfs(true, (error) => {
      if (error) {
        storageWarning = 'This browser will not keep your game: saves will fail.';
        page.status(storageWarning);
      }
      removeRunDependency('quillvane-files');
    });
  }
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
    for (const name of ['progress.ini', 'achievements.ini']) {
      const bytes = readIfThere(`/data/${name}`);
      if (bytes) files.push({ name, bytes });
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
  // stored is touched; a damaged one is refused and nothing changes.
  async function loadFiles(chosen) {
    if (!ready) return page.status('The game is still loading. Try again in a moment.');
    const found = new Map();
    try {
      for (const file of chosen) {
        const bytes = new Uint8Array(await file.arrayBuffer());
        if (/\.zip$/i.test(file.name)) {
          for (const [name, data] of await QuillvaneZip.readZip(bytes)) {
            const base = name.replace(/^.*\//, '');
            if (base === 'progress.ini' || base === 'achievements.ini') found.set(base, data);
          }
        } else if (file.name === 'progress.ini' || file.name === 'achievements.ini') {
          found.set(file.name, bytes);
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
    if (!(await page.persist())) {
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
  function start() {
    if (started) return;
    if (!ready) {
      startWanted = true;
      return page.status(`${storageWarning} ${loadingMessage}`.trim());
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
    $('controls').hidden = false;
    $('start').hidden = true;
    game.focus();
    if ($('status').textContent.includes(loadingMessage)) page.status(storageWarning);
    Module.ccall('quillvane_web_start', null, [], [], { async: true });
  }
  page.gameEnded = () => {
    $('game').hidden = true;
    $('controls').hidden = true;
    page.status('The game has ended. Reload the page to play again.');
  };
  page.ready = () => {
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
  page.mountFiles = mountFiles;
  return page;
})();

// The wasm is compiled as it arrives (index.html asked for it first), and
// the saved files are read from IndexedDB meanwhile.
var Module = {
  preInit: [QuillvanePage.mountFiles],
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
