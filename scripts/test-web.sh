#!/usr/bin/env bash
# The web edition, built with Debian's emscripten:
#  1. the WebAssembly build (preset web): the site and the node runner;
#  2. every key script of tests/transcripts replayed by the WebAssembly
#     runner under node, compared byte for byte with its expected transcript
#     (and its expected files, where NAME.after/ exists);
#  3. the page's key translation, zip and touch controls under node's test
#     runner;
#  4. the site in headless Chromium, served from 127.0.0.1 (web/test/e2e*.js,
#     sharing web/test/browser.js),
#     driven by puppeteer-core, which npm installs into web/test/node_modules;
#  5. the site's zip (build-web/quillvane-web.zip).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-web
work=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-web.XXXXXX")
server_pid=""

cleanup() {
  if [[ -n $server_pid ]]; then kill "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "-- WebAssembly build (emscripten)"
cmake --preset web >"$work/configure.log" 2>&1 || {
  cat "$work/configure.log"
  exit 1
}
cmake --build --preset web

echo "-- transcripts replayed by the WebAssembly runner under node"
source "$root/tests/replay_transcripts.sh"
run_node() {
  node "$build/node/quillvane.js" --script "$1" --data-dir "$2" --seed 1 --transcript "$3"
}
replay_transcripts "$work/transcripts" "the WebAssembly runner" run_node

echo "-- page scripts (node's test runner)"
node --test web/test/*.test.mjs

echo "-- the site in headless Chromium"
command -v npm >/dev/null || {
  echo "npm is missing: bash scripts/deps.sh --with-tests installs it" >&2
  exit 1
}
# puppeteer-core drives Debian's chromium; it must never fetch a browser.
(cd web/test && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --no-package-lock \
  --loglevel=error)
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$build/site" >"$work/http.log" 2>&1 &
server_pid=$!
# A bounded wait for the server's first answer; a server that never answers
# fails the suite here, with its log, rather than every scenario after it.
served=no
for _ in $(seq 300); do
  if python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" \
    2>/dev/null; then
    served=yes
    break
  fi
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [[ $served != yes ]]; then
  echo "test-web: the site's server on 127.0.0.1:$port never answered:" >&2
  cat "$work/http.log" >&2
  exit 1
fi
# The version the game says, asked of the game once: the scenarios put it
# into the golden transcripts' @VERSION@.
QUILLVANE_VERSION=$(node "$build/node/quillvane.js" --version)
export QUILLVANE_VERSION=${QUILLVANE_VERSION#quillvane }
# Every browser scenario file (web/test/e2e*.js), each with its own output folder.
for scenario in web/test/e2e*.js; do
  name=$(basename "$scenario" .js)
  node "$scenario" "http://127.0.0.1:$port/" "$work/$name" "$root/tests/transcripts"
done
# The item list as the browser drew it, and the page on a phone before and
# after Start and in play, kept for a look.
cp "$work/e2e/items.png" "$build/e2e-items.png"
cp "$work/e2e-touch/touch-before.png" "$build/touch-before.png"
cp "$work/e2e-touch/touch-after.png" "$build/touch-after.png"
cp "$work/e2e-touch/touch-playing.png" "$build/touch-playing.png"
# The list on a 320 px phone and the page in a high contrast theme.
cp "$work/e2e-page/phone-320.png" "$build/phone-320.png"
cp "$work/e2e-page/page-forced-colours.png" "$build/page-forced-colours.png"

echo "-- site"
ls -l "$build/quillvane-web.zip"
echo "web: all passed"
