# A real screen reader for the end-to-end scenarios: Orca on a private
# accessibility bus under a virtual display, speaking through a private
# speech-dispatcher (espeak-ng into ALSA's null device, so no sound card is
# needed), with its debug log readable while it runs. Sourced after lib.sh.
#
# A scenario calls orca_enter_session "$0" "$@" first: it makes a work folder
# with its own HOME and XDG folders and runs the scenario again inside a
# private D-Bus session (services the bus starts, dconf and
# gnome-terminal-server, then use those folders). Inside, orca_start brings
# up the display, the accessibility bus and Orca, and has orca_stop end them
# at exit, with the harness's other clean-up (lib.sh's e2e_at_exit: a
# scenario's own EXIT trap would replace it, and leave Orca, its
# speech-dispatcher and every tracked process running).

# Outside the session: a work folder, then the scenario again inside
# dbus-run-session. Inside: nothing (ORCA_WORK is already set).
orca_enter_session() {
  if [[ -n "${ORCA_WORK:-}" ]]; then
    E2E=$ORCA_WORK
    return 0
  fi
  local work
  work=$(mktemp -d)
  mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/run"
  chmod 700 "$work/run"
  local status=0
  ORCA_WORK=$work HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run" \
    dbus-run-session -- bash "$@" || status=$?
  if [[ "${E2E_KEEP:-}" == 1 ]]; then
    echo "orca: work folder kept in $work" >&2
  else
    rm -rf "$work"
  fi
  exit "$status"
}

# speech-dispatcher as Orca starts it (autospawned from this HOME's
# configuration): espeak-ng into ALSA's null device. Its dummy module would
# refuse to start without an audio device. With ORCA_SLOW_VOICE=1 a silent
# voice instead that takes as long as a real one to read (1/15 s a
# character), so that Orca reads a page aloud at a player's pace.
orca_write_speech_config() {
  mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher/modules"
  if [[ "${ORCA_SLOW_VOICE:-}" == 1 ]]; then
    cat >"$XDG_CONFIG_HOME/speech-dispatcher/slow-voice" <<'SH'
#!/bin/sh
# Says nothing, for as long as a voice would take to say $1.
sleep "$(awk -v n="${#1}" 'BEGIN { print n / 15 }')"
SH
    chmod +x "$XDG_CONFIG_HOME/speech-dispatcher/slow-voice"
    cat >"$XDG_CONFIG_HOME/speech-dispatcher/modules/slow.conf" <<CONF
GenericExecuteSynth "$XDG_CONFIG_HOME/speech-dispatcher/slow-voice \'\$DATA\'"
GenericRateAdd 0
GenericRateMultiply 100
GenericRateForceInteger 1
AddVoice "en" "MALE1" "en"
CONF
    cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<'CONF'
Timeout 5
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "slow" "sd_generic" "slow.conf"
DefaultModule slow
LanguageDefaultModule "en" "slow"
CONF
    return 0
  fi
  cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<'CONF'
Timeout 5
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
LanguageDefaultModule "en" "espeak-ng"
CONF
}

# The display, the accessibility bus, toolkit accessibility on, and Orca
# with its debug log in $ORCA_LOG, line-buffered so that it can be polled.
# Waits until Orca has started speaking.
orca_start() {
  ORCA_LOG="$E2E/orca-debug.log"
  e2e_start_display 1280x800
  # Run at exit before the display is ended (the newest first).
  e2e_at_exit orca_stop
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E/at-spi.log" 2>&1 &
  orca_bus_pid=$!
  gsettings set org.gnome.desktop.interface toolkit-accessibility true
  gsettings set org.gnome.desktop.a11y.applications screen-reader-enabled true
  export GTK_MODULES=gail:atk-bridge
  unset NO_AT_BRIDGE
  dbus-update-activation-environment DISPLAY HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME \
    XDG_RUNTIME_DIR GTK_MODULES
  orca_write_speech_config
  mkdir -p "$XDG_DATA_HOME/orca"
  cat >"$XDG_DATA_HOME/orca/orca-customizations.py" <<'PY'
import orca.debug
orca.debug.debugFile.reconfigure(line_buffering=True)
PY
  : >"$ORCA_LOG"
  # Orca refuses to start while another Orca of the same user runs: wait for
  # it to end (scenarios of this project also take turns through a lock).
  exec 9>"${TMPDIR:-/tmp}/quillvane-orca-$(id -u).lock"
  flock -w 900 9 || e2e_fail "another Orca scenario held the lock for 15 minutes"
  wait_for '! pgrep -u "$(id -u)" -x orca >/dev/null' 900 ||
    e2e_fail "another Orca kept running for 15 minutes"
  orca --debug-file="$ORCA_LOG" >"$E2E/orca.out" 2>&1 9>&- &
  orca_pid=$!
  wait_for 'grep -q "SPEECH OUTPUT:" "$ORCA_LOG"' 60 ||
    e2e_fail "Orca did not start speaking; its output: $(tail -n 20 "$E2E/orca.out")"
}

# The process id of the client that owns a name on the session bus, empty
# when nobody does.
orca_bus_owner_pid() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.GetConnectionUnixProcessID "string:$1" 2>/dev/null |
    awk '/uint32/ { print $2 }'
}

# Ends what orca_start (and the scenario's terminal) started, each by its id.
orca_stop() {
  # Each may have ended by itself already: a failed kill stops nothing else.
  local pid
  pid=$(orca_bus_owner_pid org.gnome.Terminal || true)
  if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
  # Orca first, then its speech-dispatcher (a daemon of its own, not our
  # child) and the accessibility bus; each ended, forced after 5 s.
  e2e_end_process "${orca_pid:-}"
  local speechd="$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid"
  e2e_end_process "$(cat "$speechd" 2>/dev/null || true)" speech-dispatcher
  e2e_end_process "${orca_bus_pid:-}"
  return 0
}

# How many lines of Orca's log say that it spoke.
orca_speech_count() {
  grep -c "SPEECH OUTPUT:" "$ORCA_LOG" || true
}

# True once Orca has said nothing for 2 s and is not reading on by itself:
# polled by wait_for (orca_quiet_reset first). Orca's Say All (Firefox's
# page is read out once loaded) goes to speech-dispatcher without a SPEECH
# OUTPUT line, so every line Orca logs about its speech counts; and a page
# read aloud holds Orca in its say-all mode until the reading ends or a key
# stops it: Start pressed then went to a game area that Orca left in browse
# mode ("Not using focus mode because we're in SayAll"), and Orca took the
# next keys for itself.
orca_quiet_reset() {
  orca_quiet_count=-1 orca_quiet_since=$SECONDS
}
orca_quiet() {
  local now
  now=$(grep -a -c -e "SPEECH OUTPUT:" -e "SPEECH DISPATCHER:" "$ORCA_LOG" || true)
  if ((now != orca_quiet_count)); then orca_quiet_count=$now orca_quiet_since=$SECONDS; fi
  ((SECONDS - orca_quiet_since >= 2)) || return 1
  # A Say All that reads to the end logs no change of mode, only that its
  # lines are complete.
  ! grep -a -e "Switching active mode" -e "textLines complete" "$ORCA_LOG" | tail -n 1 |
    grep -q "to say-all"
}

# The last things Orca said and its last change of mode, from its log: for
# a failure's message.
orca_speech_tail() {
  echo
  grep -a -e "SPEECH OUTPUT:" -e "Switching active mode" "$ORCA_LOG" | tail -n "${1:-8}" | cut -c1-160
}

# How long Orca's log is, in bytes: a mark to look after.
orca_log_mark() {
  stat -c %s "$ORCA_LOG"
}

# Waits (up to $2 seconds, default 20) until Orca has spoken the text $1
# after the log mark $3. True when it did.
orca_wait_spoken() {
  local text="$1" limit="${2:-20}" after="${3:-0}"
  # An utterance of several lines runs over several lines of the log.
  wait_for 'tail -c +$((after + 1)) "$ORCA_LOG" | grep -a -A 3 "SPEECH OUTPUT:" | grep -qF -- "$text"' \
    "$limit"
}

# The clock offset between the wall clock and the monotonic clock of the
# game's stamps (seconds), to put the game's stamps beside Orca's times.
orca_clock_offset() {
  python3 -c 'import time; print(repr(time.time() - time.clock_gettime(time.CLOCK_MONOTONIC)))'
}

# Compares the lines the game printed with what Orca spoke:
#   orca_compare EXPECTED STAMPS OFFSET [OPTIONAL [LABEL [TYPED]]]
# EXPECTED holds the game's lines in order; STAMPS the game's stderr with a
# "printed at NANOSECONDS" (monotonic) for each printed line, in the same order
# (/dev/null where there are none, as on a web page: no delays are printed);
# OFFSET turns those into wall-clock time; OPTIONAL lists the numbers (from
# 0) of lines that may go unspoken: lines of keys pressed in a quick burst,
# which Orca leaves unread once newer text has moved the caret on, as a
# voice cuts a line short for the next. Orca's log also holds its key echo
# and its own words: each game line is looked for, in order, among the
# utterances after the one that matched the line before; one utterance may
# read several lines printed together. Prints lines said, lines spoken once,
# Orca's "blank" (an empty line read), fragments (a piece of a game line read
# on its own), lines spoken again, the median and maximum delay from the
# printed line to Orca's speech, and a table row named LABEL. A line longer
# than the terminal's screen (ORCA_SCREEN_ROWS and ORCA_SCREEN_COLUMNS, when
# set) counts as spoken when its end is. TYPED is what
# the player typed in the shell: Orca's echo of a piece of it is no
# fragment of a game line. Fails unless
# every line was spoken once, with no "blank" and no fragment.
orca_compare() {
  python3 - "$1" "$2" "$3" "$ORCA_LOG" "${4:-/dev/null}" "${5:-speech}" "${6:-}" <<'PY'
import datetime, os, re, statistics, sys
expected_file, stamps_file, offset, log = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4]
optional = {int(n) for n in open(sys.argv[5]).read().split()}
label, typed = sys.argv[6], sys.argv[7]
norm = lambda s: " ".join(s.split())
expected = [l.rstrip("\n") for l in open(expected_file)]
stamps = [int(m.group(1)) / 1e9 + offset
          for m in (re.match(r"printed at (\d+)", l) for l in open(stamps_file)) if m]
today = datetime.date.today()
spoken = []  # (wall time, text, raw text)
# Each utterance is logged as a Python string literal (which may run over
# several lines) followed by its voice settings.
pattern = re.compile(r"(\d\d):(\d\d):(\d\d)\.(\d+) - SPEECH OUTPUT: "
                     r"""(?:'((?:[^'\\]|\\.)*)'|"((?:[^"\\]|\\.)*)")""", re.S)
for m in pattern.finditer(open(log, errors="replace").read()):
    text = m.group(5) if m.group(5) is not None else m.group(6)
    text = re.sub(r"\\(.)", r"\1", text)
    h, mi, s, frac = m.group(1, 2, 3, 4)
    when = datetime.datetime(today.year, today.month, today.day, int(h), int(mi), int(s),
                             int(frac.ljust(6, "0")[:6])).timestamp()
    spoken.append((when, norm(text), text))
lines = [norm(l) for l in expected]
# Lines longer than the terminal's screen (ORCA_SCREEN_ROWS rows of
# ORCA_SCREEN_COLUMNS): the terminal shows a screen reader only their end.
rows, columns = int(os.environ.get("ORCA_SCREEN_ROWS", 0)), int(os.environ.get("ORCA_SCREEN_COLUMNS", 0))
cut = {i for i, l in enumerate(expected) if rows and columns and -(-len(l) // columns) > rows}


def runs_at(text, first):
    """The runs of lines [start, end) that the utterance text may read,
    joined, with end past first: it may begin a few lines back (Orca reads
    whole terminal lines), and may skip lines Orca never spoke."""
    found = []
    for start in range(max(0, first - 3), min(len(lines), first + 8)):
        # A line longer than the screen is read as far as the screen shows
        # it: its end.
        if start in cut and start >= first and lines[start].endswith(text) and len(text) > 40:
            found.append((start, start + 1))
            continue
        joined = ""
        for end in range(start, len(lines)):
            joined = lines[end] if end == start else joined + " " + lines[end]
            if len(joined) > len(text):
                break
            if joined == text and end >= first:
                found.append((start, end + 1))
                break
    return found


# The reading of the utterances that explains them best: each utterance
# reads a run of lines or is Orca's own; a line left out costs one (none
# when it may go unspoken), a line read again costs one, and so does a game
# line spoken where no run fits it (a line spoken twice). best[i][p] is the
# least cost once i utterances are read and the lines before p are done.
INF = float("inf")
best = [dict() for _ in range(len(spoken) + 1)]
best[0][0] = (0, None)
for i, (when, text, raw) in enumerate(spoken):
    for position, (cost, _) in sorted(best[i].items()):
        choices = [(position, 1 if runs_at(text, max(0, position - 3)) else 0, None)]
        for start, end in runs_at(text, position):
            skipped_cost = sum(1 for k in range(position, start) if k not in optional)
            choices.append((end, skipped_cost + max(0, position - start), (start, end)))
        for after, extra, run in choices:
            total = cost + extra
            if total < best[i + 1].get(after, (INF,))[0]:
                best[i + 1][after] = (total, (position, run))
final = min(best[len(spoken)],
            key=lambda p: best[len(spoken)][p][0] +
            sum(1 for k in range(p, len(lines)) if k not in optional))
reading = []  # (utterance, run or None), in order
position = final
for i in range(len(spoken), 0, -1):
    before, run = best[i][position][1]
    reading.append((spoken[i - 1], run))
    position = before
reading.reverse()

missing, repeated, together, delays, fragments = [], [], [], [], []
blanks = 0
position = 0
for (when, text, raw), run in reading:
    if run is None:
        # Orca's own words: its key echo (which ends in a space), "blank"
        # for an empty line, the window's name; a game line spoken again;
        # or a piece of a game line read on its own (a line read while it
        # was being printed).
        if text == "blank":
            blanks += 1
        elif runs_at(text, max(0, position - 3)):
            repeated.append(text)
        elif text and not raw.endswith(" ") and not (typed and text in typed) and any(
                text in line for line in lines[max(0, position - 3):position + 8]):
            fragments.append(text)
        continue
    start, end = run
    missing += range(position, start)
    repeated += lines[start:position]
    if end - start > 1:
        together.append(text)
    for index in range(max(start, position), end):
        if index < len(stamps):
            delays.append(when - stamps[index])
    position = end
missing += range(position, len(lines))
skipped = [lines[i] for i in missing if i in optional]
missing = [lines[i] for i in missing if i not in optional]
once = len(lines) - len(missing) - len(skipped) - len(set(repeated))
print(f"orca: lines said {len(lines)}, spoken {len(lines) - len(missing) - len(skipped)}, "
      f"spoken again {len(repeated)}, utterances of several lines {len(together)}")
print(f"orca: \"blank\" (Orca on an empty line) said {blanks} times, "
      f"fragments of lines {len(fragments)}")
if delays:
    print(f"orca: line to speech, median {statistics.median(delays) * 1000:.0f} ms, "
          f"max {max(delays) * 1000:.0f} ms over {len(delays)} lines")
stamped = not stamps or len(stamps) == len(lines)
if not stamped:
    print(f"orca: the game stamped {len(stamps)} printed lines for {len(lines)} expected")
for i in sorted(cut):
    print(f"  longer than the screen ({-(-len(expected[i]) // columns)} rows), its end spoken: {lines[i][:60]}...")
for l in missing:
    print(f"  not spoken: {l}")
for l in skipped:
    print(f"  not spoken, overtaken by the next line of a burst of keys: {l}")
for l in repeated:
    print(f"  spoken again: {l}")
for t in fragments:
    print(f"  fragment: {t}")
for t in together:
    print(f"  one utterance: {t}")
print("orca table: | scenario | lines | spoken once | of them longer than the screen | "
      "not spoken (of a burst) | \"blank\" | fragments | doubled |")
print(f"orca table: | {label} | {len(lines)} | {once} | {len(cut)} | {len(missing) + len(skipped)} "
      f"({len(skipped)}) | {blanks} | {len(fragments)} | {len(repeated)} |")
sys.exit(0 if not missing and not repeated and not blanks and not fragments and stamped else 1)
PY
}
