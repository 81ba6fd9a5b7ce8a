#!/usr/bin/env bash
# A real screen reader listens to the game: Orca, on a private accessibility
# bus under a virtual display, reads the terminal edition in gnome-terminal
# while real key presses play an easy game; every printed line must reach
# Orca's speech. Prints the lines said and spoken and the delay to speech.
# Uses the normal build (build/, made by scripts/test.sh) unless
# QUILLVANE_BUILD_DIR names another.
#
# The web page under Orca (tests/e2e/orca_web.sh) is not run here yet: it
# does not pass reliably. By hand, after building build-web/:
#   bash tests/e2e/orca_web.sh build build-web/site chromium   (or firefox)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLVANE_BUILD_DIR:-build}
[[ -x "$build/quillvane" ]] || { echo "no game in $build: build it first" >&2; exit 1; }

bash tests/e2e/orca_terminal.sh "$build"
echo "orca: all scenarios passed"
