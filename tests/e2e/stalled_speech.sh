#!/usr/bin/env bash
# A speech-dispatcher that stalls never stalls the game. The terminal (under
# tmux) and the window (under Xvfb) each play the same 100 keys three times:
# with a healthy capture daemon, with a fake daemon that accepts and never
# answers, and with one that answers only 5 s after it started. Every run
# must show the same lines for the keys (the terminal's printed lines; in the
# window, the spoken lines or, while the voice is missing, the title), tell
# once that the voice is missing, let the late voice take over by itself, and
# end on Ctrl+C (terminal) or on closing the window without waiting for the
# daemon: sooner than the voice's 3 s limit on connecting, the least a game
# held by the daemon would take. The time is printed; its goal of half a
# second is a figure, not a test.
#
#   tests/e2e/stalled_speech.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
e2e_game "${1:?usage: stalled_speech.sh BUILD_DIR}"
e2e_begin stall
fake_pid=""
stop_fake() {
  e2e_end_process "$fake_pid"
  fake_pid=""
}
e2e_at_exit stop_fake

notice_terminal="No voice: speech-dispatcher does not answer. The lines are printed."
notice_window="No voice: speech-dispatcher does not answer. Lines are shown in the title."
# Two keys start an easy game; the other 98 move through the inventory and
# ask for the number of steps, each answered by one line.
keys=(Return Return)
while ((${#keys[@]} < 100)); do keys+=(Down Down Down Up 1 d w); done
keys=("${keys[@]:0:100}")

# Starts a fake daemon ($1: silent or late:5) and points the game at it.
start_fake() {
  stop_fake
  rm -f "$E2E/fake.sock" "$E2E/fake-spoken.txt"
  python3 "$here/fake_speechd.py" "$E2E/fake.sock" "$1" "$E2E/fake-spoken.txt" &
  fake_pid=$!
  wait_for '[[ -S "$E2E/fake.sock" ]]' 30 || e2e_fail "the fake daemon did not start"
  export SPEECHD_ADDRESS="unix_socket:$E2E/fake.sock"
}
fake_spoken() { [[ -f "$E2E/fake-spoken.txt" ]] && cat "$E2E/fake-spoken.txt" || true; }

# Halfway through the keys, with the late daemon, waits until it has
# answered, so that the second half shows the voice taking over again by
# itself.
halfway_wait() { # daemon count
  if [[ "$1" == late:* && "$2" == 50 ]]; then
    wait_for '[[ -e "$E2E/fake.sock.answering" ]]' 60 || e2e_fail "the late daemon never answered"
  fi
}

# Points the next game at the daemon $1: the private capture daemon, fresh
# so that its log holds only that game's lines, or a fake.
use_daemon() {
  if [[ "$1" == capture ]]; then unset SPEECHD_ADDRESS; else start_fake "$1"; fi
  e2e_fresh_speech
}

# Plays the keys in the front-end $1 (terminal or window) with the silent
# and the late daemon: each run must show the lines of the healthy one.
each_stalled_daemon() {
  local front=$1 daemon label
  for daemon in silent late:5; do
    label=${daemon%%:*}
    "${front}_run" "$label" "$daemon"
    if ! diff "$E2E/$front-healthy.lines" "$E2E/$front-$label.lines" >&2; then
      e2e_fail "$front ($daemon) showed other lines than with a healthy daemon"
    fi
  done
}

# ---- the terminal ----
terminal_run() { # label daemon
  local label=$1 daemon=$2 data="$E2E/data-t-$1"
  mkdir -p "$data"
  use_daemon "$daemon"
  e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy '$game' --seed 7 --data-dir '$data' \\
    2>'$E2E/stderr-t-$label'" >"$E2E/run-$label.sh"
  e2e_tmux "$label" 160x50 "bash $E2E/run-$label.sh"
  tmux_ set -t "$label" history-limit 5000 >/dev/null
  # The printed lines, without the first line (how to type the keys) and
  # the line that tells of a missing voice.
  shown() { tmux_ capture-pane -t "$label" -p -J -S - | sed '/^ *$/d' | tail -n +2 | grep -vxF "$notice_terminal" || true; }
  wait_for '[[ "$(shown | head -n 1)" == "$E2E_WELCOME" ]]' 30 || e2e_fail "terminal $label: no welcome"
  if [[ "$daemon" == capture ]]; then
    wait_welcome_spoken
  else
    wait_for 'tmux_ capture-pane -t "$label" -p -J -S - | grep -qxF "$notice_terminal"' 30 ||
      e2e_fail "terminal $label: the missing voice was not told"
  fi
  local count=1 key
  for key in "${keys[@]}"; do
    # tmux names Return Enter.
    halfway_wait "$daemon" "$count"
    tmux_ send-keys -t "$label" "${key/#Return/Enter}"
    count=$((count + 1))
    wait_for '(( $(shown | wc -l) >= count ))' 30 || e2e_fail "terminal $label: no line for key $count ($key)"
  done
  shown >"$E2E/terminal-$label.lines"
  if [[ "$daemon" == late:* ]]; then
    # The voice that took over is sent the last line too.
    wait_for '[[ "$(fake_spoken | tail -n 1)" == "$(tail -n 1 "$E2E/terminal-$label.lines")" ]]' 30 ||
      e2e_fail "terminal: the late daemon was not sent the last line: $(fake_spoken | tail -n 3)"
  fi
  if [[ "$daemon" == capture ]]; then
    # Mode 0 speaks every printed line.
    wait_spoken "$(tail -n 1 "$E2E/terminal-$label.lines")"
    diff "$E2E/terminal-$label.lines" <(spoken_lines) >&2 ||
      e2e_fail "terminal $label: speech-dispatcher was sent other lines than printed"
  fi
  local told
  told=$(tmux_ capture-pane -t "$label" -p -J -S - | grep -cxF "$notice_terminal" || true)
  if [[ "$daemon" == capture ]]; then ((told == 0)) || e2e_fail "terminal $label: told of a missing voice"; fi
  if [[ "$daemon" != capture ]]; then ((told == 1)) || e2e_fail "terminal $label: told $told times"; fi
  local start elapsed pid
  pid=$(cat "$E2E/pid")
  # The clock starts once tmux has handed the key to the pane: starting its
  # client takes up to a second on a loaded machine, which is not the
  # game's time.
  tmux_ send-keys -t "$label" C-c
  start=$(date +%s%N)
  e2e_wait_gone "$pid" || e2e_fail "terminal $label: Ctrl+C did not end the game"
  elapsed=$(e2e_ms_since "$start")
  echo "terminal ($daemon): ended ${elapsed} ms after Ctrl+C"
  ((elapsed < 2000)) || e2e_fail "terminal $label: waited for the daemon: ended ${elapsed} ms after Ctrl+C"
  wait_for 'tmux_ capture-pane -t "$label" -p -J -S - | grep -qx "EXIT=0"' 30 ||
    e2e_fail "terminal $label: the game did not end with status 0"
  tmux_ kill-session -t "$label"
}

terminal_run healthy capture
[[ $(wc -l <"$E2E/terminal-healthy.lines") -eq 101 ]] || e2e_fail "terminal: not 101 lines"
each_stalled_daemon terminal
stop_fake

# ---- the window ----
e2e_start_display
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy

window_run() { # label daemon
  local label=$1 daemon=$2 data="$E2E/data-w-$1"
  mkdir -p "$data"
  use_daemon "$daemon"
  "$game" --window --seed 7 --data-dir "$data" 2>"$E2E/stderr-w-$label" &
  game_pid=$!
  e2e_track "$game_pid"
  e2e_find_window "$game_pid"
  xprop -spy -id "$window" _NET_WM_NAME >"$E2E/titles-$label" 2>/dev/null &
  local spy=$!
  title() { xdotool getwindowname "$window" 2>/dev/null; }
  local count=1 key expected
  if [[ "$daemon" == capture ]]; then
    # The lines as the window gave them: spoken.
    shown() { spoken_lines; }
    wait_welcome_spoken
    for key in "${keys[@]}"; do
      xdotool key --window "$window" "$key"
      count=$((count + 1))
      wait_for '(( $(shown | wc -l) >= count ))' 30 ||
        e2e_fail "window $label: no line for key $count ($key): $(shown | tail -n 2)"
    done
  else
    # Each key's line must show as with the healthy daemon: in the title
    # while the voice is missing, else sent to the (late) daemon.
    : >"$E2E/window-$label.shown"
    shown() { cat "$E2E/window-$label.shown"; }
    seen() { # line: shown in the title or the newest line the daemon was sent
      if [[ "$(title)" == "$1" ]]; then echo "$1" >>"$E2E/window-$label.shown"; return 0; fi
      if (($(fake_spoken | wc -l) > spoken_before)) && [[ "$(fake_spoken | tail -n 1)" == "$1" ]]; then
        echo "$1" >>"$E2E/window-$label.shown"
        return 0
      fi
      return 1
    }
    local spoken_before=0
    expected=$(sed -n 1p "$E2E/window-healthy.lines")
    wait_for 'seen "$expected"' 30 || e2e_fail "window $label: no welcome; title '$(title)'"
    for key in "${keys[@]}"; do
      halfway_wait "$daemon" "$count"
      spoken_before=$(fake_spoken | wc -l)
      xdotool key --window "$window" "$key"
      count=$((count + 1))
      expected=$(sed -n "${count}p" "$E2E/window-healthy.lines")
      wait_for 'seen "$expected"' 30 ||
        e2e_fail "window $label: key $count ($key) did not show '$expected'; title '$(title)'"
    done
  fi
  shown >"$E2E/window-$label.lines"
  if [[ "$daemon" != capture ]]; then
    [[ $(grep -cF "quillvane: no voice" "$E2E/stderr-w-$label") -eq 1 ]] ||
      e2e_fail "window $label: the missing voice was not told once on stderr"
  fi
  # Closing the window ends the game without waiting for the daemon,
  # stalled or not.
  local start status=0 elapsed
  # The clock starts once the request to close has reached the X server.
  "$(dirname "$game")/close_window" "$window"
  start=$(date +%s%N)
  e2e_wait_gone "$game_pid" || e2e_fail "window $label: closing did not end the game"
  elapsed=$(e2e_ms_since "$start")
  echo "window ($daemon): ended ${elapsed} ms after the window was closed"
  ((elapsed < 2000)) || e2e_fail "window $label: waited for the daemon: ended ${elapsed} ms after the close"
  wait "$game_pid" || status=$?
  ((status == 0)) || e2e_fail "window $label: exit status $status"
  e2e_end_process "$spy"
}

window_run healthy capture
[[ $(wc -l <"$E2E/window-healthy.lines") -eq 101 ]] || e2e_fail "window: not 101 lines"
if ! diff "$E2E/terminal-healthy.lines" "$E2E/window-healthy.lines" >&2; then
  e2e_fail "the window spoke other lines than the terminal printed"
fi
each_stalled_daemon window
[[ -n "$(fake_spoken)" ]] || e2e_fail "window: the late daemon's voice never took over"
echo "stalled speech: ok"
