// For the Orca scenario (tests/e2e/orca_web.sh): reaches a Chromium the
// scenario started itself, through its remote debugging port, and
//   watch URL   has the page at URL, loaded and not yet started, stamp
//               each line added to its log of lines with the wall-clock
//               time (a MutationObserver: the lines come only after Start);
//   stamps URL  prints those stamps, one "printed at NANOSECONDS" a line.
// Nothing of the page itself is changed; keys are not pressed from here.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const [, , profile, command, url] = process.argv;
// Every step talks to a live browser that may have stopped answering: each
// call to it, and the whole run, has a limit, and ends in a message.
const callLimit = 20000;
const runLimit = 45000;

async function main() {
  // Chromium writes its port into the profile when started with port 0.
  const port = fs.readFileSync(path.join(profile, 'DevToolsActivePort'), 'latin1').split('\n')[0];
  const browser = await puppeteer.connect({ browserURL: `http://127.0.0.1:${port}`,
                                            defaultViewport: null,
                                            protocolTimeout: callLimit });
  try {
    const pages = await browser.pages();
    const page = pages.find((candidate) => candidate.url() === url);
    if (!page) throw new Error(`no page at ${url} among ${pages.map((p) => p.url())}`);
    if (command === 'watch') {
      await page.evaluate(() => {
        window.__linesAt = [];
        new MutationObserver((records) => {
          const now = performance.timeOrigin + performance.now();
          for (const record of records)
            for (let i = 0; i < record.addedNodes.length; i++) window.__linesAt.push(now);
        }).observe(document.getElementById('lines'), { childList: true });
      });
    } else if (command === 'stamps') {
      const stamps = await page.evaluate(() => window.__linesAt);
      for (const ms of stamps) console.log(`printed at ${BigInt(Math.round(ms * 1000)) * 1000n}`);
    } else {
      throw new Error(`unknown command ${command}`);
    }
  } finally {
    browser.disconnect();
  }
}
setTimeout(() => {
  console.error(`orca-stamps ${command}: Chromium did not answer within ${runLimit / 1000} s`);
  process.exit(1);
}, runLimit).unref();
main().then(() => process.exit(0), (error) => {
  console.error(error);
  process.exit(1);
});
