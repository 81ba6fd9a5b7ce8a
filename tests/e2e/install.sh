#!/usr/bin/env bash
# An installed copy: cmake --install puts the program in bin and the cues in
# share/quillvane/sounds; the installed program finds its cues there, keeps
# its files in the per-user data folder and writes nothing beside itself.
# Also: with no display and no terminal the program says how to run it.
#
#   tests/e2e/install.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: install.sh BUILD_DIR}"
e2e_begin install

# No display, no terminal: a message naming --script, and status 2.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$game" </dev/null >"$E2E/out" 2>"$E2E/err" || status=$?
((status == 2)) || e2e_fail "status $status with no display and no terminal"
grep -q -- "--script" "$E2E/err" || e2e_fail "no hint about --script: $(cat "$E2E/err")"

cmake --install "$build" --prefix "$E2E/prefix" >"$E2E/install.log"
program="$E2E/prefix/bin/quillvane"
[[ -x "$program" ]] || e2e_fail "no installed program"
for cue in SAPI NVDA WE JAWS dink success achievement record rule fail magic restart; do
  [[ -s "$E2E/prefix/share/quillvane/sounds/$cue.wav" ]] || e2e_fail "cue $cue.wav not installed"
done

e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME='$E2E/xdg' SDL_AUDIODRIVER=disk \\
  SDL_DISKAUDIOFILE='$E2E/audio.raw' '$program' 2>'$E2E/stderr'" >"$E2E/run.sh"
e2e_tmux game 160x40 "bash $E2E/run.sh"
wait_screen "$E2E_WELCOME"
key Enter
wait_screen "Choose puzzle difficulty"
key Enter
wait_screen "Beginning puzzle on easy mode"
# The new-puzzle cue comes from share/quillvane/sounds.
wait_for 'e2e_sounded "$E2E/audio.raw"' 30 || e2e_fail "the installed copy played no cue"
key C-c
wait_screen "EXIT=0"
screen | grep -qx "TERMINAL RESTORED" || e2e_fail "the terminal settings were not restored"

grep -qF "$E2E_WELCOME" "$E2E/xdg/quillvane/log.txt" ||
  e2e_fail "the installed copy kept no log in the per-user data folder"
written=$(find "$E2E/prefix" -newer "$E2E/install.log" -type f)
[[ -z "$written" ]] || e2e_fail "the installed copy wrote beside itself: $written"
echo "install: ok"
