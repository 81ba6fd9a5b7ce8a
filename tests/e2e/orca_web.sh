#!/usr/bin/env bash
# A blind player's web game, heard by a real screen reader: Orca reads the
# page in a real (not headless) browser, the player presses Start and plays
# an easy game with real key presses (xdotool). A new player's page hands
# every line to its log of lines for the screen reader (speech mode 1), and
# every one must be spoken by Orca, none twice (of keys pressed in a quick
# burst, the last line). Prints how many lines were said and spoken and the
# delay from each line to Orca's speech. The browser's profile is new, its
# prompts (Firefox's for persistent storage) as a new profile has them.
#
#   tests/e2e/orca_web.sh BUILD_DIR SITE_DIR chromium|firefox [reading]
#
# reading: Orca speaks through a silent voice that takes as long as a real
# one (1/15 s a character), and Start is pressed while Orca is still reading
# the page aloud, past the Start button, as a player who does not wait for
# the end does; every key after it must still reach the game.
#
# Orca also writes to a virtual 40-cell braille display (braille_lib.sh).
# After each key's lines have been spoken, the display is read as a
# deaf-blind player reads it: the newest line as Orca shows it, panned
# right to its end, once past the end and once back, and the next key must
# still play. The scenario prints a table row (braille_check.py: the first
# view begins with the line, panning reaches its end, the next key plays)
# and fails unless panning reached every line's end and every next key
# played; the first view is printed, not required: Orca shows an
# announcement after a blank cell (see docs/design.md).
#
# BUILD_DIR holds the headless runner (build/), SITE_DIR the site
# (build-web/site). Delays: in Chromium the page's lines are stamped as they
# are added to its log (a MutationObserver put in through Chromium's remote
# debugging; the page is not changed); Firefox gives no such way in here, so
# its run prints no delays. ORCA_REPORT_ONLY=1 prints the figures without
# failing; E2E_KEEP=1 keeps the work folder with Orca's log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/lib.sh"
source "$here/orca_lib.sh"
source "$here/braille_lib.sh"
game=$(cd "${1:?usage: orca_web.sh BUILD_DIR SITE_DIR chromium|firefox}" && pwd)/quillvane
site=$(cd "${2:?usage: orca_web.sh BUILD_DIR SITE_DIR chromium|firefox}" && pwd)
browser=${3:?usage: orca_web.sh BUILD_DIR SITE_DIR chromium|firefox}
[[ -x "$game" ]] || e2e_fail "no game at $game"
[[ -f "$site/index.html" ]] || e2e_fail "no site in $site"
case "$browser" in chromium | firefox) ;; *) e2e_fail "no browser named $browser" ;; esac
reading=${4:-}
case "$reading" in "" | reading) ;; *) e2e_fail "unknown way to start: $reading" ;; esac
if [[ "$reading" == reading ]]; then export ORCA_SLOW_VOICE=1; fi
export LANG=C.UTF-8 LC_ALL=C.UTF-8
orca_enter_session "$here/orca_web.sh" "$@"

trap "exit 1" INT TERM HUP
braille_start 40
orca_start

# The keys, as xdotool sends them and as the headless runner names them.
# Start is pressed on its own first: it is no key of the game.
steps=(
  "Return|Enter" "Return|Enter"
  "Down|Down" "Down|Down" "Up|Up" "Right|Right" "Left|Left" "Return|Enter" "Down|Down"
  "Return|Enter" "Return|Enter" "shift+Return|Shift+Enter"
  "Home|VK36" "Prior|VK33" "Next|VK34" "End|VK35" "F12|F12" "Escape|Escape"
  "Down Down Down Down|Down Down Down Down" "Home|VK36"
)

# The game's lines for the same keys, from the headless runner: one group of
# lines for Start, then one per step.
: >"$E2E/keys"
for step in "${steps[@]}"; do tr ' ' '\n' <<<"${step#*|}" >>"$E2E/keys"; done
"$game" --script "$E2E/keys" --data-dir "$E2E/headless" --seed 1 --transcript "$E2E/transcript"
PYTHONPATH="$here" python3 - "$E2E/transcript" "$E2E" "${steps[@]}" <<'PY'
import sys
from orca_expected import transcript_groups, write_expected
transcript, work, steps = sys.argv[1], sys.argv[2], sys.argv[3:]
write_expected(work, transcript_groups(transcript), steps)
PY
read -r -a counts <"$E2E/counts"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$E2E/http.log" 2>&1 9>&- &
e2e_track $!
url="http://127.0.0.1:$port/"
wait_for 'python3 -c "import urllib.request; urllib.request.urlopen(\"$url\")" 2>/dev/null' 30 ||
  e2e_fail "the site's server did not answer: $(cat "$E2E/http.log")"

mark=$(orca_log_mark)
if [[ "$browser" == chromium ]]; then
  profile="$E2E/chromium-profile"
  # The flags of the headless tests for this closed network, but with a
  # window and the accessibility tree built for Orca from the start.
  /usr/bin/chromium --user-data-dir="$profile" --force-renderer-accessibility --no-sandbox \
    --disable-gpu --disable-background-networking --disable-component-update --disable-sync \
    --no-first-run --no-default-browser-check --password-store=basic --remote-debugging-port=0 \
    --window-size=1200,760 "$url" >"$E2E/browser.log" 2>&1 9>&- &
  e2e_track $!
  class=chromium
else
  profile="$E2E/firefox-profile"
  mkdir -p "$profile"
  cat >"$profile/user.js" <<'PREFS'
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("startup.homepage_welcome_url", "");
user_pref("startup.homepage_welcome_url.additional", "");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.healthreport.uploadEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.auto", false);
user_pref("app.normandy.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("browser.newtabpage.enabled", false);
user_pref("accessibility.force_disabled", -1);
PREFS
  firefox-esr --no-remote --profile "$profile" --width 1200 --height 760 "$url" \
    >"$E2E/browser.log" 2>&1 9>&- &
  e2e_track $!
  class=firefox
fi
wait_for 'window=$(xdotool search --onlyvisible --class "$class" 2>/dev/null | tail -n 1); [[ -n "$window" ]]' 60 ||
  e2e_fail "$browser showed no window: $(tail -n 20 "$E2E/browser.log")"
xdotool windowfocus --sync "$window" || true

# Start is pressed only once Orca has read the loaded page (its summary,
# "Page has ... landmarks", then the page itself from the Start button on,
# Say All) and has fallen silent, as a player waits for the reading to end:
# pressed while Orca still reads, Start leaves Orca in browse mode, which
# keeps the game's keys for itself.
wait_for 'tail -c +$((mark + 1)) "$ORCA_LOG" | grep -a "SPEECH OUTPUT:" | grep -q "Page has"' 120 ||
  e2e_fail "Orca did not read the page: $(tail -n 20 "$E2E/browser.log")"
if [[ "$reading" == reading ]]; then
  # The reading has passed the Start button (the files that follow it are
  # being read, word by word between SSML marks) and goes on.
  wait_for 'tail -c +$((mark + 1)) "$ORCA_LOG" | grep -a -e "SPEECH OUTPUT:" -e "SPEECH DISPATCHER:" |
    grep -q -E "Your (<mark name=\"[0-9:]+\"/>)?files"' 180 ||
    e2e_fail "Orca did not read past the Start button: $(orca_speech_tail)"
  grep -a -e "Switching active mode" -e "textLines complete" "$ORCA_LOG" | tail -n 1 | grep -q "to say-all" ||
    e2e_fail "Orca had finished reading the page before Start: $(orca_speech_tail)"
else
  orca_quiet_reset
  wait_for orca_quiet 90 || e2e_fail "Orca kept talking about the page: $(orca_speech_tail)"
fi

stamps=/dev/null
if [[ "$browser" == chromium ]]; then
  wait_for '[[ -s "$profile/DevToolsActivePort" ]]' 30 || e2e_fail "Chromium gave no debugging port"
  (cd "$root/web/test" && node orca-stamps.js "$profile" watch "$url") ||
    e2e_fail "the page's lines could not be watched"
  stamps="$E2E/stamps"
fi

# Waits until Orca has spoken the last line of the step's group (the first
# number $1 lines of the expected ones), after the log mark $2, at most $3
# seconds; false when it did not.
settle() {
  (($1 > 0)) || return 0
  orca_wait_spoken "$(sed -n "${1}p" "$E2E/expected")" "$3" "$2"
}
# One step unheard is not fatal at once: the comparison reports every line
# missed. Two in a row mean Orca has the keys (browse mode) or the game is
# out of step, and the rest is not played: the comparison then names every
# line from there on.
unheard=0 unheard_note=""
heard() {
  if settle "$@"; then
    unheard=0
  else
    unheard=$((unheard + 1))
    unheard_note+="no speech of '$(sed -n "${1}p" "$E2E/expected")' after its key:$(orca_speech_tail 4)"$'\n'
  fi
  ((unheard < 2))
}
# The lines of step $1 (0 for Start) on the display, as braille_check.py
# takes them: shown one after another, separated by a record separator,
# the last one staying.
step_text() {
  local first=0 i
  for ((i = 0; i < $1; i++)); do first=$((first + counts[i])); done
  sed -n "$((first + 1)),$((first + counts[$1]))p" "$E2E/expected" | paste -s -d $'\x1e'
}
# Orca takes a key of the display: waits until its log has $1 more braille
# events after the mark $2.
braille_taken() {
  wait_for "(( \$(tail -c +\$(($2 + 1)) \"\$ORCA_LOG\" | grep -a -c 'BRAILLE EVENT:') >= $1 ))" 5
}
# Reads the step's newest line (the text $1, lines separated by a record
# separator) on the display, which showed $2 views before the step's key:
# its first view once Orca shows it, pans right until its end shows, each
# taken by Orca, then one more past the end and one back left.
# Appends the step to E2E/braille-steps; whether the next key played is
# added when it has been heard.
: >"$E2E/braille-steps"
read_braille() {
  local text=$1 before=$2 line first panned i mark views
  line=${text##*$'\x1e'}
  local want=${line:0:39}
  want=${want%"${want##*[! ]}"}
  # Orca shows the line as it speaks it (a flash of its own, which may
  # begin with a blank cell): it is read and panned as it comes.
  wait_for "n=\$(braille_views); ((n > $before)) && [[ \"\$(braille_view \$n | sed 's/^ //; s/ *\$//')\" == \"\$want\"* ]]" 10 ||
    true
  first=$(braille_views)
  # Pans right until the view shows the line's end (Orca's view of it may
  # start a cell later than the line).
  local end=${line: -10} shown
  end=${end%"${end##*[! ]}"}
  for ((i = 0; i <= ${#line} / 40; i++)); do
    shown=$(braille_view "$(braille_views)" | sed 's/ *$//')
    [[ "$shown" != *"$end" ]] || break
    mark=$(orca_log_mark)
    views=$(braille_views)
    braille_key FWinRt
    braille_taken 1 "$mark" || true
    wait_for "(( \$(braille_views) > $views ))" 3 || true
  done
  panned=$(braille_views)
  mark=$(orca_log_mark)
  views=$(braille_views)
  braille_key FWinRt
  braille_key FWinLt
  braille_taken 2 "$mark" || true
  # The view the pan back shows has come before the next key.
  wait_for "(( \$(braille_views) >= $views + 2 ))" 3 || true
  printf '%s\t%s\t%s\t%s' "$text" "$before" "$first" "$panned" >>"$E2E/braille-steps"
}
mark=$(orca_log_mark)
views=$(braille_views)
xdotool key Return
total=${counts[0]}
# A loaded machine's Firefox has taken seconds to start the game.
if heard "$total" "$mark" 60; then
  read_braille "$(step_text 0)" "$views"
  for i in "${!steps[@]}"; do
    mark=$(orca_log_mark)
    views=$(braille_views)
    # shellcheck disable=SC2086 # several keys in one step are pressed together
    xdotool key ${steps[$i]%%|*}
    total=$((total + counts[i + 1]))
    heard "$total" "$mark" 20 || break
    if ((unheard == 0 && counts[i + 1] > 0)); then
      printf '\tplayed\n' >>"$E2E/braille-steps"
      read_braille "$(step_text $((i + 1)))" "$views"
    fi
  done
fi
if [[ -n "$unheard_note" ]]; then echo "$unheard_note" >&2; fi
if [[ -s "$E2E/braille-steps" ]]; then
  # The last step's next key: the game's end, none; a step never heard
  # after a pan: stuck.
  if ((unheard == 0)); then printf '\tplayed\n'; else printf '\tstuck\n'; fi >>"$E2E/braille-steps"
fi
braille_status=0
python3 "$here/braille_check.py" "Orca + $browser${reading:+ (Start while Orca reads)}" \
  "$E2E/braille-steps" "$BRAILLE_LOG" panning || braille_status=$?

if [[ "$stamps" != /dev/null ]]; then
  (cd "$root/web/test" && node orca-stamps.js "$profile" stamps "$url") >"$stamps" ||
    e2e_fail "the page's stamps could not be read"
fi
status=0
orca_compare "$E2E/expected" "$stamps" 0 "$E2E/optional" || status=$?
if [[ "${ORCA_REPORT_ONLY:-}" == 1 ]]; then status=0 braille_status=0; fi
((status == 0)) || e2e_fail "Orca did not speak every line of the page once in $browser (log: $ORCA_LOG)"
((braille_status == 0)) || e2e_fail "Orca's braille did not show every line of the page from its start in $browser (log: $ORCA_LOG)"
echo "orca web ($browser${reading:+, Start pressed while Orca reads the page}): ok"
