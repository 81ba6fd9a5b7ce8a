#!/usr/bin/env bash
# A clean terminal: the game in tmux with SDL left to pick its own audio
# driver (on a machine without a sound card ALSA is tried and fails) and its
# standard error on the screen, as a player has it. Starts a game (the first
# cue opens the audio device) and changes the speech output with Tab; the
# screen must then hold the game's own lines and nothing else.
#
#   tests/e2e/quiet.sh BUILD_DIR voice     a private speech-dispatcher
#   tests/e2e/quiet.sh BUILD_DIR novoice   SPEECHD_ADDRESS names a socket
#                                          nobody listens on
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
game=$(cd "${1:?usage: quiet.sh BUILD_DIR voice|novoice}" && pwd)/quillvane
way=${2:?usage: quiet.sh BUILD_DIR voice|novoice}
[[ -x "$game" ]] || e2e_fail "no game at $game"

e2e_setup_speech
socket="quillvane-quiet-$$"
tmux_() { tmux -L "$socket" "$@"; }
cleanup() {
  tmux_ kill-server 2>/dev/null || true
  e2e_stop_speech
  if [[ "${E2E_KEEP:-}" != 1 ]]; then rm -rf "$E2E"; fi
}
trap cleanup EXIT

if [[ -e /proc/asound/cards ]] && ! grep -q "no soundcards" /proc/asound/cards; then
  echo "note: this machine has a sound card; the audio device may open without complaint"
fi
speech=()
if [[ "$way" == novoice ]]; then speech=(SPEECHD_ADDRESS="unix_socket:$E2E/nobody.sock"); fi
cat >"$E2E/run.sh" <<RUN
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_AUDIODRIVER -u AUDIODEV ${speech[*]} \\
  "$game" --data-dir "$E2E/data"
echo "EXIT=\$?"
sleep 600
RUN
tmux_ -f /dev/null new-session -d -s game -x 250 -y 60 "bash $E2E/run.sh"

screen() { tmux_ capture-pane -t game -p -J -S - | sed '/^$/d'; }
wait_screen() {
  wait_for "[[ \"\$(screen | tail -n 1)\" == \"$1\" ]]" "${2:-30}" ||
    e2e_fail "expected the last printed line '$1'; the screen:
$(screen)"
}
key() { tmux_ send-keys -t game "$@"; }

wait_for 'screen | grep -qx "Welcome to Quillvane, version (0.7 beta), by Orlick"' ||
  e2e_fail "no welcome line: $(screen)"
if [[ "$way" == novoice ]]; then
  # The voice is given up on in the background, before or after the welcome.
  wait_for 'screen | grep -q "^No voice"' || e2e_fail "no line about the missing voice: $(screen)"
fi
key Enter
wait_screen "Choose puzzle difficulty"
key Enter
wait_screen "Beginning puzzle on easy mode"
# Each new speech output is named in a printed line (its cue may be silent).
key Tab
wait_screen "Speech output: printed lines only, for your screen reader (NVDA mode)."
key Tab
wait_screen "Speech output: printed lines only, for your screen reader (Window-Eyes mode)."
key Tab
wait_screen "Jaws does not seem to be responding, Sapi on."
key d
wait_screen "Dirt, you have 2."
# Anything a library prints after the first cue has had time to arrive.
sleep 1
key C-c
wait_screen "EXIT=0"

expected="Quillvane in the terminal: where Shift+Enter or Shift+Backspace does not work, Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes; Ctrl+C quits.
Welcome to Quillvane, version (0.7 beta), by Orlick
Choose puzzle difficulty
Beginning puzzle on easy mode
Speech output: printed lines only, for your screen reader (NVDA mode).
Speech output: printed lines only, for your screen reader (Window-Eyes mode).
Speech output: voice and printed lines.
Jaws does not seem to be responding, Sapi on.
Dirt, you have 2.
EXIT=0"
shown=$(screen)
if [[ "$way" == novoice ]]; then
  # The game says once why there is no voice, in a line of its own.
  notice="No voice: speech-dispatcher does not answer. The lines are printed."
  [[ $(grep -cxF "$notice" <<<"$shown") == 1 ]] ||
    e2e_fail "not one line about the missing voice: $shown"
  shown=$(grep -vxF "$notice" <<<"$shown")
fi
if [[ "$shown" != "$expected" ]]; then
  diff <(echo "$expected") <(echo "$shown") >&2 || true
  e2e_fail "the terminal showed more than the game's lines"
fi
if [[ "$way" == voice ]]; then
  wait_spoken "Dirt, you have 2."
fi
echo "quiet ($way): ok"
