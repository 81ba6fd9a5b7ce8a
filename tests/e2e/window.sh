#!/usr/bin/env bash
# The window front-end under a virtual display: start an easy game from the
# menus, combine Dirt and Water with letter jumps, Enter and Shift+Enter, and
# check what speech-dispatcher was sent, the log, the drawn list, the title in
# caption mode and the audio written by the cues; then leave through the menu.
#
#   tests/e2e/window.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: window.sh BUILD_DIR}"
e2e_begin window

e2e_start_display
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E/audio.raw"

"$game" --data-dir "$E2E/data" >"$E2E/stdout" 2>"$E2E/stderr" &
game_pid=$!
e2e_track "$game_pid"

e2e_find_window "$game_pid"
wait_spoken "$E2E_WELCOME"
[[ "$(xdotool getwindowname "$window")" == "$E2E_TITLE" ]] ||
  e2e_fail "window title is '$(xdotool getwindowname "$window")'"

# The audio file holds only silence until the first cue.
! e2e_sounded "$E2E/audio.raw" || e2e_fail "sound before any cue: peak $(e2e_peak <"$E2E/audio.raw")"

# Pixels of an exact colour in a screenshot of the window, as "x y" lines.
shot() { e2e_shot "$window"; }
pixels() { e2e_pixels "$1"; }

xdotool key --window "$window" Return
wait_spoken "Choose puzzle difficulty"
xdotool key --window "$window" Return
wait_spoken "Beginning puzzle on easy mode"
# The new-puzzle cue follows the line.
wait_for 'e2e_sounded "$E2E/audio.raw"' 30 ||
  e2e_fail "the new-puzzle cue left no sound in the audio file"

xdotool key --window "$window" d
wait_spoken "Dirt, you have 2."
shot
[[ -z "$(pixels '#FA00FA')" ]] || e2e_fail "a magenta name with both slots empty"
[[ -n "$(pixels '#00DC00' | awk '$1 < 20')" ]] || e2e_fail "no green bracket at the selected line"
xdotool key --window "$window" Return
wait_spoken "Dirt in slot 1."
# The selected line now shows green brackets around a magenta name.
slot_drawn() {
  shot
  local green magenta
  green=$(pixels '#00DC00' | awk '$1 < 20 { print $2 }' | sort -n | head -n 1)
  magenta=$(pixels '#FA00FA' | awk '$1 >= 20 { print $2 }' | sort -n | head -n 1)
  [[ -n "$green" && -n "$magenta" ]] && ((magenta - green < 15 && green - magenta < 15))
}
wait_for slot_drawn 30 || e2e_fail "no magenta name on the selected line after filling slot 1"

xdotool key --window "$window" w
wait_spoken "Water, you have 2."
xdotool key --window "$window" Return
wait_spoken "Water in slot 2.  Press Shift and Enter to combine."
xdotool key --window "$window" shift+Return
wait_spoken "New discovery!  Combining Dirt and Water creates Mud and Mud." 60

expected=$E2E_DIRT_WATER_LINES
if [[ "$(spoken_lines)" != "$expected" ]]; then
  diff <(echo "$expected") <(spoken_lines) >&2 || true
  e2e_fail "speech-dispatcher was sent other lines"
fi
grep -qF "You have combined Dirt and Water, to make Mud and Mud.  You have made 1 total moves." \
  "$E2E/data/log.txt" || e2e_fail "log.txt lacks the move: $(cat "$E2E/data/log.txt")"

# Tab to caption mode: the next line goes to the window title, not the voice.
xdotool key --window "$window" Tab
xdotool key --window "$window" 1
wait_for '[[ "$(xdotool getwindowname "$window")" == "You have made 1 steps so far." ]]' 30 ||
  e2e_fail "title after Tab and 1 is '$(xdotool getwindowname "$window")'"
[[ "$(spoken_lines | tail -n 1)" == "New discovery!  Combining Dirt and Water creates Mud and Mud." ]] ||
  e2e_fail "caption mode still spoke: $(spoken_lines | tail -n 1)"

# Leave through the game menu; the program ends with status 0.
xdotool key --window "$window" Escape
wait_for '[[ "$(xdotool getwindowname "$window")" == "Menu" ]]' 30 || e2e_fail "no game menu"
xdotool key --window "$window" Up
wait_for '[[ "$(xdotool getwindowname "$window")" == "Exit the game" ]]' 30 || e2e_fail "no Exit entry"
xdotool key --window "$window" Return
wait_for '! kill -0 "$game_pid" 2>/dev/null' 30 || e2e_fail "the game did not end after Exit the game"
status=0
wait "$game_pid" || status=$?
((status == 0)) || e2e_fail "exit status $status"
echo "window: ok"
