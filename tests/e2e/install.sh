#!/usr/bin/env bash
# An installed copy: cmake --install puts the program in bin and the cues in
# share/quillvane/sounds; the installed program finds its cues there, keeps
# its files in the per-user data folder and writes nothing beside itself.
# Also: with no display and no terminal the program says how to run it.
#
#   tests/e2e/install.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
build=$(cd "${1:?usage: install.sh BUILD_DIR}" && pwd)

e2e_setup_speech
socket="quillvane-e2e-$$"
tmux_() { tmux -L "$socket" "$@"; }
cleanup() {
  tmux_ kill-server 2>/dev/null || true
  e2e_stop_speech
  if [[ "${E2E_KEEP:-}" != 1 ]]; then rm -rf "$E2E"; fi
}
trap cleanup EXIT

# No display, no terminal: a message naming --script, and status 2.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$build/quillvane" </dev/null >"$E2E/out" 2>"$E2E/err" || status=$?
((status == 2)) || e2e_fail "status $status with no display and no terminal"
grep -q -- "--script" "$E2E/err" || e2e_fail "no hint about --script: $(cat "$E2E/err")"

cmake --install "$build" --prefix "$E2E/prefix" >"$E2E/install.log"
program="$E2E/prefix/bin/quillvane"
[[ -x "$program" ]] || e2e_fail "no installed program"
for cue in SAPI NVDA WE JAWS dink success achievement record rule fail magic restart; do
  [[ -s "$E2E/prefix/share/quillvane/sounds/$cue.wav" ]] || e2e_fail "cue $cue.wav not installed"
done

cat >"$E2E/run.sh" <<RUN
env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$E2E/xdg" SDL_AUDIODRIVER=disk \\
  SDL_DISKAUDIOFILE="$E2E/audio.raw" "$program" 2>"$E2E/stderr"
echo "EXIT=\$?"
sleep 600
RUN
tmux_ -f /dev/null new-session -d -s game -x 160 -y 40 "bash $E2E/run.sh"
screen() { tmux_ capture-pane -t game -p -J -S - | sed '/^$/d'; }
wait_screen() {
  wait_for "[[ \"\$(screen | tail -n 1)\" == \"$1\" ]]" "${2:-30}" ||
    e2e_fail "expected the last printed line '$1'; the screen:
$(screen)"
}
wait_screen "Welcome to Quillvane, version (0.7 beta), by Orlick"
tmux_ send-keys -t game Enter
wait_screen "Choose puzzle difficulty"
tmux_ send-keys -t game Enter
wait_screen "Beginning puzzle on easy mode"
# The new-puzzle cue comes from share/quillvane/sounds.
peak() {
  [[ -s "$E2E/audio.raw" ]] || { echo 0; return; }
  sox -t raw -r 44100 -b 16 -e signed-integer -c 2 "$E2E/audio.raw" -n stat 2>&1 |
    awk '/Maximum amplitude/ { print $3 }'
}
wait_for '[[ "$(peak)" != "0" && "$(peak)" != "0.000000" ]]' 30 ||
  e2e_fail "the installed copy played no cue"
tmux_ send-keys -t game C-c
wait_screen "EXIT=0"

grep -qF "Welcome to Quillvane" "$E2E/xdg/quillvane/log.txt" ||
  e2e_fail "the installed copy kept no log in the per-user data folder"
written=$(find "$E2E/prefix" -newer "$E2E/install.log" -type f)
[[ -z "$written" ]] || e2e_fail "the installed copy wrote beside itself: $written"
echo "install: ok"
