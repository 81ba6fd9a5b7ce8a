#!/usr/bin/env bash
# Figures of the web edition: the wasm's size gzipped, a first visit's
# requests and bytes (against a plain static server with gzip), the page's
# time from load to an interactive Start button, and keydown to the new line in the log
# (median and 99th percentile over 200 keys), in headless Chromium against
# the site served from 127.0.0.1. Builds the site first (preset web).
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/e2e/lib.sh
build=build-web
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
(cd web/test && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --no-package-lock \
  --loglevel=error >/dev/null)

wasm=$build/site/quillvane.wasm
echo "quillvane.wasm: $(wc -c <"$wasm") bytes, $(gzip -9 -c "$wasm" | wc -c) bytes gzipped"
echo "quillvane.js: $(wc -c <"$build/site/quillvane.js") bytes, $(gzip -9 -c "$build/site/quillvane.js" | wc -c) bytes gzipped"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$build/site" >/dev/null 2>&1 &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true' EXIT
wait_for "python3 -c \"import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')\" 2>/dev/null" 30 ||
  e2e_fail "the web server did not answer"
echo "icon-512.png: $(wc -c <"$build/site/icon-512.png") bytes"
node bench/web.js "http://127.0.0.1:$port/" "$PWD/$build/site"
