#!/usr/bin/env bash
# A blind player's terminal game, heard by a real screen reader: Orca reads
# gnome-terminal, the player types the command in its shell, presses Tab for
# printed lines only (speech mode 1), and plays an easy game with real key
# presses (xdotool). Every line the game printed must be spoken by Orca, and
# none twice (of keys pressed in a quick burst, the last line); the scenario
# prints how many were said and spoken and the delay from each printed line
# to Orca's speech.
#
#   tests/e2e/orca_terminal.sh BUILD_DIR
#
# ORCA_REPORT_ONLY=1 prints the figures without failing, and
# ORCA_WITHOUT_HINT=1 expects no line naming Ctrl+J and Ctrl+H (to measure an
# older build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/orca_lib.sh"
game=$(cd "${1:?usage: orca_terminal.sh BUILD_DIR}" && pwd)/quillvane
[[ -x "$game" ]] || e2e_fail "no game at $game"
export LANG=C.UTF-8 LC_ALL=C.UTF-8  # gnome-terminal refuses other locales
orca_enter_session "$here/orca_terminal.sh" "$@"

trap "exit 1" INT TERM HUP
orca_start

# The keys, as xdotool sends them and as the headless runner names what the
# terminal delivers: gnome-terminal sends Shift+Enter as plain Enter, and
# Ctrl+J is the terminal's combine key.
steps=(
  "Tab|Tab" "Return|Enter" "Return|Enter"
  "Down|Down" "Down|Down" "Up|Up" "Right|Right" "Left|Left" "Return|Enter" "Down|Down"
  "Return|Enter" "Return|Enter" "shift+Return|Enter" "ctrl+j|Shift+Enter"
  "Home|VK36" "Prior|VK33" "Next|VK34" "End|VK35" "F12|F12" "Escape|Escape"
  "Down Down Down Down|Down Down Down Down" "Home|VK36"
)
intro="Quillvane in the terminal: where Shift+Enter or Shift+Backspace does not work, Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes; Ctrl+C quits."
hint="In this terminal, Ctrl+J combines and Ctrl+H undoes."
if [[ "${ORCA_WITHOUT_HINT:-}" == 1 ]]; then hint=""; fi
mode1="Speech output: printed lines only, for your screen reader (NVDA mode)."

# The game's lines for the same keys, from the headless runner: one group of
# lines per step, with the terminal's own lines where it prints them.
: >"$E2E/keys"
for step in "${steps[@]}"; do tr ' ' '\n' <<<"${step#*|}" >>"$E2E/keys"; done
"$game" --script "$E2E/keys" --data-dir "$E2E/headless" --seed 1 --transcript "$E2E/transcript"
PYTHONPATH="$here" python3 - "$E2E/transcript" "$E2E" "$intro" "$hint" "$mode1" "${steps[@]}" <<'PY'
import sys
from orca_expected import write_expected
transcript, work, intro, hint, mode1, steps = sys.argv[1], sys.argv[2], *sys.argv[3:6], sys.argv[6:]
groups, current = [], [intro]
hinted = False
for line in open(transcript):
    line = line.rstrip("\n")
    if line.startswith("key: "):
        groups.append(current)
        current = []
        if line == "key: Tab":
            current.append(mode1)
    elif line.startswith("say: "):
        current.append(line[5:])
        if line.endswith("Press Shift and Enter when ready.") and not hinted and hint:
            hinted = True
            current.append(hint)
groups.append(current)
write_expected(work, groups, steps)
PY
read -r -a counts <"$E2E/counts"

cat >"$E2E/play" <<PLAY
#!/bin/sh
exec env QUILLVANE_SPEECH_STAMP=1 SDL_AUDIODRIVER=dummy "$game" --terminal --data-dir "$E2E/game" --seed 1 2>"$E2E/stamps"
PLAY
chmod +x "$E2E/play"
printf 'PS1="$ "\ncd "%s"\n' "$E2E" >"$E2E/bashrc"
gnome-terminal --wait -- bash --rcfile "$E2E/bashrc" -i >"$E2E/terminal.log" 2>&1 9>&- &
terminal_pid=$!
wait_for 'window=$(xdotool search --onlyvisible --class gnome-terminal 2>/dev/null | head -n 1); [[ -n "$window" ]]' 60 ||
  e2e_fail "gnome-terminal did not open: $(cat "$E2E/terminal.log")"
before=$(orca_speech_count)
xdotool windowfocus --sync "$window"
wait_for '(( $(orca_speech_count) > before ))' 30 || e2e_fail "Orca said nothing about the terminal"

offset=$(orca_clock_offset)
printed() { if [[ -f "$E2E/stamps" ]]; then grep -c '^printed at' "$E2E/stamps" || true; else echo 0; fi; }
# Waits until the game has printed $1 lines and Orca has spoken the last
# one (Orca's silence is not fatal here: the comparison reports it).
settle() {
  wait_for "(( \$(printed) >= $1 ))" 30 || e2e_fail "the game printed $(printed) lines, not $1"
  orca_wait_spoken "$(sed -n "${1}p" "$E2E/expected")" 10 "$2" || true
}
mark=$(orca_log_mark)
xdotool type --delay 30 "./play"
xdotool key Return
total=${counts[0]}
settle "$total" "$mark"
for i in "${!steps[@]}"; do
  mark=$(orca_log_mark)
  # shellcheck disable=SC2086 # several keys in one step are pressed together
  xdotool key ${steps[$i]%%|*}
  total=$((total + counts[i + 1]))
  settle "$total" "$mark"
done

status=0
orca_compare "$E2E/expected" "$E2E/stamps" "$offset" "$E2E/optional" || status=$?
if [[ "${ORCA_REPORT_ONLY:-}" == 1 ]]; then status=0; fi
((status == 0)) || e2e_fail "Orca did not speak every printed line once (log: $ORCA_LOG)"
echo "orca terminal: ok"
