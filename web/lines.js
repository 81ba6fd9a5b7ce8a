// The log of lines: every line for the screen reader (the game's, and the
// page's own announcements) goes through say(). Each is written in a task
// of its own, at least `gap` ms after the one before: changes that came
// closer were merged on their way to the screen reader, keeping only the
// last, and Orca drops the announcements it still holds when a key is
// pressed, so a burst written at once lost its later lines to the next key.
// A line equal to the one just written ends in a no-break space, since
// screen readers drop an announcement equal to the last one. At most
// `most` lines wait their turn: a key held down says lines faster than they
// can be written, and the oldest waiting ones go, so that the screen reader
// keeps up with the keys.
//
// Events (for tools and tests, and for any other view of the lines):
//   'said'     detail: the line as it was handed over, at once;
//   'written'  detail: the line as it was written (marked when repeated).
export const lineGap = 200;
export const mostWaiting = 5;
const noBreakSpace = '\u00a0';

// The line as written after `last`: a repeat is marked so that screen
// readers announce it again.
export function marked(text, last) {
  return text === last ? `${text}${noBreakSpace}` : text;
}

// The line as it was said, without the mark of a repeat.
export function unmarked(text) {
  return text.endsWith(noBreakSpace) ? text.slice(0, -1) : text;
}

export class LineLog extends EventTarget {
  // write(text): puts a line where the screen reader hears it. clock: {
  // now(), later(fn, ms) -> handle } (the page's performance.now and
  // setTimeout; the tests' own).
  constructor(write, clock, { gap = lineGap, most = mostWaiting } = {}) {
    super();
    this.write = write;
    this.clock = clock;
    this.gap = gap;
    this.most = most;
    this.due = [];
    this.last = null;
    this.lastAt = -Infinity;
    this.timer = null;
  }

  say(text) {
    this.dispatchEvent(new CustomEvent('said', { detail: text }));
    this.due.push(text);
    if (this.due.length > this.most) this.due.shift();
    if (this.timer === null) this.schedule();
  }

  // How many lines wait their turn.
  waiting() {
    return this.due.length;
  }

  schedule() {
    const wait = Math.max(0, this.lastAt + this.gap - this.clock.now());
    this.timer = this.clock.later(() => this.writeNext(), wait);
  }

  writeNext() {
    this.timer = null;
    const text = marked(this.due.shift(), this.last);
    this.last = text;
    this.lastAt = this.clock.now();
    this.write(text);
    this.dispatchEvent(new CustomEvent('written', { detail: text }));
    if (this.due.length) this.schedule();
  }
}

// The page's log element (role="log", assertive, additions only) as the
// place lines are written: each line a new paragraph, and only the newest
// kept, so that the log stands for one stop in a screen reader's swipes
// between the game area and its controls (removals are not announced).
// Until the first line the log holds what the game area is for.
export function logWriter(log) {
  return (text) => {
    // A caret left in the application (Orca sets one there when a braille
    // display pans through it) would move with the new line, and the
    // screen reader read the line again as the caret's: it is taken out
    // first.
    const selection = log.ownerDocument.getSelection();
    if (selection && selection.rangeCount && log.parentElement.contains(selection.anchorNode))
      selection.removeAllRanges();
    const line = log.ownerDocument.createElement('p');
    line.textContent = text;
    log.append(line);
    while (log.firstElementChild !== line) log.firstElementChild.remove();
  };
}

// The clock of a page.
export const pageClock = {
  now: () => performance.now(),
  later: (fn, ms) => setTimeout(fn, ms),
};
