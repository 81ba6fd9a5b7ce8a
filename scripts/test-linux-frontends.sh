#!/usr/bin/env bash
# The Linux front-ends end to end: the window under a virtual display, the
# terminal under tmux (with and without Shift+Enter), both with a stalled
# speech-dispatcher, and an installed copy.
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
bash tests/e2e/install.sh "$build"
echo "linux front-ends: all scenarios passed"
