#!/usr/bin/env bash
# Figures (not a test): the time from a key being read to its line leaving
# the game's thread (handed to the voice's thread, or put in the title while
# the voice is missing), in both Linux front-ends, with a live (capture)
# speech-dispatcher and with one that accepts and never answers. Median and
# 99th percentile over 200 keys, from stamps the game writes when
# QUILLVANE_SPEECH_STAMP is set. Goal: under 2 ms at the 99th percentile,
# the same with the stalled daemon.
#
#   bench/speech_latency.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/lib.sh"
e2e_game "${1:-$root/build}"
e2e_begin latency

python3 "$root/tests/e2e/fake_speechd.py" "$E2E/silent.sock" silent &
e2e_track $!
e2e_start_display
wait_for '[[ -S "$E2E/silent.sock" ]]' 30 || e2e_fail "the fake daemon did not start"
export QUILLVANE_SPEECH_STAMP=1 SDL_AUDIODRIVER=dummy

# Median and 99th percentile of key-to-line times, from a stamp file, from
# its line $2 on.
figures() {
  tail -n +"$2" "$1" | awk '/^key at/ { key = $3; next }
       /^line at/ && key { print ($3 - key) / 1e6; key = 0 }' | sort -g |
    awk '{ v[NR] = $1 } END {
      if (NR == 0) { print "no stamps"; exit }
      p = int(NR * 0.99 + 0.999); if (p > NR) p = NR
      printf "median %.3f ms, p99 %.3f ms over %d keys\n", v[int((NR + 1) / 2)], v[p], NR }'
}

# How many lines the game has said so far, from its stamps in the file $1.
lines_said() { grep -c '^line at' "$1" 2>/dev/null || true; }

daemon_env() { # capture | stalled
  if [[ "$1" == capture ]]; then echo "SPEECHD_ADDRESS="; else echo "SPEECHD_ADDRESS=unix_socket:$E2E/silent.sock"; fi
}

# Waits until the game has settled with its voice: the capture daemon was
# sent the welcome, or the stalled one was given up on (the window says so
# on standard error, the terminal in a printed line).
voice_settled() { # daemon stderr
  local stderr=$2
  if [[ "$1" == capture ]]; then
    wait_welcome_spoken
  else
    wait_for 'grep -qs "no voice" "$stderr" || screen 2>/dev/null | grep -q "^No voice"' 30 ||
      e2e_fail "the stalled daemon was not given up on"
  fi
}

# Presses the key $@ and waits until its line is said.
press_and_wait() { # stderr key-command...
  local stamps=$1 before
  shift
  before=$(lines_said "$stamps")
  "$@"
  wait_for '(($(lines_said "$stamps") > before))' 30 || e2e_fail "no line for the key $*"
}

window_run() { # daemon
  local data="$E2E/data-w-$1" err="$E2E/w-$1.err" pid from
  mkdir -p "$data"
  e2e_fresh_speech
  env $(daemon_env "$1") SDL_VIDEODRIVER=x11 "$game" --window --seed 7 --data-dir "$data" 2>"$err" &
  pid=$!
  e2e_track "$pid"
  e2e_find_window "$pid"
  voice_settled "$1" "$err"
  press_and_wait "$err" xdotool key --window "$window" Return
  press_and_wait "$err" xdotool key --window "$window" Return
  from=$(($(wc -l <"$err") + 1))
  local keys=() count
  for _ in $(seq 100); do keys+=(Down Up); done
  count=$(lines_said "$err")
  xdotool key --window "$window" --delay 20 "${keys[@]}"
  wait_for '(($(lines_said "$err") >= count + 200))' 60 || echo "window, $1: not every key was answered"
  echo "window, $1 speech-dispatcher: $(figures "$err" "$from")"
  e2e_end_process "$pid"
}

terminal_run() { # daemon
  local data="$E2E/data-t-$1" err="$E2E/t-$1.err" pid from
  mkdir -p "$data"
  e2e_fresh_speech
  rm -f "$E2E/pid"
  e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY $(daemon_env "$1") '$game' --seed 7 --data-dir '$data' \\
    2>'$err'" >"$E2E/run-$1.sh"
  E2E_SESSION="t$1"
  e2e_tmux "t$1" 120x30 "bash $E2E/run-$1.sh"
  wait_for '[[ -s "$E2E/pid" ]]' 30 || e2e_fail "the terminal game did not start"
  pid=$(cat "$E2E/pid")
  voice_settled "$1" "$err"
  press_and_wait "$err" key Enter
  press_and_wait "$err" key Enter
  from=$(($(wc -l <"$err") + 1))
  # One key at a time, each once the line of the one before has been said.
  for _ in $(seq 100); do
    press_and_wait "$err" key Down
    press_and_wait "$err" key Up
  done
  echo "terminal, $1 speech-dispatcher: $(figures "$err" "$from")"
  key C-c
  wait_for '[[ ! -e /proc/$pid ]]' 30 || echo "terminal, $1: the game did not end"
  tmux_ kill-session -t "t$1" 2>/dev/null || true
}

window_run capture
window_run stalled
terminal_run capture
terminal_run stalled
