# Shared set-up for the front-end end-to-end scenarios: a private
# speech-dispatcher that records what it is sent, a virtual display, polling
# helpers with generous timeouts. Sourced by the scenario scripts.

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A virtual display of its own (Xvfb picks a free number and writes it to
# fd 3), of the size WIDTHxHEIGHT (default 1024x768); DISPLAY names it and
# xvfb_pid is its process, for the scenario's clean-up.
e2e_start_display() {
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$E2E/display" \
    2>"$E2E/xvfb.log" &
  xvfb_pid=$!
  wait_for '[[ -s "$E2E/display" ]]' 30 || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(cat "$E2E/display")"
}

# Polls a command until it succeeds or about $2 seconds (default 30) pass.
wait_for() {
  local command="$1" limit="${2:-30}" tries=0
  until eval "$command"; do
    tries=$((tries + 1))
    if ((tries > limit * 10)); then return 1; fi
    sleep 0.1
  done
}

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

# A work folder with its own HOME and XDG_RUNTIME_DIR, so that the game's
# autospawned speech-dispatcher uses the capture set-up above.
e2e_setup_speech() {
  E2E=$(mktemp -d)
  mkdir -p "$E2E/run" "$E2E/data"
  chmod 700 "$E2E/run"
  e2e_write_speech_config "$E2E/home" "$E2E/spoken.txt"
  export HOME="$E2E/home" XDG_RUNTIME_DIR="$E2E/run"
  SPEECH_LOG="$E2E/run/speech-dispatcher/log/speech-dispatcher.log"
  unset SPEECHD_ADDRESS
}

# What the game has sent to speech-dispatcher, one line each, in order.
spoken_lines() {
  [[ -f "$SPEECH_LOG" ]] || return 0
  # The log holds every line of the protocol; the text of each message
  # stands between "speak" and the line with a lone full stop.
  grep -a -o 'DATA:|.*' "$SPEECH_LOG" | sed 's/^DATA:|//; s/\r$//' |
    awk '/^speak$/ { text = 1; next } text && /^\.$/ { text = 0; next } text { sub(/^\.\./, "."); print }'
}

# Waits until the last spoken line is exactly $1.
wait_spoken() {
  wait_for "[[ \"\$(spoken_lines | tail -n 1)\" == \"$1\" ]]" "${2:-30}" ||
    e2e_fail "expected the last spoken line '$1'; spoken so far:
$(spoken_lines)"
}

# Stops the private speech-dispatcher started for this scenario.
e2e_stop_speech() {
  local pidfile="$E2E/run/speech-dispatcher/pid/speech-dispatcher.pid"
  if [[ -f "$pidfile" ]]; then kill "$(cat "$pidfile")" 2>/dev/null || true; fi
}

# Every line the game says from start-up through an easy game in which Dirt
# and Water are found with letter jumps, put in the slots and combined.
E2E_DIRT_WATER_LINES="Welcome to Quillvane, version (0.7 beta), by Orlick
Choose puzzle difficulty
Beginning puzzle on easy mode
Dirt, you have 2.
Dirt in slot 1.
Water, you have 2.
Water in slot 2.  Press Shift and Enter to combine.
Mud and Mud created.
You have discovered Mud, which is part of the General collection!
New discovery!  Combining Dirt and Water creates Mud and Mud."
