#!/usr/bin/env bash
# A real screen reader listens to the game: Orca, on a private accessibility
# bus under a virtual display, reads
#  1. the terminal edition in gnome-terminal (tests/e2e/orca_terminal.sh),
#     40 and 110 columns wide, through a long plan of games, and once more
#     at 80 columns panning Orca's braille on a virtual display,
#  2. the web page in Chromium and 3. in Firefox ESR (tests/e2e/orca_web.sh),
#     each a real browser window that Orca reads before Start is pressed,
#  4. the web page in Firefox ESR again, Orca reading it aloud at a real
#     voice's pace and Start pressed before the reading ends,
# while real key presses play; every line the game printed or wrote to the
# page's log of lines must reach Orca's speech once, with no "blank" and no
# fragment of a line before it. On the page Orca also writes to a virtual
# braille display: panning must reach every line's end, and the next key
# must still play after a pan past it.
# Prints the lines said and spoken and, where the lines are stamped (the
# terminal and Chromium), the delay to speech.
#
# Builds nothing: it uses the normal build (build/, made by scripts/test.sh)
# unless QUILLVANE_BUILD_DIR names another, and the site with the page
# tests' puppeteer-core that scripts/test-web.sh builds and installs
# (build-web/site, web/test/node_modules), unless QUILLVANE_WEB_DIR names
# another build folder. scripts/test.sh runs the web suite before this one.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLVANE_BUILD_DIR:-build}
site=${QUILLVANE_WEB_DIR:-build-web}/site
[[ -x "$build/quillvane" ]] || { echo "no game in $build: build it first" >&2; exit 1; }
[[ -f "$site/index.html" ]] || {
  echo "no site in $site: build it first (bash scripts/test-web.sh)" >&2
  exit 1
}
[[ -d web/test/node_modules/puppeteer-core ]] || {
  echo "no puppeteer-core in web/test/node_modules: bash scripts/test-web.sh installs it" >&2
  exit 1
}

bash tests/e2e/orca_terminal.sh "$build" 40
bash tests/e2e/orca_terminal.sh "$build" 110
# What Orca's braille does when the player pans it: figures only (its
# panning disturbs what the terminal tells Orca, see the scenario).
ORCA_BRAILLE=1 ORCA_BRAILLE_PANS=1 ORCA_REPORT_ONLY=1 bash tests/e2e/orca_terminal.sh "$build" 80
bash tests/e2e/orca_web.sh "$build" "$site" chromium
bash tests/e2e/orca_web.sh "$build" "$site" firefox
bash tests/e2e/orca_web.sh "$build" "$site" firefox reading
echo "orca: all scenarios passed"
