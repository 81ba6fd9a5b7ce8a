// The offline worker (service-worker.js): registered as the page loads, so
// that the site's files are kept for play without a network; and the
// notice that a new version has been fetched. A page served by an earlier
// build's worker learns of the new one as it is installed and activated
// (the browser looks for it on every visit); the page plays on, and its
// next reload is served the new build whole.

// Watches a registration for a new worker: notify() once it has been
// activated, when the page was served by a worker before (on a first visit
// the first worker is no new version).
export class UpdateWatch {
  constructor(servedByWorker, notify) {
    this.servedByWorker = servedByWorker;
    this.notify = notify;
    this.told = false;
  }

  follow(registration) {
    if (registration.installing) this.followWorker(registration.installing);
    registration.addEventListener('updatefound', () => this.followWorker(registration.installing));
  }

  followWorker(worker) {
    if (!worker) return;
    worker.addEventListener('statechange', () => {
      if (worker.state !== 'activated' || !this.servedByWorker || this.told) return;
      this.told = true;
      this.notify();
    });
  }
}

// Registers the worker (not over file://, where there is none).
export function registerWorker(window, notify) {
  const container = window.navigator.serviceWorker;
  if (!container || window.location.protocol === 'file:') return null;
  const watch = new UpdateWatch(Boolean(container.controller), notify);
  container.register('service-worker.js', { updateViaCache: 'none' })
    .then((registration) => watch.follow(registration))
    .catch(() => {});
  return watch;
}
