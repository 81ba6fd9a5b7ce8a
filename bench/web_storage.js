// Prints the web edition's storage figures (see web_storage.sh).
//   node web_storage.js URL OUT_DIR TRANSCRIPTS_DIR TRIES
'use strict';
const path = require('node:path');
const { closeAfterDiscovery, hideAfterDiscovery, moveWrites, offline } =
  require(path.join(__dirname, '../web/test/e2e-storage.js'));

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
};

async function main() {
  const tries = Number(process.argv[5]) || 20;
  const shown = await moveWrites();
  const hidden = await hideAfterDiscovery();
  const writes = [...shown.writes, ...hidden.writes];
  console.log(`one write sent to committed in IndexedDB: median ${median(writes).toFixed(1)} ms, ` +
              `longest ${Math.max(...writes).toFixed(1)} ms (${writes.length} writes)`);
  console.log(`Shift+Enter of a discovery to progress.ini / achievements.ini in IndexedDB: ` +
              `${shown.progress.toFixed(0)} / ${shown.achievements.toFixed(0)} ms with the page in view ` +
              `(saved after the announcements); ${hidden.progress.toFixed(0)} / ` +
              `${hidden.achievements.toFixed(0)} ms with the page hidden 0.3 s after it`);
  const kept = await closeAfterDiscovery(tries);
  console.log(`tab closed 0.3 s after the Shift+Enter of a discovery: kept in ${kept} of ${tries}`);
  const starts = [];
  for (let i = 0; i < 3; i++) starts.push(await offline());
  console.log(`offline, after one visit, reload to welcome line: median ${median(starts)} ms ` +
              `(${starts.join(', ')} ms)`);
}

main().catch((error) => {
  console.error(error.stack || error);
  process.exit(1);
});
