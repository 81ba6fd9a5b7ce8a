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
mark=$(orca_log_mark)
xdotool key Return
total=${counts[0]}
# A loaded machine's Firefox has taken seconds to start the game.
if heard "$total" "$mark" 60; then
  for i in "${!steps[@]}"; do
    mark=$(orca_log_mark)
    # shellcheck disable=SC2086 # several keys in one step are pressed together
    xdotool key ${steps[$i]%%|*}
    total=$((total + counts[i + 1]))
    heard "$total" "$mark" 20 || break
  done
fi
if [[ -n "$unheard_note" ]]; then echo "$unheard_note" >&2; fi

if [[ "$stamps" != /dev/null ]]; then
  (cd "$root/web/test" && node orca-stamps.js "$profile" stamps "$url") >"$stamps" ||
    e2e_fail "the page's stamps could not be read"
fi
status=0
orca_compare "$E2E/expected" "$stamps" 0 "$E2E/optional" || status=$?
if [[ "${ORCA_REPORT_ONLY:-}" == 1 ]]; then status=0; fi
((status == 0)) || e2e_fail "Orca did not speak every line of the page once in $browser (log: $ORCA_LOG)"
echo "orca web ($browser${reading:+, Start pressed while Orca reads the page}): ok"
