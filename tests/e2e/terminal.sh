#!/usr/bin/env bash
# The terminal front-end inside tmux: start an easy game from the menus and
# combine Dirt and Water, reading the printed lines back from the pane and
# what speech-dispatcher was sent.
#
#   tests/e2e/terminal.sh BUILD_DIR shift   Shift+Enter through tmux's extended
#                                           keys; Ctrl+C ends the game
#   tests/e2e/terminal.sh BUILD_DIR alt     a terminal without them: Alt+Enter
#                                           combines, Alt+Backspace undoes;
#                                           leaves through the game menu
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: terminal.sh BUILD_DIR shift|alt}"
way=${2:?usage: terminal.sh BUILD_DIR shift|alt}
e2e_begin terminal

conf="$E2E/tmux.conf"
if [[ "$way" == shift ]]; then echo "set -s extended-keys on" >"$conf"; else : >"$conf"; fi
# The pane runs the game with no display, so it picks the terminal; the
# terminal settings are compared before and after.
e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='$E2E/audio.raw' \\
  '$game' --data-dir '$E2E/data' 2>'$E2E/stderr'" >"$E2E/run.sh"
# Every byte the game writes, to check the key modes are asked for and given back.
e2e_tmux game 160x60 "bash $E2E/run.sh" "$conf" "$E2E/output.raw"

wait_screen "$E2E_WELCOME"
screen | head -n 1 | grep -q "Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes" ||
  e2e_fail "no line about Ctrl+J and Alt+Enter at start: $(screen | head -n 1)"
wait_welcome_spoken
key Enter
wait_screen "Choose puzzle difficulty"
key Enter
wait_screen "Beginning puzzle on easy mode"
key d
wait_screen "Dirt, you have 2."
key Enter
wait_screen "Dirt in slot 1."
key w
wait_screen "Water, you have 2."
key Enter
wait_screen "Water in slot 2.  Press Shift and Enter to combine."
if [[ "$way" == shift ]]; then key S-Enter; else key M-Enter; fi
wait_screen "New discovery!  Combining Dirt and Water creates Mud and Mud." 60

expected=$E2E_DIRT_WATER_LINES
if [[ "$(screen | tail -n +2)" != "$expected" ]]; then
  diff <(echo "$expected") <(screen | tail -n +2) >&2 || true
  e2e_fail "the terminal printed other lines"
fi
# Mode 0 also speaks every line through speech-dispatcher.
wait_spoken "New discovery!  Combining Dirt and Water creates Mud and Mud."
[[ "$(spoken_lines)" == "$expected" ]] || e2e_fail "speech-dispatcher was sent other lines:
$(spoken_lines)"
grep -qF "You have combined Dirt and Water, to make Mud and Mud.  You have made 1 total moves." \
  "$E2E/data/log.txt" || e2e_fail "log.txt lacks the move"

# A second Dirt and Water discovers nothing new, so it can be undone:
# Shift+Backspace, or Alt+Backspace where Shift cannot be sent.
key d
wait_screen "Dirt, you have 1."
key Enter
wait_screen "Dirt in slot 1."
key w
wait_screen "Water, you have 1."
key Enter
wait_screen "Water in slot 2.  Press Shift and Enter to combine."
if [[ "$way" == shift ]]; then key S-Enter; else key M-Enter; fi
wait_screen "Mud and Mud created."
if [[ "$way" == shift ]]; then key S-BSpace; else tmux_ send-keys -t game -H 1b 7f; fi
wait_screen "Recipe reversed."

if [[ "$way" == shift ]]; then
  key C-c
else
  key Escape
  wait_screen "Menu"
  key Up
  wait_screen "Exit the game"
  key Enter
  wait_screen "Goodbye"
fi
wait_screen "EXIT=0" 30
screen | grep -qx "TERMINAL RESTORED" || e2e_fail "the terminal settings were not restored"
# modifyOtherKeys, the kitty keyboard protocol and the application keypad
# were asked for, and switched off again after the last line.
request=$(printf '\033[>4;2m\033[>1u\033=')
release=$(printf '\033[<u\033[>4;0m\033>')
output=$(cat "$E2E/output.raw")
[[ "$output" == *"$request"* ]] || e2e_fail "the key modes were not asked for"
[[ "${output##*"$request"}" == *"$release"* ]] || e2e_fail "the key modes were not switched off"
echo "terminal ($way): ok"
