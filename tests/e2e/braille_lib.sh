# A braille display with no hardware, for the end-to-end scenarios: BRLTTY
# with its virtual ("vr") driver, connected to braille_display.py, which
# plays a display of 40 cells, logs every view it is sent and presses its
# keys, and a BrlAPI server on loopback without a key, for the game's
# --braille or for Orca (BRLAPI_HOST=127.0.0.1:$BRAILLE_PORT BRLAPI_AUTH=none).
# Sourced after lib.sh, inside a scenario's work folder (E2E).

# Starts the display ($1 cells, default 40) and BRLTTY with folders of
# their own in E2E/brltty; waits until BRLTTY has connected to the display
# and its BrlAPI server listens. Sets BRAILLE_LOG, BRAILLE_KEYS and
# BRAILLE_PORT, and exports BRLAPI_HOST and BRLAPI_AUTH.
braille_start() {
  local cells=${1:-40} here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  mkdir -p "$E2E/brltty/writable" "$E2E/brltty/updatable"
  BRAILLE_LOG="$E2E/brltty/display.log" BRAILLE_KEYS="$E2E/brltty/keys"
  : >"$BRAILLE_LOG"
  # A BrlAPI address host:N listens on port 4101 + N: the first free one.
  BRAILLE_PORT=$(python3 -c '
import socket
for n in range(200, 400):
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", 4101 + n))
    except OSError:
        continue
    print(n)
    break')
  [[ -n "$BRAILLE_PORT" ]] || e2e_fail "no free BrlAPI port"
  python3 "$here/braille_display.py" "$E2E/brltty/display.sock" "$BRAILLE_KEYS" "$BRAILLE_LOG" \
    "$cells" 9>&- &
  braille_display_pid=$!
  e2e_track "$braille_display_pid"
  wait_for '[[ -S "$E2E/brltty/display.sock" ]]' 30 || e2e_fail "the braille display did not start"
  braille_start_brltty
  export BRLAPI_HOST="127.0.0.1:$BRAILLE_PORT" BRLAPI_AUTH=none
}

# BRLTTY in the foreground (so that it is ended by its id), without its
# start-up message (which holds the display for seconds): no configuration
# file, no screen driver, no speech, its own folders instead of /run and
# /var/lib, the vr driver as the display's client.
braille_start_brltty() {
  local connections
  connections=$(grep -c '^[0-9.]* connected' "$BRAILLE_LOG" || true)
  # Each BRLTTY starts from the defaults: the last one's preferences (its
  # information line shown, for one) are not carried over.
  rm -f "$E2E/brltty/preferences"
  brltty -n -q -e -l info -f /dev/null -F "$E2E/brltty/preferences" -W "$E2E/brltty/writable" \
    -U "$E2E/brltty/updatable" -b vr -d "client:$E2E/brltty/display.sock" -x no -s no \
    -A "Host=127.0.0.1:$BRAILLE_PORT,Auth=none" >"$E2E/brltty/brltty.log" 2>&1 9>&- &
  braille_brltty_pid=$!
  e2e_track "$braille_brltty_pid"
  wait_for '(( $(grep -c "^[0-9.]* connected" "$BRAILLE_LOG" || true) > connections ))' 30 ||
    e2e_fail "BRLTTY did not reach the display: $(tail -n 5 "$E2E/brltty/brltty.log")"
  # BRLTTY's own first view ("no screen") comes a moment after it connects:
  # a scenario's views start after it.
  wait_for '[[ "$(tail -n 1 "$BRAILLE_LOG")" == *" Visual "* ]]' 30 ||
    e2e_fail "BRLTTY showed nothing on the display: $(tail -n 5 "$E2E/brltty/brltty.log")"
  wait_for 'python3 -c "import socket; socket.create_connection((\"127.0.0.1\", 4101 + $BRAILLE_PORT)).close()" 2>/dev/null' 30 ||
    e2e_fail "BRLTTY's BrlAPI server does not listen: $(tail -n 5 "$E2E/brltty/brltty.log")"
}

# Ends BRLTTY (the display sees its connection close).
braille_stop_brltty() { e2e_end_process "${braille_brltty_pid:-}"; }

# Presses the display's key $1 (BRLTTY's command name: FWinRt, FWinLt).
braille_key() { echo "$1" >"$BRAILLE_KEYS"; }

# How many views the display has been sent.
braille_views() { grep -c ' Visual "' "$BRAILLE_LOG" || true; }

# The display's view number $1 (from 1), its cells as text.
braille_view() {
  grep ' Visual "' "$BRAILLE_LOG" | sed -n "${1}p" | sed 's/^[0-9.]* Visual "//; s/"$//'
}
