// The sound cues: fetched as the page loads (their names from the site's
// sounds/cues.json, written from the one list every build copies the sounds
// by), decoded once Start has made an AudioContext, one at a time: a new
// cue cuts the old one.
export class Cues {
  constructor() {
    this.bytes = new Map();
    this.buffers = new Map();
    this.audio = null;
    this.playing = null;
    this.waiting = null;
    this.gain = 1;
  }

  fetchAll() {
    return fetch('sounds/cues.json')
      .then((response) => (response.ok ? response.json() : []))
      .then((names) => Promise.all(names.map((name) => fetch(`sounds/${name}.wav`)
        .then((response) => (response.ok ? response.arrayBuffer() : null))
        .then((bytes) => {
          if (!bytes) return;
          this.bytes.set(name, bytes);
          if (this.audio) this.decode(name);
        })
        .catch(() => {}))))
      .catch(() => {});
  }

  // Start was pressed: sound is allowed from now on.
  start() {
    try {
      this.audio = new AudioContext();
      this.audio.resume();
      for (const name of this.bytes.keys()) this.decode(name);
    } catch (error) {
      this.audio = null;
    }
  }

  // A cue asked for while its sound is still on its way (fetched or being
  // decoded, just after Start) plays once it is ready, unless another cue
  // has been asked for since.
  decode(name) {
    const bytes = this.bytes.get(name);
    if (!bytes || this.buffers.has(name)) return;
    this.buffers.set(name, null);
    this.audio.decodeAudioData(bytes.slice(0)).then((buffer) => {
      this.buffers.set(name, buffer);
      if (this.waiting === name) this.play(name);
    }, () => {});
  }

  // The cue volume (F12), as a gain from 0 to 1 for the cues to come.
  setVolume(percent) {
    this.gain = Math.min(Math.max(percent, 0), 100) / 100;
  }

  // path: the game's literal ("\sounds/dink.wav"); only the name counts.
  play(path) {
    const name = path.replace(/^.*[/\\]/, '').replace(/\.wav$/i, '');
    const buffer = this.buffers.get(name);
    if (this.playing) {
      try { this.playing.stop(); } catch (error) { /* already ended */ }
    }
    this.waiting = this.audio && !buffer ? name : null;
    if (!this.audio || !buffer || this.gain === 0) return;
    const source = this.audio.createBufferSource();
    source.buffer = buffer;
    const gain = this.audio.createGain();
    gain.gain.value = this.gain;
    source.connect(gain);
    gain.connect(this.audio.destination);
    source.onended = () => { if (this.playing === source) this.playing = null; };
    source.start();
    this.playing = source;
  }
}
