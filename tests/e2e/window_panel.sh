#!/usr/bin/env bash
# What a sighted helper sees in the window: beside the item list, the open
# menu with its current entry (blue) and the last line said (grey); and the
# window grown to twice its size draws the list's text about twice as tall.
# Read from the pixels of screenshots under a virtual display.
#
#   tests/e2e/window_panel.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: window_panel.sh BUILD_DIR}"
e2e_begin panel

e2e_start_display 1800x1400
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
"$game" --data-dir "$E2E/data" >"$E2E/stdout" 2>"$E2E/stderr" &
game_pid=$!
e2e_track "$game_pid"
e2e_find_window "$game_pid"
xdotool windowmove "$window" 0 0
key() { xdotool key --window "$window" "$1"; }

# The bounding box "left top right bottom" of the pixels of one exact colour
# in a screenshot of the window, at or right of column $2; empty when none.
box() {
  e2e_shot "$window"
  e2e_pixels "$1" "${2:-0}" | awk '
    { x = $1 + 0; y = $2 + 0
      if (!seen || x < l) l = x; if (!seen || x > r) r = x
      if (!seen || y < t) t = y; if (!seen || y > b) b = y; seen = 1 }
    END { if (seen) print l, t, r, b }'
}
blue="#0000C8" grey="#404040" green="#00DC00"

wait_spoken "$E2E_WELCOME"
wait_for '[[ -n "$(box "$grey" 430)" ]]' 10 || e2e_fail "no last line beside the list"
key Down
wait_spoken "Start a new game.  Starting a new game will not delete your achievements.  It is meant as a convenient way to start over from the beginning."
wait_for '[[ -n "$(box "$blue" 430)" ]]' 10 || e2e_fail "no menu entry beside the list"
read -r _ top1 _ bottom1 <<<"$(box "$blue" 430)"
key Down
wait_spoken "Continue where you left off"
# The long first entry wraps over several lines, the second fits on one.
wait_for 'read -r _ top2 _ bottom2 <<<"$(box "$blue" 430)"; ((bottom2 - top2 < bottom1 - top1))' 10 ||
  e2e_fail "the menu entry shown did not follow the cursor"
key Up
key Return
wait_spoken "Choose puzzle difficulty"
key Return
wait_spoken "Beginning puzzle on easy mode"
# On the game screen the selection's green brackets show; the panel holds
# no menu any more, only the last line.
wait_for '[[ -n "$(box "$green")" && -z "$(box "$blue" 430)" ]]' 10 ||
  e2e_fail "the game screen shows no selection, or still a menu"
read -r _ gtop _ gbottom <<<"$(box "$green")"
small=$((gbottom - gtop + 1))

xdotool windowsize "$window" 1520 1122
wait_for 'read -r _ t _ b <<<"$(box "$green")"; (( (b - t + 1) * 10 >= small * 17 ))' 10 ||
  e2e_fail "the text did not grow with the window (green rows: $small, then $(box "$green"))"
read -r _ gtop _ gbottom <<<"$(box "$green")"
large=$((gbottom - gtop + 1))
((large * 10 <= small * 23)) || e2e_fail "the text grew more than twice: $small to $large rows"
[[ -n "$(box "$grey" 860)" ]] || e2e_fail "no last line beside the grown list"
echo "window panel: ok (selection $small rows high, $large at twice the size)"
