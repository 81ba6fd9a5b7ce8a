#!/usr/bin/env bash
# Figures for the Linux front-ends (not a test: it prints, it never fails on a
# number). For the window under Xvfb and for the terminal under tmux:
#   - CPU seconds the game uses while it waits 10 seconds for a key
#     (the game's own thread, and the whole process with the audio thread),
#   - time from starting the program to its first frame (the window's first
#     drawn list; the terminal's first printed line), cold and warm,
#   - peak memory (resident set),
#   - time from a quit in the middle of a move to the program's end (the
#     quit scenario of tests/e2e, by each way of asking).
# The wait is measured a few seconds after a cue (the audio device closes
# once the cues are over). Goals: under 0.01 CPU s per 10 s of waiting, under 150 ms to the first
# frame warm, under 60 MB, under 500 ms to quit.
#
#   bench/frontends.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/lib.sh"
e2e_game "${1:-$root/build}"
e2e_begin bench

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
# Whether the process $1 has the audio device open: SDL plays on a thread
# of its own, named SDLAudioP<device>, while the device is open.
audio_open() { grep -qs '^SDLAudio' /proc/"$1"/task/*/comm; }
idle_cpu() { # pid
  local pid=$1 all0 main0 all1 main1
  # The cue opens the audio device; once it has closed again (a few seconds
  # after the cue) the game is idle.
  wait_for 'audio_open "$pid"' 30 || { echo "the cue never opened the audio device"; return; }
  wait_for '! audio_open "$pid"' 30 || { echo "the audio device stayed open"; return; }
  all0=$(cpu_all "$pid") main0=$(cpu_main "$pid")
  sleep 10 # the wait that is measured
  all1=$(cpu_all "$pid") main1=$(cpu_main "$pid")
  awk -v a="$main0" -v b="$main1" -v c="$all0" -v d="$all1" \
    'BEGIN { printf "game thread %.6f s, whole process %.6f s", b - a, d - c }'
}

e2e_start_display
export QUILLVANE_FIRST_FRAME_STAMP=1 SDL_AUDIODRIVER=dummy

window_run() { # label
  local start pid
  start=$(monotonic_ns)
  SDL_VIDEODRIVER=x11 "$game" --window --data-dir "$E2E/data" 2>"$E2E/window.$1.err" &
  pid=$!
  e2e_track "$pid"
  local frame
  frame=$(first_frame_ms "$start" "$E2E/window.$1.err")
  if [[ "$1" == warm ]]; then
    # A cue (Tab's speech-mode cue) first, so the wait below follows one.
    e2e_find_window "$pid"
    xdotool key --window "$window" Tab
    echo "window: first frame $frame ms (warm)"
    echo "window: CPU during a 10 s wait: $(idle_cpu "$pid")"
    echo "window: peak memory $(peak_mb "$pid") MB"
  else
    echo "window: first frame $frame ms (cold)"
  fi
  e2e_end_process "$pid"
}

terminal_run() { # label
  local start pid
  rm -f "$E2E/pid"
  e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY '$game' --data-dir '$E2E/data' \\
    2>'$E2E/terminal.$1.err'" >"$E2E/run-$1.sh"
  start=$(monotonic_ns)
  e2e_tmux "t$1" 120x30 "bash $E2E/run-$1.sh"
  local frame
  frame=$(first_frame_ms "$start" "$E2E/terminal.$1.err")
  wait_for '[[ -s "$E2E/pid" ]]' 30
  pid=$(cat "$E2E/pid")
  if [[ "$1" == warm ]]; then
    tmux_ send-keys -t "t$1" Tab
    echo "terminal: first line $frame ms (warm, includes starting tmux)"
    echo "terminal: CPU during a 10 s wait: $(idle_cpu "$pid")"
    echo "terminal: peak memory $(peak_mb "$pid") MB"
  else
    echo "terminal: first line $frame ms ($1, includes starting tmux)"
  fi
  tmux_ send-keys -t "t$1" C-c
  wait_for '[[ ! -e /proc/$pid ]]' 30
  tmux_ kill-session -t "t$1" 2>/dev/null || true
}

window_run cold
window_run warm
terminal_run cold
terminal_run warm
for way in "terminal TERM" "terminal ctrl-c" "window close" "window INT"; do
  bash "$root/tests/e2e/quit.sh" "$build" $way | grep "ended"
done
