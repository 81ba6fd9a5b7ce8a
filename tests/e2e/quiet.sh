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
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: quiet.sh BUILD_DIR voice|novoice}"
way=${2:?usage: quiet.sh BUILD_DIR voice|novoice}
e2e_begin quiet

if [[ -e /proc/asound/cards ]] && ! grep -q "no soundcards" /proc/asound/cards; then
  echo "note: this machine has a sound card; the audio device may open without complaint"
fi
speech=()
if [[ "$way" == novoice ]]; then speech=(SPEECHD_ADDRESS="unix_socket:$E2E/nobody.sock"); fi
e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_AUDIODRIVER -u AUDIODEV ${speech[*]} \\
  '$game' --data-dir '$E2E/data'" >"$E2E/run.sh"
e2e_tmux game 250x60 "bash $E2E/run.sh"

wait_for 'screen | grep -qxF "$E2E_WELCOME"' || e2e_fail "no welcome line: $(screen)"
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
# The screen is read once the game has ended, so that it holds everything
# the game and its libraries ever printed (the cue thread takes every cue
# asked for before it stops).
key C-c
wait_screen "EXIT=0"

expected="Quillvane in the terminal: where Shift+Enter or Shift+Backspace does not work, Ctrl+J or Alt+Enter combines and Ctrl+H or Alt+Backspace undoes; Ctrl+C quits.
$E2E_WELCOME
Choose puzzle difficulty
Beginning puzzle on easy mode
Speech output: printed lines only, for your screen reader (NVDA mode).
Speech output: printed lines only, for your screen reader (Window-Eyes mode).
Speech output: voice and printed lines.
Jaws does not seem to be responding, Sapi on.
Dirt, you have 2.
TERMINAL RESTORED
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
