// The game bridge: the one place that knows the compiled game (quillvane.js
// and quillvane.wasm, an Emscripten module). It hands the game the page's
// side of the web front-end (Module.page, which web_platform.cpp calls),
// fills the game's data folder from the store before the game's runtime
// starts, starts the game, and reads and writes the game's files for the
// files section.
import { folder } from './storage.js';

const settingsPath = `${folder}/settings.ini`;

export class GameBridge {
  // parts: { events, lines, voice, cues, list, store, saved(path) after a
  // file was kept, waiting() when the game first waits for a key, ended()
  // when the game has ended, ready() once the game can start, failed(error)
  // when it cannot be loaded }.
  constructor(parts) {
    this.parts = parts;
    this.module = null;
    this.filesAtLoad = null;
    this.ready = false;
    // A language chosen on the page while the game runs: settings.ini keeps
    // it for the next load, whatever the game writes there meanwhile.
    this.languageForNextLoad = '';
  }

  // The arguments for the Emscripten module's factory.
  moduleArguments() {
    const { events, lines, voice, cues, list, store } = this.parts;
    const bridge = this;
    const page = {
      wait: (ms) => events.wait(ms),
      take: () => events.take(),
      announce: (text) => lines.say(text),
      voiceLine: (text) => voice.line(text),
      hasVoice: () => voice.present(),
      speak: (text, rate, volume) => voice.speak(text, rate, volume),
      stopSpeech: () => voice.stop(),
      voiceLanguage: (code, notice) => voice.language(code, notice),
      playCue: (path) => cues.play(path),
      setCueVolume: (percent) => cues.setVolume(percent),
      draw: (records) => list.show(records),
      keep: async (path) => {
        if (path === settingsPath && bridge.languageForNextLoad) bridge.writeLanguage(bridge.languageForNextLoad);
        const ok = await store.keep([path], (file) => bridge.readFile(file));
        if (ok) this.parts.saved(path);
        return ok;
      },
      append: (path, bytes) => store.append(path, bytes),
      waiting: () => this.parts.waiting(),
      ended: () => this.parts.ended(),
    };
    return {
      page,
      preInit: [() => this.mount()],
      onRuntimeInitialized: () => this.runtimeReady(),
      // The wasm is compiled as it arrives (the page preloads it).
      instantiateWasm(imports, receive) {
        const request = () => fetch('quillvane.wasm', { credentials: 'same-origin' });
        WebAssembly.instantiateStreaming(request(), imports)
          .catch(() => request().then((response) => response.arrayBuffer())
            .then((bytes) => WebAssembly.instantiate(bytes, imports)))
          .then((result) => receive(result.instance, result.module))
          .catch((error) => bridge.parts.failed(error));
        return {};
      },
    };
  }

  // Loads the game: resolves once its runtime is ready to start.
  async load(createModule) {
    const argumentsFor = this.moduleArguments();
    this.module = argumentsFor;
    await createModule(argumentsFor);
  }

  // Before the game's runtime starts: the data folder, filled from the store.
  mount() {
    const module = this.module;
    module.FS.mkdir(folder);
    module.addRunDependency('quillvane-files');
    this.parts.store.start().then((files) => {
      this.filesAtLoad = files;
      module.removeRunDependency('quillvane-files');
    });
  }

  runtimeReady() {
    if (this.filesAtLoad) this.fill(this.filesAtLoad);
    this.filesAtLoad = null;
    this.ready = true;
    this.parts.ready();
  }

  // The data folder becomes the files given (path -> bytes).
  fill(files) {
    const FS = this.module.FS;
    for (const name of FS.readdir(folder))
      if (name !== '.' && name !== '..') FS.unlink(`${folder}/${name}`);
    for (const [path, bytes] of files) FS.writeFile(path, bytes);
  }

  // Plays the game until it ends the program: every wait suspends it and
  // hands the page back to the browser. code: the page's language, which the
  // game plays unless settings.ini keeps another; catalog: its catalog (null
  // for English), put where the game looks for it.
  start(code, catalog) {
    if (catalog) {
      const place = `/locale/${catalog.code}/LC_MESSAGES`;
      this.module.FS.mkdirTree(place);
      this.module.FS.writeFile(`${place}/quillvane.mo`, catalog.bytes);
    }
    this.module.ccall('quillvane_web_start', null, ['string'], [code], { async: true });
  }

  // The language code settings.ini keeps, '' for none.
  keptLanguage() {
    return this.module.UTF8ToString(this.module._quillvane_kept_language());
  }

  // settings.ini's language becomes code, in the game's memory: whether the
  // file changed.
  writeLanguage(code) {
    const module = this.module;
    const size = module.lengthBytesUTF8(code) + 1;
    const at = module._malloc(size);
    try {
      module.stringToUTF8(code, at, size);
      return module._quillvane_keep_language(at) === 1;
    } finally {
      module._free(at);
    }
  }

  // Keeps the language chosen on the page in settings.ini, and the file in
  // the store: resolves to false when the store refused it. running: a game
  // is being played, which keeps its own language until the page is loaded
  // again, and may write settings.ini meanwhile.
  async keepLanguage(code, running) {
    if (running) this.languageForNextLoad = code;
    if (!this.writeLanguage(code)) return true;
    return this.parts.store.keep([settingsPath], (path) => this.readFile(path));
  }

  readFile(path) {
    try {
      return this.module.FS.readFile(path);
    } catch (error) {
      return null;
    }
  }

  writeFile(path, bytes) {
    if (bytes) this.module.FS.writeFile(path, bytes);
    else if (this.readFile(path)) this.module.FS.unlink(path);
  }

  // When the file was last written.
  fileDate(path) {
    return new Date(this.module.FS.stat(path).mtime);
  }

  // Checks progress.ini and achievements.ini (name -> bytes) with the
  // game's own readers: '' when the game takes them, else the name of the
  // one it would refuse. Called directly, not through ccall, which would
  // take it for the suspended game's call.
  check(files) {
    const FS = this.module.FS;
    const place = '/check';
    FS.mkdirTree(place);
    for (const name of FS.readdir(place)) if (name !== '.' && name !== '..') FS.unlink(`${place}/${name}`);
    for (const [name, bytes] of files) FS.writeFile(`${place}/${name}`, bytes);
    return this.module.UTF8ToString(this.module._quillvane_check_files());
  }
}
