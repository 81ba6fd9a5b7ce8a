#!/usr/bin/env bash
# The terminal front-end with real key presses: xdotool types into a real
# xterm under a virtual display, so every key goes through the terminal
# emulator (and through tmux) exactly as a player's would. Starts an easy
# game, combines Dirt and Water and undoes with the keys every terminal can
# send (Ctrl+J, Ctrl+H), and in xterm alone also with Shift+Return and
# Shift+BackSpace, which xterm reports once the game asks for modifyOtherKeys.
#
#   tests/e2e/xterm.sh BUILD_DIR xterm   the game in xterm (run under `script`
#                                        to record what xterm was sent); Ctrl+C
#                                        ends it, and afterwards Shift+Return is
#                                        plain CR again
#   tests/e2e/xterm.sh BUILD_DIR tmux    the game in tmux with its default
#                                        settings (a fresh server, -f /dev/null)
#                                        inside xterm
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: xterm.sh BUILD_DIR xterm|tmux}"
way=${2:?usage: xterm.sh BUILD_DIR xterm|tmux}
command -v xterm >/dev/null || e2e_fail "xterm is not installed (bash scripts/deps.sh --with-tests)"
e2e_begin xterm

e2e_start_display 1280x1024

# The game with no display, so that it picks the terminal; the terminal
# settings are compared before and after. In xterm alone, the first key
# after the game has ended is recorded raw, to show the key modes were reset.
after=""
if [[ "$way" == xterm ]]; then
  after="stty raw -echo
dd bs=64 count=1 of='$E2E/after.raw' 2>/dev/null
stty \"\$before\"
echo 'AFTER RECORDED'"
fi
e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy '$game' --data-dir '$E2E/data'" \
  "$after" >"$E2E/game.sh"
if [[ "$way" == xterm ]]; then
  xterm -geometry 200x60+0+0 -e script -q -f -c "bash $E2E/game.sh" "$E2E/typescript" \
    2>"$E2E/xterm.log" &
else
  xterm -geometry 200x60+0+0 -e tmux -L "$E2E_TMUX_SOCKET" -f /dev/null new-session -s game \
    "bash $E2E/game.sh" 2>"$E2E/xterm.log" &
fi
xterm_pid=$!
e2e_track "$xterm_pid"

# The lines the terminal shows, without the key-mode requests; in xterm from
# the record that `script` keeps of every byte, in tmux from the pane.
screen() {
  if [[ "$way" == xterm ]]; then
    [[ -f "$E2E/typescript" ]] || return 0
    sed -e 's/\x1b\[[<>=?]*[0-9;]*[a-zA-Z~]//g' -e 's/\x1b[=>]//g' -e 's/\r$//' \
      "$E2E/typescript" | grep -v '^Script started on' | sed '/^$/d'
  else
    tmux_ capture-pane -t game -p -J -S - 2>/dev/null | sed '/^ *$/d'
  fi
}
# Real key events (XTEST) go to the window under the pointer.
key() { xdotool key --delay 50 "$@"; }

wait_screen "$E2E_WELCOME"
window=$(xdotool search --pid "$xterm_pid" | tail -n 1)
xdotool mousemove --window "$window" 100 100
screen | head -n 1 | grep -q "Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes" ||
  e2e_fail "no line about Ctrl+J and Ctrl+H at start: $(screen | head -n 1)"
key Return
wait_screen "Choose puzzle difficulty"
key Return
wait_screen "Beginning puzzle on easy mode"

# Fills both slots with Dirt and Water, then presses the combine key $2.
fill_and_combine() {
  key d
  wait_screen "Dirt, you have $1."
  key Return
  wait_screen "Dirt in slot 1."
  key w
  wait_screen "Water, you have $1."
  key Return
  wait_screen "Water in slot 2.  Press Shift and Enter to combine."
  key "$2"
}

fill_and_combine 2 ctrl+j
wait_screen "New discovery!  Combining Dirt and Water creates Mud and Mud." 60
expected=$E2E_DIRT_WATER_LINES
if [[ "$(screen | tail -n +2)" != "$expected" ]]; then
  diff <(echo "$expected") <(screen | tail -n +2) >&2 || true
  e2e_fail "the terminal showed other lines"
fi

# A second Dirt and Water discovers nothing new, so it can be undone. Return
# with both slots full first asks for Shift and Enter: no Shift+Return has
# been reported yet, so the terminal names Ctrl+J and Ctrl+H once.
hint="In this terminal, Ctrl+J combines and Ctrl+H undoes."
fill_and_combine 1 Return
wait_screen "$hint"
screen | tail -n 2 | head -n 1 | grep -qxF "Dirt and Water are ready to combine.  Press Shift and Enter when ready." ||
  e2e_fail "the line about Ctrl+J does not follow the line asking for Shift and Enter: $(screen | tail -n 3)"
key Return
wait_for '(( $(screen | grep -c "are ready to combine") == 2 ))' 30 || e2e_fail "no second ready line"
key ctrl+j
wait_screen "Mud and Mud created."
key ctrl+h
wait_screen "Recipe reversed."
combined=2
if [[ "$way" == xterm ]]; then
  # xterm reports Shift with Return and BackSpace in modifyOtherKeys' form.
  fill_and_combine 1 shift+Return
  wait_screen "Mud and Mud created."
  key shift+BackSpace
  wait_screen "Recipe reversed."
  combined=3
fi

hints=$(screen | grep -cxF "$hint" || true)
[[ "$hints" == 1 ]] || e2e_fail "the line about Ctrl+J was printed $hints times, not once"
moves=$(grep -c "You have combined Dirt and Water, to make Mud and Mud." "$E2E/data/log.txt" || true)
[[ "$moves" == "$combined" ]] || e2e_fail "log.txt holds $moves combinations, not $combined"

# Ctrl+C quits, in xterm as modifyOtherKeys' ESC [ 27 ; 5 ; 99 ~.
key ctrl+c
wait_screen "EXIT=0"
screen | grep -qx "TERMINAL RESTORED" || e2e_fail "the terminal settings were not restored"
if [[ "$way" == xterm ]]; then
  # Every key mode asked for was given back: Shift+Return is CR again.
  request=$(printf '\033[>4;2m\033[>1u\033=')
  release=$(printf '\033[<u\033[>4;0m\033>')
  output=$(cat "$E2E/typescript")
  [[ "$output" == *"$request"* ]] || e2e_fail "the key modes were not asked for"
  [[ "${output##*"$request"}" == *"$release"* ]] || e2e_fail "the key modes were not switched off"
  key shift+Return
  wait_screen "AFTER RECORDED"
  [[ "$(od -An -tx1 "$E2E/after.raw" | tr -d ' \n')" == 0d ]] ||
    e2e_fail "after the game Shift+Return sent $(od -An -tx1 "$E2E/after.raw")"
fi
echo "xterm ($way): ok"
