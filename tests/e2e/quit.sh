#!/usr/bin/env bash
# Quitting in the middle of a move loses nothing: an easy game combines Dirt
# and Water, and while the discovery is announced (in the wait after "Mud
# and Mud created.") the game is asked to quit. It must end without sitting
# out the move's remaining waits, with the move's changes in progress.ini and
# achievements.ini (both still valid) and its lines in log.txt. How long the
# quit takes is a figure of bench/frontends.sh (goal: under half a second).
#
#   tests/e2e/quit.sh BUILD_DIR terminal SIGNAL   the terminal under tmux, sent SIGNAL
#   tests/e2e/quit.sh BUILD_DIR terminal ctrl-c   the terminal, Ctrl+C typed
#   tests/e2e/quit.sh BUILD_DIR terminal stop     not a quit: stopped (SIGTSTP) and
#                                                 continued (SIGCONT), the terminal
#                                                 is given back and taken again
#   tests/e2e/quit.sh BUILD_DIR window close      the window asked to close
#   tests/e2e/quit.sh BUILD_DIR window SIGNAL     the window, sent SIGNAL
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: quit.sh BUILD_DIR terminal|window close|SIGNAL}"
where=${2:?}
how=${3:?}
e2e_begin quit

if [[ "$where" == terminal ]]; then
  e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy '$game' --data-dir '$E2E/data' \\
    2>'$E2E/stderr'" >"$E2E/run.sh"
  e2e_tmux game 160x60 "bash $E2E/run.sh"
  wait_for '[[ -s "$E2E/pid" ]]' 30 || e2e_fail "the game did not start: $(screen)"
  said() { screen | tail -n 1; }
  key() {
    case "$1" in
      Return) tmux_ send-keys -t game Enter ;;
      combine) tmux_ send-keys -t game M-Enter ;;
      *) tmux_ send-keys -t game "$1" ;;
    esac
  }
else
  e2e_start_display
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$game" --data-dir "$E2E/data" >"$E2E/stdout" 2>"$E2E/stderr" &
  echo $! >"$E2E/pid"
  e2e_track "$(cat "$E2E/pid")"
  e2e_find_window "$(cat "$E2E/pid")"
  said() { spoken_lines | tail -n 1; }
  key() {
    case "$1" in
      combine) xdotool key --window "$window" shift+Return ;;
      *) xdotool key --window "$window" "$1" ;;
    esac
  }
fi

wait_said() {
  wait_for "[[ \"\$(said)\" == \"$1\" ]]" 30 || e2e_fail "expected '$1', last said: '$(said)'"
}

wait_said "$E2E_WELCOME"
if [[ "$how" == stop ]]; then
  tty=$(tmux_ display-message -p -t game '#{pane_tty}')
  kill -TSTP "$(cat "$E2E/pid")"
  wait_for '[[ $(ps -o stat= -p "$(cat "$E2E/pid")") == T* ]]' 10 || e2e_fail "the game did not stop"
  stty -F "$tty" -a | grep -qw icanon || e2e_fail "a stopped game keeps the terminal raw"
  kill -CONT "$(cat "$E2E/pid")"
  wait_for 'stty -F "$tty" -a | grep -qw -- -icanon' 10 || e2e_fail "the terminal is not raw again"
  key Return
  wait_said "Choose puzzle difficulty"
  tmux_ send-keys -t game C-c
  wait_for 'screen | grep -q "^EXIT="' 10 || e2e_fail "no exit after Ctrl+C: $(screen)"
  screen | grep -qx "TERMINAL RESTORED" || e2e_fail "the terminal settings were not restored"
  echo "quit ($where, $how): ok"
  exit 0
fi
key Return
wait_said "Choose puzzle difficulty"
key Return
wait_said "Beginning puzzle on easy mode"
key d
wait_said "Dirt, you have 2."
key Return
wait_said "Dirt in slot 1."
key w
wait_said "Water, you have 2."
key Return
wait_said "Water in slot 2.  Press Shift and Enter to combine."
key combine
wait_said "Mud and Mud created."
# The quit comes inside the 2-second wait that follows "Mud and Mud
# created.", as soon as the line is seen; a quit that came after the wait
# would let the next line be said, which is checked below.
# The clock starts once the quit has been handed over: the signal sent, the
# key given to the pane by tmux, the close request at the X server (starting
# tmux's or close_window's process takes up to a second on a loaded
# machine, which is not the game's time).
pid=$(cat "$E2E/pid")
if [[ "$how" == close ]]; then
  "$build/close_window" "$window"
elif [[ "$how" == ctrl-c ]]; then
  tmux_ send-keys -t game C-c
else
  kill -s "$how" "$pid"
fi
start=$(date +%s%N)
e2e_wait_gone "$pid" || e2e_fail "the game is still running 10 s after the quit"
elapsed_ms=$(e2e_ms_since "$start")
echo "quit ($where, $how): ended ${elapsed_ms} ms after the quit"
# What is left of the move after "Mud and Mud created." waits 2 s and more
# (that wait, then each announcement's): a game that ended sooner than that
# skipped them, as a quit must.
((elapsed_ms < 2000)) || e2e_fail "the game sat out the move's waits: it ended ${elapsed_ms} ms after the quit"

if [[ "$where" == terminal ]]; then
  wait_for 'screen | grep -q "^EXIT="' 10 || e2e_fail "no exit status: $(screen)"
  screen | grep -qx "EXIT=0" || e2e_fail "exit status: $(screen | grep EXIT=)"
  screen | grep -qx "TERMINAL RESTORED" || e2e_fail "the terminal settings were not restored"
  said() { screen | grep -v -e "^TERMINAL " -e "^EXIT=" | tail -n 1; }
fi
# Nothing of the move was said after the quit.
[[ "$(said)" == "Mud and Mud created." ]] || e2e_fail "said after the quit: '$(said)'"


# The move is in the log, the saves, and the legacy report.
for line in "You have combined Dirt and Water, to make Mud and Mud.  You have made 1 total moves." \
  "You have discovered Mud, which is part of the General collection!" \
  "New discovery!  Combining Dirt and Water creates Mud and Mud."; do
  grep -qF "$line" "$E2E/data/log.txt" || e2e_fail "log.txt lacks: $line"
done
[[ -s "$E2E/data/mylegacy.txt" ]] || e2e_fail "no legacy report"
[[ $(grep -c $'^Mud\r$' "$E2E/data/progress.ini") == 2 ]] || e2e_fail "progress.ini lacks the two Mud"
# Both saved files are read back by the game: continuing finds step 1, and
# the achievements menu counts the discovery (a damaged file would end the
# game with its message instead).
printf 'Down\nDown\nEnter\n1\nEscape\nDown\nDown\nEnter\n' >"$E2E/check.keys"
"$game" --script "$E2E/check.keys" --data-dir "$E2E/data" --seed 1 >"$E2E/check.out"
for line in "say: You have made 1 steps so far." \
  "say: Achievements.  You have discovered 1 different recipies and 1 different achievements."; do
  grep -qxF "$line" "$E2E/check.out" || e2e_fail "after the quit, no '$line' in:
$(cat "$E2E/check.out")"
done
echo "quit ($where, $how): ok"
