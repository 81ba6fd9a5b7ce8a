#!/usr/bin/env bash
# The Linux front-ends end to end: the window under a virtual display, the
# terminal under tmux (with and without Shift+Enter), both with a stalled
# speech-dispatcher, real key presses in xterm and in tmux inside xterm, a
# terminal without a sound card that shows only the game's lines, an
# installed copy, the data folder and its lock, what the window shows beside
# the list, and quitting in the middle of a move.
# Uses the normal build (build/, made by scripts/test.sh) unless
# QUILLVANE_BUILD_DIR names another.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLVANE_BUILD_DIR:-build}
[[ -x "$build/quillvane" ]] || { echo "no game in $build: build it first" >&2; exit 1; }

bash tests/e2e/window.sh "$build"
bash tests/e2e/terminal.sh "$build" shift
bash tests/e2e/terminal.sh "$build" alt
bash tests/e2e/stalled_speech.sh "$build"
bash tests/e2e/braille.sh "$build"
bash tests/e2e/xterm.sh "$build" xterm
bash tests/e2e/xterm.sh "$build" tmux
bash tests/e2e/quiet.sh "$build" voice
bash tests/e2e/quiet.sh "$build" novoice
bash tests/e2e/install.sh "$build"
bash tests/e2e/data_folder.sh "$build"
bash tests/e2e/window_panel.sh "$build"
# Quitting in the middle of a move, every way a player or the system can ask.
for way in "terminal INT" "terminal TERM" "terminal HUP" "terminal ctrl-c" "terminal stop" \
  "window close" "window INT" "window HUP"; do
  bash tests/e2e/quit.sh "$build" $way
done
echo "linux front-ends: all scenarios passed"
