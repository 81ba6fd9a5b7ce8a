#!/usr/bin/env bash
# A blind player's terminal games, heard by a real screen reader: Orca reads
# gnome-terminal, the player types the command in its shell, presses Tab for
# printed lines only (speech mode 1), and plays with real key presses
# (xdotool) a long plan: the help pages, a new easy game with the item list,
# the slots, combining and the keys that stand for Shift, the four recipe
# lists with Down and Enter, the achievements menu and its details, the game
# menu, the speech history, then the game left and started again from the
# shell on each difficulty, and a saved game continued. By then the screen
# has filled and scrolls. Every line the game printed must be spoken by Orca
# once, with no "blank" and no fragment of a line before it (of keys
# pressed in a quick burst, the last line); the scenario prints the lines
# said, spoken once, "blank", fragments and lines spoken again, and the
# delay from each printed line to Orca's speech.
#
#   tests/e2e/orca_terminal.sh BUILD_DIR [COLUMNS]
#
# COLUMNS is the terminal's width (default 80; 24 rows). With ORCA_BRAILLE=1
# Orca also writes to a virtual 40-cell braille display (braille_lib.sh), and
# the scenario prints a table row of what it showed (braille_check.py),
# without failing on it; ORCA_BRAILLE_PANS=1 then pans the display after
# every line. ORCA_REPORT_ONLY=1 prints the figures without failing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/orca_lib.sh"
source "$here/braille_lib.sh"
game=$(cd "${1:?usage: orca_terminal.sh BUILD_DIR [COLUMNS]}" && pwd)/quillvane
columns=${2:-80}
[[ -x "$game" ]] || e2e_fail "no game at $game"
[[ "$columns" =~ ^[0-9]+$ ]] || e2e_fail "odd width $columns"
export LANG=C.UTF-8 LC_ALL=C.UTF-8 # gnome-terminal refuses other locales
orca_enter_session "$here/orca_terminal.sh" "$@"

trap "exit 1" INT TERM HUP
# With ORCA_BRAILLE=1, a braille display of 40 cells, which Orca writes to
# through BrlAPI.
if [[ "${ORCA_BRAILLE:-}" == 1 ]]; then braille_start 40; fi
orca_start

# The plan: each step is the keys as xdotool sends them and as the headless
# runner names what the terminal delivers (gnome-terminal sends Shift+Enter
# as plain Enter; Ctrl+J is the terminal's combine key). "./play|RUN" types
# the command that starts a game in the shell; each game ends through the
# game menu's "Exit the game".
plan=(
  # A first start: printed lines only, then the help pages.
  "./play|RUN" "Tab|Tab"
  "Up|Up" "Up|Up" "Return|Enter" "Return|Enter" "Down|Down" "Return|Enter" "Down|Down"
  "Return|Enter" "Down|Down" "Return|Enter" "Down|Down" "Return|Enter"
  # A new easy game: the list, the slots, combining, undo asked for.
  "Down|Down" "Return|Enter" "Down|Down" "Down|Down" "Up|Up" "Return|Enter"
  "Down|Down" "Down|Down" "Up|Up" "Right|Right" "Left|Left" "d|D" "Return|Enter" "w|W"
  "Return|Enter" "Return|Enter" "shift+Return|Enter" "ctrl+j|Shift+Enter" "BackSpace|Backspace"
  # The four recipe lists.
  "2|2" "Down|Down" "Down|Down" "Down|Down" "Return|Enter"
  "3|3" "Down|Down" "Down|Down" "Return|Enter" "ctrl+j|Shift+Enter"
  "4|4" "Down|Down" "Return|Enter" "5|5" "Down|Down" "Return|Enter"
  # The game menu, the achievements and their details.
  "Escape|Escape" "Down|Down" "Down|Down" "Return|Enter" "Down|Down" "Return|Enter"
  "Down|Down" "Down|Down" "Escape|Escape" "Escape|Escape" "Escape|Escape"
  # The speech history and the comforts, a quick burst, and goodbye.
  "Home|VK36" "Prior|VK33" "Prior|VK33" "Next|VK34" "End|VK35" "F12|F12"
  "Down Down Down Down|Down Down Down Down" "Home|VK36" "Up|Up" "Up|Up" "Return|Enter"
  # Started again: every entry of the main menu, a normal game.
  "./play|RUN" "Down|Down" "Down|Down" "Down|Down" "Down|Down" "Down|Down" "Down|Down"
  "Return|Enter" "Down|Down" "Down|Down" "Return|Enter"
  "Down|Down" "Down|Down" "Down|Down" "Down|Down" "Down|Down" "Down|Down"
  "2|2" "Down|Down" "Down|Down" "Escape|Escape" "End|VK35" "Escape|Escape" "Up|Up" "Return|Enter"
  # A hard game.
  "./play|RUN" "Down|Down" "Return|Enter" "Down|Down" "Down|Down" "Down|Down" "Return|Enter"
  "Down|Down" "Down|Down" "Down|Down" "Up|Up" "4|4" "Down|Down" "Escape|Escape"
  "Escape|Escape" "Up|Up" "Return|Enter"
  # The hard game continued.
  "./play|RUN" "Down|Down" "Down|Down" "Return|Enter" "Down|Down" "Down|Down" "End|VK35"
  "Escape|Escape" "Up|Up" "Return|Enter"
  # An insane game.
  "./play|RUN" "Down|Down" "Return|Enter" "Down|Down" "Down|Down" "Down|Down" "Down|Down"
  "Return|Enter" "Down|Down" "Down|Down" "Left|Left" "3|3" "Down|Down" "Escape|Escape"
  "Escape|Escape" "Up|Up" "Return|Enter"
)
intro="Quillvane in the terminal: where Shift+Enter or Shift+Backspace does not work, Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes; Ctrl+C quits."
hint="In this terminal, Ctrl+J combines and Ctrl+H undoes."
mode1="Speech output: printed lines only, for your screen reader (NVDA mode)."

# The game's lines for the same keys, from the headless runner, one game
# after the other on one data folder: one group of lines per step, with the
# terminal's own lines where it prints them.
PYTHONPATH="$here" python3 - "$game" "$E2E" "$intro" "$hint" "$mode1" "${plan[@]}" <<'PY'
import subprocess, sys
from orca_expected import write_expected
game, work, intro, hint, mode1, plan = sys.argv[1], sys.argv[2], *sys.argv[3:6], sys.argv[6:]
runs = []  # the headless keys of each game
for step in plan:
    keys = step.split("|")[1]
    if keys == "RUN":
        runs.append([])
    else:
        runs[-1] += keys.split()
groups = []
for number, keys in enumerate(runs):
    with open(f"{work}/keys{number}", "w") as out:
        out.write("".join(key + "\n" for key in keys))
    subprocess.run([game, "--script", f"{work}/keys{number}", "--data-dir", f"{work}/headless",
                    "--seed", "1", "--transcript", f"{work}/transcript{number}"], check=True)
    # The terminal's first line comes with the game's first; it names the
    # keys that stand for Shift once a game asks for one.
    current, hinted = [intro], False
    for line in open(f"{work}/transcript{number}"):
        line = line.rstrip("\n")
        if line.startswith("key: "):
            groups.append(current)
            current = []
            if line == "key: Tab":
                current.append(mode1)
        elif line.startswith("say: "):
            current.append(line[5:])
            if not hinted and (line.endswith("Press Shift and Enter when ready.") or
                               line.endswith("Press Shift + Backspace to undo the last recipe.")):
                hinted = True
                current.append(hint)
    groups.append(current)
write_expected(work, groups, plan)
PY
read -r -a counts <"$E2E/counts"

cat >"$E2E/play" <<PLAY
#!/bin/sh
echo \$\$ >"$E2E/game.pid"
exec env QUILLVANE_SPEECH_STAMP=1 SDL_AUDIODRIVER=dummy "$game" --terminal --data-dir "$E2E/game" --seed 1 2>>"$E2E/stamps"
PLAY
chmod +x "$E2E/play"
printf 'PS1="$ "\ncd "%s"\n' "$E2E" >"$E2E/bashrc"
gnome-terminal --wait --geometry="${columns}x24" -- bash --rcfile "$E2E/bashrc" -i \
  >"$E2E/terminal.log" 2>&1 9>&- &
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
# After a step's speech, what Orca's braille shows: its first view once
# Orca has refreshed the display, and with ORCA_BRAILLE_PANS=1 a pan right
# (past the end of a line Orca shows to its end) before the next key. Each
# step's text is its lines as the game's own display would show them.
# Braille stays out of the runs that fail on speech: with it on, and its
# pans, VTE has been left reporting each later line with the one before,
# which Orca then read twice.
texts() {
  python3 - "$E2E/expected" "$E2E/counts" "$1" <<'PY'
import sys
lines = [l.rstrip("\n") for l in open(sys.argv[1])]
counts = [int(n) for n in open(sys.argv[2]).read().split()]
step = int(sys.argv[3])
first = sum(counts[:step])
print("  ".join(lines[first:first + counts[step]]))
PY
}
: >"$E2E/braille-steps"
read_braille() {
  local text=$1 before=$2 mark=$3 first panned
  # Orca logs each refresh of its braille.
  wait_for 'tail -c +$((mark + 1)) "$ORCA_LOG" | grep -aq "BRAILLE LINE:"' 5 || true
  wait_for '(( $(braille_views) > before ))' 2 || true
  if [[ -s "$E2E/braille-steps" ]]; then printf '\tplayed\n' >>"$E2E/braille-steps"; fi
  first=$(braille_views)
  if [[ "${ORCA_BRAILLE_PANS:-}" == 1 ]]; then
    mark=$(orca_log_mark)
    braille_key FWinRt
    # Orca logs the display's key as it takes it.
    wait_for 'tail -c +$((mark + 1)) "$ORCA_LOG" | grep -aq "BRAILLE EVENT:"' 5 || true
  fi
  panned=$(braille_views)
  printf '%s\t%s\t%s\t%s' "$text" "$before" "$first" "$panned" >>"$E2E/braille-steps"
}
total=0
for i in "${!plan[@]}"; do
  views=$(if [[ "${ORCA_BRAILLE:-}" == 1 ]]; then braille_views; else echo 0; fi)
  mark=$(orca_log_mark)
  keys=${plan[$i]%%|*}
  if [[ "${plan[$i]#*|}" == RUN ]]; then
    # The shell's prompt is back once the last game has given the terminal back.
    wait_for '[[ ! -s "$E2E/game.pid" ]] || ! kill -0 "$(cat "$E2E/game.pid")" 2>/dev/null' 30 ||
      e2e_fail "the game did not end"
    xdotool type --delay 30 "$keys"
    xdotool key Return
  else
    # shellcheck disable=SC2086 # several keys in one step are pressed together
    xdotool key $keys
  fi
  total=$((total + counts[i]))
  settle "$total" "$mark"
  if [[ "${ORCA_BRAILLE:-}" == 1 && "${plan[$i]#*|}" != RUN ]] && ((counts[i] > 0)); then
    read_braille "$(texts "$i")" "$views" "$mark"
  fi
done
if [[ "${ORCA_BRAILLE:-}" == 1 ]]; then
  printf '\tplayed\n' >>"$E2E/braille-steps"
  pans="no pans: the end counts when the first view shows it"
  if [[ "${ORCA_BRAILLE_PANS:-}" == 1 ]]; then pans="a pan right after every line"; fi
  python3 "$here/braille_check.py" "Orca + terminal ($columns columns, $pans)" \
    "$E2E/braille-steps" "$BRAILLE_LOG" || true
fi

status=0
ORCA_SCREEN_ROWS=24 ORCA_SCREEN_COLUMNS=$columns orca_compare "$E2E/expected" "$E2E/stamps" "$offset" "$E2E/optional" "terminal, $columns columns" \
  "./play" ||
  status=$?
if [[ "${ORCA_REPORT_ONLY:-}" == 1 ]]; then status=0; fi
((status == 0)) || e2e_fail "Orca did not speak every printed line once (log: $ORCA_LOG)"
echo "orca terminal ($columns columns): ok"
