#!/usr/bin/env bash
# A deaf-blind player's terminal game with --braille, on a console-like
# terminal (tmux) and a braille display of 40 cells with no hardware:
# BRLTTY's virtual driver and braille_display.py (braille_lib.sh). For every
# line the game says, the display's first view must begin with the line's
# first characters, panning right (the display's own key) must reach its
# end, and after panning past the end the next key must still play; Home,
# Page Up and Page Down show lines again; a key of the display that is not
# for panning is left to BRLTTY. Prints a table row. Then:
#  - the display is given back at the game's end (BRLTTY's own view again);
#  - settings.ini keeps --braille for the next start, and --no-braille;
#  - BRLTTY ended mid-game: the game says once that it does not answer, and
#    plays on; with no BRLTTY at all, the same at start.
#
#   tests/e2e/braille.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/braille_lib.sh"
e2e_game "${1:?usage: braille.sh BUILD_DIR}"
e2e_begin braille
command -v brltty >/dev/null || e2e_fail "brltty is not installed (bash scripts/deps.sh --with-tests)"
unset WINDOWPATH XDG_VTNR WINDOWID
missing="No braille display: BRLTTY does not answer."

# The keys, as the headless runner and tmux name them. The help page is
# hundreds of characters, the status line two views; Escape from the help
# menu says two lines together.
steps=(
  "Up|Up" "Up|Up" "Enter|Enter" "Enter|Enter" "Escape|Escape" "Enter|Enter" "Enter|Enter"
  "Down|Down" "VK35|End" "2|2" "Down|Down" "Down|Down" "VK36|Home" "VK33|PPage" "VK33|PPage"
  "VK34|NPage" "Down|Down" "Down|Down"
)
: >"$E2E/keys"
for step in "${steps[@]}"; do echo "${step%%|*}" >>"$E2E/keys"; done
"$game" --script "$E2E/keys" --data-dir "$E2E/headless" --seed 1 --transcript "$E2E/transcript"
# What the display is to show for each key: the lines said together, two
# spaces between them (the terminal's first line after the welcome).
intro="Quillvane in the terminal: where Shift+Enter or Shift+Backspace does not work, Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes; Ctrl+C quits."
PYTHONPATH="$here" python3 - "$E2E/transcript" "$intro" "$E2E/counts" >"$E2E/texts" <<'PY'
import sys
from orca_expected import transcript_groups
groups = transcript_groups(sys.argv[1])
groups[0].append(sys.argv[2])
for group in groups:
    print("  ".join(group))
with open(sys.argv[3], "w") as counts:
    counts.write(" ".join(str(len(group)) for group in groups[1:]) + "\n")
PY
read -r -a counts <"$E2E/counts"

braille_start 40
play() {
  e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy \\
    BRLAPI_HOST='$BRLAPI_HOST' BRLAPI_AUTH=none '$game' --terminal --data-dir '$E2E/data' --seed 1 $*" \
    >"$E2E/run.sh"
  # The last game's tmux server ends before the next starts: a new session
  # asked of a server that is still ending is lost with it.
  local server
  server=$(tmux_ display-message -p -t game '#{pid}' 2>/dev/null || true)
  tmux_ kill-server 2>/dev/null || true
  if [[ -n "$server" ]]; then
    wait_for "! kill -0 $server 2>/dev/null" 10 || e2e_fail "the last tmux server did not end"
  fi
  e2e_tmux game 80x24 "bash $E2E/run.sh"
}

# Waits until the display shows, from view number $1 on, the first cells of
# the text $2 (the view shown when the key was pressed counts: a line equal
# to the one shown leaves the display as it was).
view_of() {
  local from=$(($1 > 0 ? $1 : 1)) want=${2:0:40}
  want=${want%"${want##*[! ]}"}
  wait_for "n=\$(braille_views); for ((v = $from; v <= n; v++)); do [[ \"\$(braille_view \$v | sed 's/ *\$//')\" == \"\$want\" ]] && break; done; ((v <= n))" 20
}
# Reads the text $1 on the display (which showed $2 views before its key):
# its first view, then a pan right for each further 40 cells, each waited
# for, then one more past its end (which changes nothing) and one back.
# Appends the step to E2E/steps; the next text's coming records that the
# next key played.
read_text() {
  local text=$1 before=$2 first panned pans i views
  view_of "$before" "$text" ||
    e2e_fail "the display never showed '$text': $(tail -n 3 "$BRAILLE_LOG"); the screen: $(screen | tail -n 3)"
  # The key after the last text's pan past its end has played.
  if [[ -s "$E2E/steps" ]]; then printf '\tplayed\n' >>"$E2E/steps"; fi
  first=$(braille_views)
  pans=$(((${#text} - 1) / 40))
  for ((i = 1; i <= pans; i++)); do
    views=$(braille_views)
    braille_key FWinRt
    wait_for "(( \$(braille_views) > $views ))" 10 || e2e_fail "panning right showed nothing"
  done
  panned=$(braille_views)
  if ((pans > 0)); then
    # Past its end nothing moves; the pan back left then shows that the
    # display's keys were taken in order.
    braille_key FWinRt
    braille_key FWinLt
    wait_for "(( \$(braille_views) > $panned ))" 10 || e2e_fail "panning back left showed nothing"
  fi
  printf '%s\t%s\t%s\t%s' "$text" "$before" "$first" "$panned" >>"$E2E/steps"
}

: >"$E2E/steps"
before=$(braille_views)
play --braille
wait_screen "$E2E_WELCOME"
read_text "$(sed -n 1p "$E2E/texts")" "$before"
for i in "${!steps[@]}"; do
  text=$(sed -n "$((i + 2))p" "$E2E/texts")
  [[ -n "$text" ]] || e2e_fail "step $i says nothing: choose a key that does"
  before=$(braille_views)
  printed=$(screen | wc -l)
  key "${steps[$i]#*|}"
  wait_for "(( \$(screen | wc -l) >= printed + ${counts[i]} ))" ||
    e2e_fail "the game did not print the lines of step $i: $(screen | tail -n 3)"
  read_text "$text" "$before"
done
# A key of the display that is not for panning is BRLTTY's: the game says
# nothing, and its next key plays.
printed=$(screen | wc -l)
braille_key LnDn
key Down
wait_for '(( $(screen | wc -l) > printed ))' || e2e_fail "the game did not play after LnDn"
[[ $(screen | wc -l) == $((printed + 1)) ]] || e2e_fail "LnDn reached the game: $(screen | tail -n 3)"
printf '\tplayed\n' >>"$E2E/steps"
python3 "$here/braille_check.py" "--braille, console-like pty (tmux, 80 columns)" "$E2E/steps" \
  "$BRAILLE_LOG" strict || e2e_fail "the display did not show every line from its start"

# The game's end gives the display back: a key of BRLTTY's own (its
# information line) then shows BRLTTY's view, where the game's line stayed
# while it held the display.
key C-c
wait_screen "EXIT=0"
views=$(braille_views)
braille_key INFO
wait_for "n=\$(braille_views); ((n > views)) && [[ \"\$(braille_view \$n)\" != *Magic* ]]" 20 ||
  e2e_fail "the display was not given back: $(tail -n 2 "$BRAILLE_LOG")"
braille_stop_brltty
braille_start_brltty
[[ "$(sed -n 2p "$E2E/data/settings.ini" | tr -d ' \r')" == 1 ]] ||
  e2e_fail "settings.ini did not keep --braille: $(od -c "$E2E/data/settings.ini")"

# Started again without the option, the kept setting shows the welcome.
views=$(braille_views)
play
wait_for 'screen | grep -qxF "$E2E_WELCOME"' || e2e_fail "no welcome: $(screen)"
view_of "$views" "$E2E_WELCOME" ||
  e2e_fail "the kept setting did not show the welcome: $(tail -n 3 "$BRAILLE_LOG"); $(screen)"
# BRLTTY ends mid-game: said once, and the game plays on.
braille_stop_brltty
wait_screen "$missing"
key Enter
wait_screen "Choose puzzle difficulty"
[[ $(screen | grep -cxF "$missing") == 1 ]] || e2e_fail "the lost display was told more than once"
key C-c
wait_screen "EXIT=0"

# --no-braille is kept, and the display is left alone.
braille_start_brltty
views=$(braille_views)
play --no-braille
wait_for 'screen | grep -qxF "$E2E_WELCOME"' || e2e_fail "no welcome: $(screen)"
key Enter
wait_screen "Choose puzzle difficulty"
key C-c
wait_screen "EXIT=0"
[[ "$(sed -n 2p "$E2E/data/settings.ini" | tr -d ' \r')" != 1 ]] ||
  e2e_fail "settings.ini did not keep --no-braille"
! grep -q "Quillvane\|Choose puzzle" <(tail -n +"$((views + 1))" <(grep ' Visual "' "$BRAILLE_LOG")) ||
  e2e_fail "the game wrote to the display with --no-braille"

# With no BRLTTY at all: said once, and the game plays on.
braille_stop_brltty
play --braille
wait_screen "$missing"
key Enter
wait_screen "Choose puzzle difficulty"
[[ $(screen | grep -cxF "$missing") == 1 ]] || e2e_fail "the missing display was told more than once"
key C-c
wait_screen "EXIT=0"
echo "braille: ok"
