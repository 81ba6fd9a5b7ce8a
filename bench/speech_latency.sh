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
game=$(cd "${1:-$root/build}" && pwd)/quillvane
[[ -x "$game" ]] || { echo "no game at $game" >&2; exit 1; }

e2e_setup_speech
socket="quillvane-latency-$$"
xvfb_pid="" fake_pid=""
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  [[ -n "$fake_pid" ]] && kill "$fake_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  e2e_stop_speech
  rm -rf "$E2E"
}
trap cleanup EXIT

python3 "$root/tests/e2e/fake_speechd.py" "$E2E/silent.sock" silent &
fake_pid=$!
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$E2E/display" 2>/dev/null &
xvfb_pid=$!
wait_for '[[ -s "$E2E/display" && -S "$E2E/silent.sock" ]]' 30
export QUILLVANE_SPEECH_STAMP=1 SDL_AUDIODRIVER=dummy

# Median and 99th percentile of key-to-line times, from a stamp file.
figures() {
  awk '/^key at/ { key = $3; next }
       /^line at/ && key { print ($3 - key) / 1e6; key = 0 }' "$1" | sort -g |
    awk '{ v[NR] = $1 } END {
      if (NR == 0) { print "no stamps"; exit }
      p = int(NR * 0.99 + 0.999); if (p > NR) p = NR
      printf "median %.3f ms, p99 %.3f ms over %d keys\n", v[int((NR + 1) / 2)], v[p], NR }'
}

daemon_env() { # capture | stalled
  if [[ "$1" == capture ]]; then echo "SPEECHD_ADDRESS="; else echo "SPEECHD_ADDRESS=unix_socket:$E2E/silent.sock"; fi
}

window_run() { # daemon
  local data="$E2E/data-w-$1" pid window
  mkdir -p "$data"
  env $(daemon_env "$1") DISPLAY=":$(cat "$E2E/display")" SDL_VIDEODRIVER=x11 \
    "$game" --window --seed 7 --data-dir "$data" 2>"$E2E/w-$1.err" &
  pid=$!
  export DISPLAY=":$(cat "$E2E/display")"
  wait_for 'xdotool search --pid "$pid" --name Quillvane >/dev/null 2>&1' 30
  window=$(xdotool search --pid "$pid" --name Quillvane | head -n 1)
  sleep 3.5 # past the time a stalled daemon is given up on
  xdotool key --window "$window" Return
  sleep 0.3
  xdotool key --window "$window" Return
  sleep 0.3
  : >"$E2E/w-$1.err"
  local keys=()
  for _ in $(seq 100); do keys+=(Down Up); done
  xdotool key --window "$window" --delay 20 "${keys[@]}"
  sleep 0.5
  echo "window, $1 speech-dispatcher: $(figures "$E2E/w-$1.err")"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

terminal_run() { # daemon
  local data="$E2E/data-t-$1"
  mkdir -p "$data"
  tmux -L "$socket" -f /dev/null new-session -d -s "t$1" -x 120 -y 30 \
    "env -u DISPLAY -u WAYLAND_DISPLAY $(daemon_env "$1") '$game' --seed 7 --data-dir '$data' 2>'$E2E/t-$1.err'; sleep 600"
  sleep 3.5
  tmux -L "$socket" send-keys -t "t$1" Enter
  sleep 0.3
  tmux -L "$socket" send-keys -t "t$1" Enter
  sleep 0.3
  : >"$E2E/t-$1.err"
  for _ in $(seq 100); do
    tmux -L "$socket" send-keys -t "t$1" Down
    sleep 0.01
    tmux -L "$socket" send-keys -t "t$1" Up
    sleep 0.01
  done
  sleep 0.5
  echo "terminal, $1 speech-dispatcher: $(figures "$E2E/t-$1.err")"
  tmux -L "$socket" send-keys -t "t$1" C-c
  sleep 0.3
  tmux -L "$socket" kill-session -t "t$1" 2>/dev/null || true
}

window_run capture
window_run stalled
terminal_run capture
terminal_run stalled
