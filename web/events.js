// The game's queue of page events: keys (shift * 256 + key code), letters
// beyond A to Z (characterBase + shift * 2^21 + the code point), a hurry
// (the page being hidden) and taps on the list's lines, numbered as the
// game's web front-end reads them. The game takes them one at a time and,
// with none waiting, waits for the next or for its deadline.
export const hurryEvent = 1 << 16;
export const selectBase = 1 << 17;
export const characterBase = 1 << 24;
const characterBits = 21;
// The longest one wait may be: the game waits a day at a time for a key.
export const longestWait = 86400000;

export class EventQueue {
  // clock: { later(fn, ms) -> handle, cancel(handle) }
  constructor(clock) {
    this.clock = clock;
    this.events = [];
    this.wake = null;
    this.timer = null;
    // The game waits for a key with nothing in progress (a wait of a day).
    this.idle = false;
  }

  // A translated key ({ keycode, shift, character }) from a keydown or a
  // control that stands for the key.
  postKey(key) {
    if (key.character) this.post(characterBase + key.shift * 2 ** characterBits + key.character);
    else this.post(key.shift * 256 + key.keycode);
  }
  // A tap on the list's line for entry n; the game ignores a line with no entry.
  postSelect(entry) {
    this.post(selectBase + entry);
  }
  postHurry() {
    this.post(hurryEvent);
  }

  post(event) {
    this.events.push(event);
    if (!this.wake) return;
    this.clock.cancel(this.timer);
    const resume = this.wake;
    this.wake = null;
    resume();
  }

  // The next event, or -1.
  take() {
    return this.events.length ? this.events.shift() : -1;
  }

  // Resolves once an event is queued or ms have passed.
  wait(ms) {
    return new Promise((resolve) => {
      if (this.events.length) return resolve();
      this.idle = ms >= longestWait;
      const done = () => {
        this.idle = false;
        resolve();
      };
      this.wake = done;
      this.timer = this.clock.later(() => {
        this.wake = null;
        done();
      }, Math.min(ms, 2147483647));
    });
  }
}
