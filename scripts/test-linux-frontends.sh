#!/usr/bin/env bash
# The Linux front-ends end to end: the window under a virtual display, the
# terminal under tmux (with and without Shift+Enter), real key presses in
# xterm and in tmux inside xterm, a terminal without a sound card that shows
# only the game's lines, and an installed copy.
# Uses the normal build (build/, made by scripts/test.sh) unless
# QUILLVANE_BUILD_DIR names another.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLVANE_BUILD_DIR:-build}
[[ -x "$build/quillvane" ]] || { echo "no game in $build: build it first" >&2; exit 1; }

bash tests/e2e/window.sh "$build"
bash tests/e2e/terminal.sh "$build" shift
bash tests/e2e/terminal.sh "$build" alt
bash tests/e2e/xterm.sh "$build" xterm
bash tests/e2e/xterm.sh "$build" tmux
bash tests/e2e/quiet.sh "$build" voice
bash tests/e2e/quiet.sh "$build" novoice
bash tests/e2e/install.sh "$build"
echo "linux front-ends: all scenarios passed"
