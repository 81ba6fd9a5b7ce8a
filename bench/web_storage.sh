#!/usr/bin/env bash
# Figures of the web edition's storage, in headless Chromium against the
# site served from 127.0.0.1: what appending a log line costs with 16 kB
# and with 16 MB of log, how long each write of a move takes to reach
# IndexedDB, how many of N tabs closed 0.3 s after the Shift+Enter of a
# discovery keep it on reopening (20 unless given), and how long the site
# takes offline, after one visit, from reload to the welcome line.
# Builds the site first (preset web).
#   bash bench/web_storage.sh [TRIES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-web
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
(cd web/test && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --no-package-lock \
  --loglevel=error >/dev/null)
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$build/site" >/dev/null 2>&1 &
server_pid=$!
out=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-bench.XXXXXX")
trap 'kill $server_pid 2>/dev/null || true; rm -rf "$out"' EXIT
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" \
    2>/dev/null && break
  sleep 0.1
done
# The scenarios it reuses compare with transcripts that name the version.
QUILLVANE_VERSION=$(node "$build/node/quillvane.js" --version)
export QUILLVANE_VERSION=${QUILLVANE_VERSION#quillvane }
node bench/web_storage.js "http://127.0.0.1:$port/" "$out" "$PWD/tests/transcripts" "${1:-20}"
