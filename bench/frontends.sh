#!/usr/bin/env bash
# Figures for the Linux front-ends (not a test: it prints, it never fails on a
# number). For the window under Xvfb and for the terminal under tmux:
#   - CPU seconds the game uses while it waits 10 seconds for a key
#     (the game's own thread, and the whole process with the audio thread),
#   - time from starting the program to its first frame (the window's first
#     drawn list; the terminal's first printed line), cold and warm,
#   - peak memory (resident set).
# The wait is measured a few seconds after a cue (the audio device closes
# once the cues are over). Goals: under 0.01 CPU s per 10 s of waiting, under 150 ms to the first
# frame warm, under 60 MB.
#
#   bench/frontends.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/lib.sh"
game=$(cd "${1:-$root/build}" && pwd)/quillvane
[[ -x "$game" ]] || { echo "no game at $game" >&2; exit 1; }

e2e_setup_speech
socket="quillvane-bench-$$"
xvfb_pid=""
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  e2e_stop_speech
  rm -rf "$E2E"
}
trap cleanup EXIT

# CPU time of every thread of a process, and of its first thread, in seconds
# (from the scheduler's nanosecond counters).
cpu_all() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { printf "%.6f", s / 1e9 }'; }
cpu_main() { awk '{ printf "%.6f", $1 / 1e9 }' /proc/"$1"/schedstat; }
peak_mb() { awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' /proc/"$1"/status; }
# Now on the monotonic clock the game stamps its first frame with, in
# nanoseconds.
monotonic_ns() { python3 -c 'import time; print(time.monotonic_ns())'; }
first_frame_ms() { # start stamp (ns), stderr file
  wait_for "grep -qs 'first frame at' '$2'" 30 || { echo "none"; return; }
  local frame
  frame=$(awk '/first frame at/ { print $4; exit }' "$2")
  awk -v a="$1" -v b="$frame" 'BEGIN { printf "%.1f", (b - a) / 1e6 }'
}
idle_cpu() { # pid
  sleep 6 # let start-up settle and the audio device close after the cue
  local all0 main0 all1 main1
  all0=$(cpu_all "$1") main0=$(cpu_main "$1")
  sleep 10
  all1=$(cpu_all "$1") main1=$(cpu_main "$1")
  awk -v a="$main0" -v b="$main1" -v c="$all0" -v d="$all1" \
    'BEGIN { printf "game thread %.6f s, whole process %.6f s", b - a, d - c }'
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$E2E/display" 2>/dev/null &
xvfb_pid=$!
wait_for '[[ -s "$E2E/display" ]]' 30
export QUILLVANE_FIRST_FRAME_STAMP=1 SDL_AUDIODRIVER=dummy

window_run() { # label
  local start pid
  start=$(monotonic_ns)
  DISPLAY=":$(cat "$E2E/display")" SDL_VIDEODRIVER=x11 \
    "$game" --window --data-dir "$E2E/data" 2>"$E2E/window.$1.err" &
  pid=$!
  local frame
  frame=$(first_frame_ms "$start" "$E2E/window.$1.err")
  if [[ "$1" == warm ]]; then
    # A cue (Tab's speech-mode cue) first, so the wait below follows one.
    DISPLAY=":$(cat "$E2E/display")" xdotool key Tab
    echo "window: first frame $frame ms (warm)"
    echo "window: CPU during a 10 s wait: $(idle_cpu "$pid")"
    echo "window: peak memory $(peak_mb "$pid") MB"
  else
    echo "window: first frame $frame ms (cold)"
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

terminal_run() { # label
  local start pid
  start=$(monotonic_ns)
  tmux -L "$socket" -f /dev/null new-session -d -s "t$1" -x 120 -y 30 \
    "env -u DISPLAY -u WAYLAND_DISPLAY '$game' --data-dir '$E2E/data' 2>'$E2E/terminal.$1.err'; sleep 600"
  local frame
  frame=$(first_frame_ms "$start" "$E2E/terminal.$1.err")
  pid=$(pgrep -n -f "^$game --data-dir $E2E/data" || true)
  if [[ "$1" == warm && -n "$pid" ]]; then
    tmux -L "$socket" send-keys -t "t$1" Tab
    echo "terminal: first line $frame ms (warm, includes starting tmux)"
    echo "terminal: CPU during a 10 s wait: $(idle_cpu "$pid")"
    echo "terminal: peak memory $(peak_mb "$pid") MB"
  else
    echo "terminal: first line $frame ms ($1, includes starting tmux)"
  fi
  tmux -L "$socket" send-keys -t "t$1" C-c
  sleep 0.5
  tmux -L "$socket" kill-session -t "t$1" 2>/dev/null || true
}

window_run cold
window_run warm
terminal_run cold
terminal_run warm
