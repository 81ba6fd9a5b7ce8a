# The one harness of the front-end end-to-end scenarios, scripts/test-package.sh
# and the benchmarks: bounded polls, the game's version as it reports it, a
# work folder with a private speech-dispatcher that records what it is sent,
# a virtual display, a tmux server of the scenario's own and its screen,
# screenshots and recorded audio, and one clean-up at exit that ends every
# process the scenario started. Sourced, never run.
#
# Nothing here waits for a fixed time: every wait polls for what a player
# would notice (a printed or spoken line, a window, a file) and gives up,
# failing, after a bound generous enough for a busy machine.

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Polls the command $1 until it succeeds or about $2 seconds (default 30)
# pass. The bound is measured on the clock, not counted in tries, so that a
# slow command does not stretch it. The command is evaluated here: it sees
# the caller's variables, but $1, $2 … are wait_for's own.
wait_for() {
  local wait_for_deadline=$((SECONDS + ${2:-30}))
  until eval "$1"; do
    ((SECONDS < wait_for_deadline)) || return 1
    sleep 0.1
  done
}

# ---- clean-up ----

# Commands run at exit, the newest first, whatever the outcome.
E2E_AT_EXIT=()
e2e_at_exit() {
  E2E_AT_EXIT+=("$1")
  trap e2e_cleanup EXIT
}
e2e_cleanup() {
  local i
  set +e
  for ((i = ${#E2E_AT_EXIT[@]} - 1; i >= 0; i--)); do eval "${E2E_AT_EXIT[i]}"; done
}

# Ends a process by its id: asks it to end, then, after 5 s, forces it.
# Only the process meant is hit, never one that took over its id: without
# $2 it must be this script's child (a finished and reaped one is left
# alone); with a program name $2, a daemon that is not our child, it must be
# running that program.
e2e_end_process() {
  local pid=$1 program=${2:-} comm
  [[ -n "$pid" ]] || return 0
  if [[ -n "$program" ]]; then
    comm=$(cat "/proc/$pid/comm" 2>/dev/null) || return 0
    # The kernel keeps the first 15 bytes of the name.
    [[ -n "$comm" && "$program" == "$comm"* ]] || return 0
  else
    [[ "$(ps -o ppid= -p "$pid" 2>/dev/null | tr -d ' ')" == "$$" ]] || return 0
  fi
  kill "$pid" 2>/dev/null || return 0
  wait_for '! kill -0 "$pid" 2>/dev/null || [[ "$(ps -o stat= -p "$pid")" == Z* ]]' 5 ||
    kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Waits until the process $1 has ended, at most $2 seconds (default 10).
# It polls every 10 ms with the shell's own kill, so that a time measured
# around it is the game's, not the poll's.
e2e_wait_gone() {
  local pid=$1 deadline=$((SECONDS + ${2:-10}))
  while kill -0 "$pid" 2>/dev/null; do
    ((SECONDS < deadline)) || return 1
    sleep 0.01
  done
}

# Milliseconds since the moment $1 (from date +%s%N).
e2e_ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

# A process started in the background, ended at exit.
e2e_track() { e2e_at_exit "e2e_end_process $1"; }

# ---- the game ----

# The game in the build folder $1: sets build, game and the lines that carry
# the version, asked once of the game itself (`quillvane --version`).
e2e_game() {
  build=$(cd "${1:?no build folder given}" && pwd) || e2e_fail "no build folder $1"
  game=$build/quillvane
  [[ -x "$game" ]] || e2e_fail "no game at $game: build it first"
  e2e_version "$game"
}

# Sets QUILLVANE_VERSION (what `--version` says after "quillvane ") from
# the game $1, and the lines built from it: E2E_WELCOME (the first line
# said), E2E_TITLE (the window title) and E2E_DIRT_WATER_LINES.
e2e_version() {
  local line
  line=$("$1" --version) || e2e_fail "$1 --version failed"
  QUILLVANE_VERSION=${line#quillvane }
  [[ "$line" == "quillvane $QUILLVANE_VERSION" && -n "$QUILLVANE_VERSION" ]] ||
    e2e_fail "odd --version: $line"
  E2E_WELCOME="Welcome to Quillvane, version ($QUILLVANE_VERSION), by Orlick"
  E2E_TITLE="Orlick's Quillvane (v$QUILLVANE_VERSION)"
  # Every line the game says from start-up through an easy game in which
  # Dirt and Water are found with letter jumps, put in the slots and
  # combined.
  E2E_DIRT_WATER_LINES="$E2E_WELCOME
Choose puzzle difficulty
Beginning puzzle on easy mode
Dirt, you have 2.
Dirt in slot 1.
Water, you have 2.
Water in slot 2.  Press Shift and Enter to combine.
Mud and Mud created.
You have discovered Mud, which is part of the General collection!
New discovery!  Combining Dirt and Water creates Mud and Mud."
}

# ---- the work folder and speech-dispatcher ----

# Writes, under the home folder $1, a speech-dispatcher set-up that the
# game's autospawned daemon picks up: a capture module instead of a sound
# card, every line it speaks appended to the file $2, and every protocol
# line logged.
e2e_write_speech_config() {
  local home="$1" spoken="$2"
  mkdir -p "$home/.config/speech-dispatcher/modules"
  printf 'default_driver=null\nquiet\n' >"$home/.libao"
  cat >"$home/.config/speech-dispatcher/speechd.conf" <<'CONF'
LogLevel 5
Timeout 2
AudioOutputMethod "libao"
AddModule "capture" "sd_generic" "capture.conf"
DefaultModule capture
LanguageDefaultModule "en" "capture"
CONF
  cat >"$home/.config/speech-dispatcher/modules/capture.conf" <<CONF
GenericExecuteSynth "printf '%s|%s\\\\n' \'\$RATE\' \'\$DATA\' >> $spoken"
GenericRateAdd 0
GenericRateMultiply 100
GenericRateForceInteger 1
AddVoice "en" "MALE1" "en"
CONF
}

# The scenario's work folder E2E, with its own HOME and XDG_RUNTIME_DIR so
# that the game's autospawned speech-dispatcher uses the capture set-up
# above, and a data folder E2E/data. $1 names the scenario (its tmux socket).
# Removed at exit unless E2E_KEEP=1.
e2e_begin() {
  E2E=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-e2e.XXXXXX")
  e2e_at_exit '[[ "${E2E_KEEP:-}" == 1 ]] && echo "kept $E2E" >&2 || rm -rf "$E2E"'
  mkdir -p "$E2E/run" "$E2E/data"
  chmod 700 "$E2E/run"
  e2e_write_speech_config "$E2E/home" "$E2E/spoken.txt"
  export HOME="$E2E/home" XDG_RUNTIME_DIR="$E2E/run"
  SPEECH_LOG="$E2E/run/speech-dispatcher/log/speech-dispatcher.log"
  unset SPEECHD_ADDRESS
  e2e_at_exit e2e_stop_speech
  E2E_TMUX_SOCKET="quillvane-${1:-e2e}-$$"
  e2e_at_exit "tmux_ kill-server 2>/dev/null"
}

# Stops the private speech-dispatcher the game started for this scenario,
# and waits until it is gone, so that the next game starts a fresh one.
e2e_stop_speech() {
  local pidfile="$E2E/run/speech-dispatcher/pid/speech-dispatcher.pid" pid
  pid=$(cat "$pidfile" 2>/dev/null) || return 0
  [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == speech-dispatc* ]] || return 0
  kill "$pid" 2>/dev/null || return 0
  wait_for '[[ ! -e /proc/$pid ]]' 10 || kill -9 "$pid" 2>/dev/null || true
}

# The daemon's log (LogLevel 5: every protocol line). A script whose daemon
# runs as another user reads it in its own way.
e2e_speech_log() { cat "$SPEECH_LOG" 2>/dev/null || true; }

# A fresh capture daemon for the next game, so that its log holds only
# that game's lines.
e2e_fresh_speech() {
  e2e_stop_speech
  rm -f "$SPEECH_LOG"
}

# What the game has sent to speech-dispatcher, one line each, in order.
spoken_lines() {
  # The log holds every line of the protocol; the text of each message
  # stands between "speak" and the line with a lone full stop.
  e2e_speech_log | grep -a -o 'DATA:|.*' | sed 's/^DATA:|//; s/\r$//' |
    awk '/^speak$/ { text = 1; next } text && /^\.$/ { text = 0; next } text { sub(/^\.\./, "."); print }'
}

# Waits until the last spoken line is exactly $1 (at most $2 seconds).
wait_spoken() {
  wait_for "[[ \"\$(spoken_lines | tail -n 1)\" == \"$1\" ]]" "${2:-30}" ||
    e2e_fail "expected the last spoken line '$1'; spoken so far:
$(spoken_lines)"
}

# Waits, as a player does, until the welcome line has been spoken: the
# voice connects beside the game (starting the daemon takes a while on a
# busy machine), and a key pressed before then would rightly replace the
# welcome with its own line.
wait_welcome_spoken() {
  wait_for '[[ "$(spoken_lines | head -n 1)" == "$E2E_WELCOME" ]]' "${1:-30}" ||
    e2e_fail "the welcome line was not spoken; spoken so far:
$(spoken_lines)"
}

# ---- the virtual display ----

# A virtual display of its own (Xvfb picks a free number and writes it to
# fd 3), of the size WIDTHxHEIGHT (default 1024x768); DISPLAY names it.
e2e_start_display() {
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$E2E/display" \
    2>"$E2E/xvfb.log" &
  e2e_track $!
  wait_for '[[ -s "$E2E/display" ]]' 30 || e2e_fail "Xvfb did not start: $(cat "$E2E/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$E2E/display")"
}

# Waits for a window of the game (of the process $1, or any) and sets
# window to it.
e2e_find_window() {
  local search=(xdotool search)
  [[ -n "${1:-}" ]] && search+=(--pid "$1")
  wait_for '"${search[@]}" --name "Quillvane" >/dev/null 2>&1' 30 || e2e_fail "no window appeared"
  window=$("${search[@]}" --name "Quillvane" | head -n 1)
}

# A screenshot of the window $1 in E2E/shot.png.
e2e_shot() { import -window "$1" "$E2E/shot.png" 2>/dev/null; }

# The pixels of the exact colour $1 in the last screenshot, at or right of
# column $2, as "x y" lines.
e2e_pixels() {
  convert "$E2E/shot.png" txt:- | awk -v colour="$1" -v from="${2:-0}" '
    index($0, colour) { split($1, p, /[,:]/); if (p[1] + 0 >= from) print p[1], p[2] }'
}

# ---- tmux ----

# The scenario's own tmux server.
tmux_() { tmux -L "$E2E_TMUX_SOCKET" "$@"; }

# Starts the tmux session $1 (COLUMNSxROWS $2) running the command $3, with
# the tmux configuration $4 (default none). With $5, every byte the pane is
# sent is appended to the file $5 from the first on: the command waits until
# the recording runs. The server ends at exit.
e2e_tmux() {
  local session=$1 size=$2 command=$3 conf=${4:-/dev/null} record=${5:-}
  if [[ -n "$record" ]]; then
    command="tmux -L '$E2E_TMUX_SOCKET' wait-for '$session-recorded' && $command"
  fi
  tmux_ -f "$conf" new-session -d -s "$session" -x "${size%x*}" -y "${size#*x}" "$command"
  if [[ -n "$record" ]]; then
    tmux_ pipe-pane -t "$session" -o "cat >> '$record'"
    tmux_ wait-for -S "$session-recorded"
  fi
}

# A shell script for a pane: runs the command line $1 (a command, with
# redirections; variables are set through env) as a player starts the game
# (its process id in E2E/pid, where there is a work folder), then
# prints whether the terminal settings came back (TERMINAL RESTORED or
# CHANGED) and the exit status (EXIT=N), runs $2 if given, and keeps the
# pane open so that it can be read.
e2e_pane_script() {
  local record_pid=""
  [[ -n "${E2E:-}" ]] && record_pid="echo \$BASHPID >'$E2E/pid'; "
  cat <<RUN
before=\$(stty -g)
(${record_pid}exec $1)
status=\$?
after=\$(stty -g)
[ "\$before" = "\$after" ] && echo "TERMINAL RESTORED" || echo "TERMINAL CHANGED"
echo "EXIT=\$status"
${2:-}
exec sleep 3600
RUN
}

# The printed lines of the tmux session E2E_SESSION (default game), with
# the scrollback, without empty lines and without the rows of one space the
# terminal leaves between lines at the foot of a full screen. A scenario
# that reads its lines elsewhere defines its own screen.
screen() { tmux_ capture-pane -t "${E2E_SESSION:-game}" -p -J -S - | sed '/^ *$/d'; }

# Waits until the last printed line is exactly $1 (at most $2 seconds).
wait_screen() {
  wait_for "[[ \"\$(screen | tail -n 1)\" == \"$1\" ]]" "${2:-30}" ||
    e2e_fail "expected the last printed line '$1'; the screen:
$(screen)"
}

# Sends keys to the session E2E_SESSION (default game).
key() { tmux_ send-keys -t "${E2E_SESSION:-game}" "$@"; }

# ---- audio ----

# The peak amplitude of raw cue audio (44.1 kHz, 16-bit, stereo) read from
# standard input; 0 for silence or nothing.
e2e_peak() {
  sox -t raw -r 44100 -b 16 -e signed-integer -c 2 - -n stat 2>&1 |
    awk '/Maximum amplitude/ { peak = $3 } END { print peak + 0 }'
}

# Succeeds when the audio file $1 holds more than silence.
e2e_sounded() { [[ -s "$1" && "$(e2e_peak <"$1")" != 0 ]]; }
