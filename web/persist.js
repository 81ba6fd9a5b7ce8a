// Keeping the game for good: a browser may clear a site's storage when
// space runs short, unless it has agreed to keep it. The page asks after
// the game's first real save (progress.ini or achievements.ini, never a
// line of the log), and only where the browser answers without asking the
// player; where it would ask (Firefox shows a prompt), the files offer a
// "Keep my game in this browser" button that asks on the player's own
// press. The answer is said once per browser, in the status line.
const answerKey = 'quillvane-persist';
export const realSaves = ['/data/progress.ini', '/data/achievements.ini'];

// What to do after the first real save. persisted: what
// navigator.storage.persisted() said (undefined: no such API); permission:
// the 'persistent-storage' permission's state ('granted', 'prompt',
// 'denied', or 'unknown' where the browser cannot say); told: the answer
// was said in this browser before.
//   ask:   call persist() now (it will not ask the player);
//   offer: show the button;
//   tell:  'granted' or 'refused', said now (once per browser).
export function persistPlan({ persisted, permission, told }) {
  const plan = { ask: false, offer: false, tell: null };
  if (persisted === undefined) return plan;
  if (persisted) {
    if (!told) plan.tell = 'granted';
  } else if (permission === 'granted') {
    plan.ask = true;
  } else if (permission === 'denied') {
    if (!told) plan.tell = 'refused';
  } else if (!told) {
    plan.offer = true;
  }
  return plan;
}

export class KeepForGood {
  // storage: navigator.storage; permissions: navigator.permissions;
  // memory: localStorage (or null); button: the Keep button; tell(answer):
  // says 'granted' or 'refused' in the status line.
  constructor({ storage, permissions, memory, button, tell }) {
    this.storage = storage;
    this.permissions = permissions;
    this.memory = memory;
    this.button = button;
    this.tell = tell;
    this.planned = false;
    this.answer = '';  // the browser's answer in this page, for the tests
    button.addEventListener('click', () => this.ask(true));
  }

  remembered() {
    try {
      return this.memory ? this.memory.getItem(answerKey) : null;
    } catch (error) {
      return null;
    }
  }

  remember(answer) {
    try {
      if (this.memory) this.memory.setItem(answerKey, answer);
    } catch (error) { /* not remembered: said again next time */ }
  }

  // A file of the data folder was saved: the first real save makes the plan.
  async saved(path) {
    if (this.planned || !realSaves.includes(path)) return;
    this.planned = true;
    if (!this.storage || !this.storage.persist || !this.storage.persisted) return;
    let persisted = false;
    let permission = 'unknown';
    try {
      persisted = await this.storage.persisted();
    } catch (error) { /* taken as not yet */ }
    try {
      if (this.permissions && this.permissions.query)
        permission = (await this.permissions.query({ name: 'persistent-storage' })).state;
    } catch (error) { /* a browser that cannot say */ }
    const plan = persistPlan({ persisted, permission, told: this.remembered() !== null });
    if (plan.tell) this.settle(plan.tell === 'granted');
    if (plan.ask) await this.ask(false);
    this.button.hidden = !plan.offer;
  }

  // Asks the browser (on the player's press, or where it will not ask them).
  async ask(pressed) {
    let granted = false;
    try {
      granted = await this.storage.persist();
    } catch (error) { /* a refusal */ }
    this.button.hidden = true;
    if (pressed || this.remembered() === null) this.settle(granted);
  }

  settle(granted) {
    this.answer = granted ? 'granted' : 'refused';
    this.remember(this.answer);
    this.tell(this.answer);
  }
}
