#!/usr/bin/env bash
# A real screen reader listens to the game: Orca, on a private accessibility
# bus under a virtual display, reads the terminal edition in gnome-terminal
# while real key presses play an easy game; every printed line must reach
# Orca's speech; then the same for the web page in Chromium (not headless).
# Prints the lines said and spoken and the delay to speech. Uses the normal
# build (build/, made by scripts/test.sh) unless QUILLVANE_BUILD_DIR names
# another, and the web site of build-web/ (built here when missing) unless
# QUILLVANE_WEB_BUILD_DIR names another.
#
# The page in Firefox ESR is not run here, as it is not yet known to pass
# reliably; by hand: bash tests/e2e/orca_web.sh build build-web/site firefox
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLVANE_BUILD_DIR:-build}
[[ -x "$build/quillvane" ]] || { echo "no game in $build: build it first" >&2; exit 1; }

bash tests/e2e/orca_terminal.sh "$build"

web=${QUILLVANE_WEB_BUILD_DIR:-build-web}
if [[ ! -f "$web/site/index.html" ]]; then
  cmake --preset web >/dev/null
  nice cmake --build --preset web
fi
# The page's lines are stamped through puppeteer-core (as scripts/test-web.sh
# installs it; it never fetches a browser).
(cd web/test && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --no-package-lock \
  --loglevel=error)
bash tests/e2e/orca_web.sh "$build" "$web/site" chromium
echo "orca: all scenarios passed"
