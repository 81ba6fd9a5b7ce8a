// The page around the game: the Start button, the keys, speech (the
// browser's voice, or the log of lines a screen reader announces), the cues,
// the item list's canvas and the player's files. The game calls in through
// QuillvanePage; the page calls the game through Module.
'use strict';

const QuillvanePage = (() => {
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
  let rows = [];
  let scroll = 0;
  let starting = false;
  const loadingMessage = 'Loading the game…';

  const $ = (id) => document.getElementById(id);
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
  // Events beside the keys (shift * 256 + key code), numbered as the game's
  // web front-end reads them: a hurry, and a tap on the list's entry n.
  const hurryEvent = 1 << 16;
  const selectBase = 1 << 17;
  // The page is being hidden: the game hurries the move in progress.
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
  // A translated key ({ keycode, shift }) for the game, from a keydown or
  // from a control that stands for the key (touch.js).
  page.postKey = (key) => post(key.shift * 256 + key.keycode);
  // A tap on the list's line for entry n (touch.js); the game ignores a
  // line with no entry.
  page.selectEntry = (entry) => post(selectBase + entry);
  function onKeyDown(event) {
    // Before Start the game area only holds the (empty) log of lines.
    const key = started ? QuillvaneKeys.translateKey(event) : null;
    if (!key) return;
    if (key.prevent) event.preventDefault();
    page.postKey(key);
  }

  // ---- speech ----
  // Lines for the screen reader are appended to the log #lines, one element
  // each, so that lines said in one go are all announced, in order. Each is
  // written in a task of its own, at least lineGap ms after the one before:
  // changes that came closer were merged on their way to the screen reader,
  // keeping only the last, and Orca drops the announcements it still holds
  // when a key is pressed, so a burst written at once lost its later lines
  // to the next key. A line equal to the one just written ends in a
  // no-break space, since screen readers drop an announcement equal to the
  // last one. The log keeps the last keptLines lines (removals are not
  // announced). At most waitingLines lines wait their turn: a key held down
  // says lines faster than they can be written, and the oldest waiting ones
  // go, so that the screen reader keeps up with the keys.
  const lineGap = 200;
  const keptLines = 20;
  const waitingLines = 5;
  const linesDue = [];
  let lastWritten = '';
  let lastWrittenAt = -Infinity;
  let writeTimer = 0;
  page.announce = (text) => {
    linesDue.push(text);
    if (linesDue.length > waitingLines) linesDue.shift();
    if (!writeTimer) scheduleLine();
  };
  // How many lines wait to be written (for tests and tools).
  page.linesWaiting = () => linesDue.length;
  function scheduleLine() {
    writeTimer = setTimeout(writeLine, Math.max(0, lastWrittenAt + lineGap - performance.now()));
  }
  function writeLine() {
    const log = $('lines');
    const text = linesDue.shift();
    const line = document.createElement('p');
    line.textContent = text === lastWritten ? `${text}\u00a0` : text;
    lastWritten = line.textContent;
    lastWrittenAt = performance.now();
    log.append(line);
    while (log.childElementCount > keptLines) log.firstElementChild.remove();
    writeTimer = 0;
    if (linesDue.length) scheduleLine();
  }

  // The browser's voice (mode 0). A browser with no voice (no
  // speechSynthesis, or still no voices a second after Start) sends mode 0's
  // lines to the log as well, as the desktop puts them in its title when its
  // voice is missing, and says so once; the saved speech mode stays. Until
  // that is known, mode 0's lines wait, and the voice keeps only the newest
  // (each line it says cuts off the one before anyway).
  const noVoiceLine = 'No browser voice: lines go to your screen reader.';
  let voice = 'unknown';  // until a second after Start: then 'present' or 'none'
  const linesBeforeVoice = [];
  let utteranceBeforeVoice = null;
  let noVoiceTold = false;
  function watchVoices() {
    if (!page.hasVoice()) return settleVoice(false);
    const found = () => speechSynthesis.getVoices().length > 0;
    if (found()) return settleVoice(true);
    speechSynthesis.addEventListener('voiceschanged', () => { if (found()) settleVoice(true); });
    setTimeout(() => settleVoice(found()), 1000);
  }
  function settleVoice(present) {
    if (voice !== 'unknown') return;
    voice = present ? 'present' : 'none';
    for (const text of linesBeforeVoice.splice(0)) page.voiceLine(text);
    if (utteranceBeforeVoice) page.speak(...utteranceBeforeVoice);
    utteranceBeforeVoice = null;
  }
  // Every line said in mode 0, before the voice is given it.
  page.voiceLine = (text) => {
    if (voice === 'unknown') return linesBeforeVoice.push(text);
    if (voice === 'present') return;
    page.announce(text);
    if (!noVoiceTold) page.announce(noVoiceLine);
    noVoiceTold = true;
  };
  page.hasVoice = () => 'speechSynthesis' in window;
  page.speak = (text, rate, volume) => {
    if (voice === 'unknown') utteranceBeforeVoice = [text, rate, volume];
    if (voice !== 'present') return;
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
  // Ctrl alone: what the browser's voice is saying stops.
  page.stopSpeech = () => {
    utteranceBeforeVoice = null;
    try { speechSynthesis.cancel(); } catch (error) { /* no voice */ }
  };

  // The game area has the keyboard again (the button after the files).
  function backToGame() {
    if (started) $('game').focus();
  }

  // ---- cues: decoded once, one at a time, a new one cuts the old ----
  // The build lists the cues' names in sounds/cues.json, from the one list
  // every build copies the sounds by.
  function fetchCues() {
    fetch('sounds/cues.json')
      .then((response) => (response.ok ? response.json() : []))
      .then((names) => {
        for (const name of names) {
          fetch(`sounds/${name}.wav`)
            .then((response) => (response.ok ? response.arrayBuffer() : null))
            .then((bytes) => {
              if (!bytes) return;
              cueBytes.set(name, bytes);
              if (audio) decodeCue(name);
            })
            .catch(() => {});
        }
      })
      .catch(() => {});
  }
  // A cue asked for while its sound is still on its way (fetched or being
  // decoded, just after Start) plays once it is ready, unless another cue
  // has been asked for since: a new cue cuts the old one.
  let waitingCue = null;
  function decodeCue(name) {
    const bytes = cueBytes.get(name);
    if (!bytes || cues.has(name)) return;
    cues.set(name, null);
    audio.decodeAudioData(bytes.slice(0)).then((buffer) => {
      cues.set(name, buffer);
      if (waitingCue === name) page.playCue(name);
    }, () => {});
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
    waitingCue = audio && !buffer ? name : null;
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
  // A row per inventory entry, as the game laid it out: its top, whether it
  // is the selected entry, and its pieces of text (see web_draw).
  page.drawRows = (records) => {
    rows = records.split('\x1e').filter(Boolean).map((record) => {
      const [y, selected, ...fields] = record.split('\x1f');
      const pieces = [];
      for (let i = 0; i + 4 < fields.length; i += 5) {
        const [x, red, green, blue, text] = fields.slice(i, i + 5);
        pieces.push({ x: Number(x), colour: `rgb(${red},${green},${blue})`, text });
      }
      return { y: Number(y), selected: selected === '1', pieces };
    });
    // Drawn at the next frame, after the line that goes with it is spoken.
    page.redraw();
  };
  let frameRequested = false;
  // Drawn again at the next frame (a canvas resized by touch.js).
  page.redraw = () => {
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
  function render() {
    frameRequested = false;
    const canvas = $('items');
    const context = canvas.getContext('2d');
    const lineHeight = page.lineStep;
    const scale = canvas.width / page.listWidth;
    const viewHeight = canvas.height / scale;
    context.setTransform(scale, 0, 0, scale, 0, 0);
    // Scroll only as far as needed to keep the selected entry in view.
    const selected = rows.find((row) => row.selected);
    if (selected) {
      if (selected.y < scroll + lineHeight) scroll = Math.max(0, selected.y - lineHeight);
      if (selected.y + lineHeight * 2 > scroll + viewHeight)
        scroll = selected.y + lineHeight * 2 - viewHeight;
    }
    const bottom = rows.length ? rows[rows.length - 1].y : 0;
    scroll = Math.max(0, Math.min(scroll, bottom + lineHeight * 2 - viewHeight));
    context.fillStyle = '#fff';
    context.fillRect(0, 0, page.listWidth, viewHeight);
    context.font = 'bold 13px "DejaVu Sans", sans-serif';
    context.textBaseline = 'top';
    for (const row of rows) {
      // Only the rows in view: a cheat inventory may hold thousands.
      if (row.y + lineHeight < scroll || row.y > scroll + viewHeight) continue;
      for (const piece of row.pieces) {
        context.fillStyle = piece.colour;
        context.fillText(piece.text, piece.x, row.y - scroll);
      }
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
      for (const name of cueBytes.keys()) decodeCue(name);
    } catch (error) {
      audio = null;
    }
    const game = $('game');
    $('items').hidden = false;
    $('controls').hidden = false;
    game.tabIndex = 0;
    $('back').hidden = false;
    $('start').hidden = true;
    game.focus();
    watchVoices();
    if ([loadingMessage, QuillvaneStorage.lockedOut].includes($('status').textContent)) page.status('');
    Module.ccall('quillvane_web_start', null, [], [], { async: true });
  }
  page.gameEnded = () => {
    QuillvaneStorage.end();
    // The lines stay for the screen reader to finish; the game area leaves
    // the tab order.
    $('items').hidden = true;
    $('controls').hidden = true;
    $('game').tabIndex = -1;
    $('back').hidden = true;
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
    $('back').addEventListener('click', backToGame);
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
