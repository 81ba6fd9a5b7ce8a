#!/usr/bin/env bash
# The data folder as a player meets it:
#  - one folder, one game: a second copy on a folder in use says so, exits
#    with status 1 and touches nothing; once the first copy is killed with
#    -9, a new copy starts (the lock died with its process);
#  - the default folder is the per-user data folder, wherever the program
#    lies, and an older build's saves beside the program are copied there
#    once and left in place;
#  - --data-dir makes a missing folder with its parents; an empty one is an
#    error.
#
#   tests/e2e/data_folder.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_game "${1:?usage: data_folder.sh BUILD_DIR}"
e2e_begin folder

# Every file of a folder with its checksum and modification time.
fingerprint() { (cd "$1" && find . -type f -printf '%p %T@ ' -exec md5sum {} \; | sort); }

# ---- one folder, one game ----
data=$E2E/data
e2e_pane_script "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy '$game' --data-dir '$data' \\
  2>'$E2E/stderr'" >"$E2E/run.sh"
e2e_tmux game 160x40 "bash $E2E/run.sh"
wait_screen "$E2E_WELCOME"
# The rate key saves the progress file.
key +
wait_screen "Sapi rate raised to 8."
before=$(fingerprint "$data")

printf 'Enter\nEnter\nShift+Enter\n' >"$E2E/play.keys"
for way in headless terminal; do
  status=0
  if [[ $way == headless ]]; then
    "$game" --script "$E2E/play.keys" --data-dir "$data" >"$E2E/second.out" 2>"$E2E/second.err" ||
      status=$?
  else
    env -u DISPLAY -u WAYLAND_DISPLAY "$game" --terminal --data-dir "$data" </dev/null \
      >"$E2E/second.out" 2>"$E2E/second.err" || status=$?
  fi
  ((status == 1)) || e2e_fail "a second copy ($way) exited with status $status"
  [[ "$(cat "$E2E/second.err")" == "Quillvane is already running with this data folder." ]] ||
    e2e_fail "a second copy ($way) said: $(cat "$E2E/second.err")"
  [[ ! -s "$E2E/second.out" ]] || e2e_fail "a second copy ($way) wrote: $(cat "$E2E/second.out")"
  [[ "$(fingerprint "$data")" == "$before" ]] || e2e_fail "a second copy ($way) changed the files"
done
# The terminal copy also said it in the voice.
wait_spoken "Quillvane is already running with this data folder."

kill -9 "$(cat "$E2E/pid")"
# Killed, the game leaves the terminal in its modes (its output writes its
# own CR LF): the shell's line may start anywhere in a row.
wait_for 'screen | grep -q "EXIT=137"' 10 || e2e_fail "the first copy did not die: $(screen | tail -n 3)"
printf 'Down\nDown\nEnter\n1\n' >"$E2E/continue.keys"
"$game" --script "$E2E/continue.keys" --data-dir "$data" --seed 1 >"$E2E/third.out" ||
  e2e_fail "a new copy after kill -9 failed with status $?"
grep -qx "say: You have made 0 steps so far." "$E2E/third.out" ||
  e2e_fail "the new copy did not continue the game: $(cat "$E2E/third.out")"

# ---- the default folder ----
# An older build: the program with saves beside it.
old=$E2E/old-build
mkdir -p "$old"
cp "$game" "$old/quillvane"
cp "$data/progress.ini" "$data/log.txt" "$old/"
printf '1\n' >"$E2E/steps.keys"
for case in xdg home; do
  home=$E2E/home-$case
  mkdir -p "$home"
  if [[ $case == xdg ]]; then
    expected=$E2E/xdg-$case/quillvane
    env HOME="$home" XDG_DATA_HOME="$E2E/xdg-$case" "$old/quillvane" --script "$E2E/continue.keys" \
      --seed 1 >"$E2E/$case.out" 2>"$E2E/$case.err"
  else
    expected=$home/.local/share/quillvane
    env -u XDG_DATA_HOME HOME="$home" "$old/quillvane" --script "$E2E/continue.keys" \
      --seed 1 >"$E2E/$case.out" 2>"$E2E/$case.err"
  fi
  grep -qx "say: You have made 0 steps so far." "$E2E/$case.out" ||
    e2e_fail "($case) the adopted save was not continued: $(cat "$E2E/$case.out")"
  cmp -s "$old/progress.ini" "$expected/progress.ini" || e2e_fail "($case) progress.ini not copied"
  [[ -s "$old/progress.ini" && -s "$old/log.txt" ]] || e2e_fail "($case) the old saves were moved"
  [[ ! -e "$old/mylegacy.txt" ]] || e2e_fail "($case) the game wrote beside the program"
  grep -q "copied 2 saved files" "$E2E/$case.err" || e2e_fail "($case) said: $(cat "$E2E/$case.err")"
done
# Once copied, never again: the per-user folder keeps its own saves.
printf "not read\r\n" >"$old/achievements.ini"
env -u XDG_DATA_HOME HOME="$E2E/home-home" "$old/quillvane" --script "$E2E/steps.keys" \
  --seed 1 >/dev/null 2>"$E2E/again.err"
[[ ! -e "$E2E/home-home/.local/share/quillvane/achievements.ini" ]] ||
  e2e_fail "saves were copied a second time"

# ---- --data-dir ----
"$game" --script "$E2E/steps.keys" --data-dir "$E2E/new/deeper/folder" >/dev/null ||
  e2e_fail "a missing --data-dir folder was not made"
grep -qF "$E2E_WELCOME" "$E2E/new/deeper/folder/log.txt" || e2e_fail "no log in the new folder"
status=0
"$game" --script "$E2E/steps.keys" --data-dir "" >/dev/null 2>"$E2E/empty.err" || status=$?
((status == 2)) || e2e_fail "an empty --data-dir gave status $status"
# A command line that cannot be played touches no data folder.
for args in "--transcript $E2E/t.out" "--script $E2E/steps.keys --window"; do
  status=0
  # shellcheck disable=SC2086
  env -u XDG_DATA_HOME HOME="$E2E/home-usage" "$game" $args >/dev/null 2>&1 || status=$?
  ((status == 2)) || e2e_fail "'$args' gave status $status"
  [[ ! -e "$E2E/home-usage" ]] || e2e_fail "'$args' made a data folder"
done
echo "data folder: ok"
