// One game per browser, and the page's comings and goings. Start takes a
// Web Lock (a lease in localStorage where Web Locks are missing) held while
// the game runs; a second tab is told and starts nothing. When the page is
// hidden or left, the game is hurried (the move in progress finishes at
// once, its saves sent) and writes stop being waited on; a page left for
// good hands the lock over.
const lockName = 'quillvane-game';
const leaseKey = 'quillvane-lease';
// A lease is renewed every 2 s while the game runs; one not renewed for 6 s
// belongs to a tab that has gone.
const leaseRenewal = 2000;
const leaseLife = 6000;

export class TabLock {
  constructor(window) {
    this.window = window;
    this.release = null;
    this.leaseId = `${Date.now()}-${Math.random()}`;
    this.held = false;
  }

  readLease() {
    try {
      return JSON.parse(this.window.localStorage.getItem(leaseKey) || 'null');
    } catch (error) {
      return null;
    }
  }

  takeLease() {
    try {
      const lease = this.readLease();
      if (lease && lease.id !== this.leaseId && lease.until > Date.now()) return false;
      const storage = this.window.localStorage;
      const renew = () => storage.setItem(leaseKey,
                                          JSON.stringify({ id: this.leaseId, until: Date.now() + leaseLife }));
      renew();
      const timer = this.window.setInterval(renew, leaseRenewal);
      this.release = () => {
        this.window.clearInterval(timer);
        const held = this.readLease();
        if (held && held.id === this.leaseId) storage.removeItem(leaseKey);
      };
      return true;
    } catch (error) {
      return true;  // no localStorage either: nothing to share a game through
    }
  }

  // Resolves to true when this tab may play: it then holds the lock until
  // its game ends or the tab goes.
  async claim() {
    const locks = this.window.navigator.locks;
    const mine = !locks || !locks.request ? this.takeLease() : await new Promise((resolve) => {
      locks.request(lockName, { ifAvailable: true }, (lock) => {
        if (!lock) {
          resolve(false);
          return undefined;
        }
        resolve(true);
        return new Promise((release) => { this.release = release; });
      }).catch(() => resolve(true));
    });
    this.held = mine;
    return mine;
  }

  // Whether another tab is playing now (Load files asks).
  async elsewhere() {
    if (this.held) return false;
    const locks = this.window.navigator.locks;
    if (locks && locks.query) {
      try {
        const state = await locks.query();
        return state.held.some((lock) => lock.name === lockName);
      } catch (error) {
        return false;
      }
    }
    const lease = this.readLease();
    return Boolean(lease && lease.id !== this.leaseId && lease.until > Date.now());
  }

  end() {
    this.held = false;
    if (this.release) this.release();
    this.release = null;
  }
}

// Calls hiding() when the page is hidden or left, shown() when it is shown
// again, and hands the lock over when the page is left for good (a
// reload's new page may press Start before the old one is gone; the hurried
// move's writes were sent first, and IndexedDB serves them before any later
// reader's).
export function watchLifecycle(window, lock, { hiding, shown }) {
  const document = window.document;
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') hiding();
    else shown();
  });
  window.addEventListener('pagehide', (event) => {
    hiding();
    if (!event.persisted) lock.end();
  });
  window.addEventListener('pageshow', () => {
    if (document.visibilityState !== 'hidden') shown();
  });
}
