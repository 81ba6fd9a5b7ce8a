#!/usr/bin/env bash
# Saves that a crash interrupted, as the next start meets them: a folder
# holding each save's temporary file (cut short, as by kill -9 in the middle
# of a write). The game, once it holds the folder, removes exactly those
# files before reading the folder, and the saves stay as they were; while
# another holds the folder, nothing is removed.
#
#   tests/interrupted_saves.sh GAME
set -euo pipefail
game=${1:?usage: interrupted_saves.sh GAME}
work=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-interrupted.XXXXXX")
trap 'rm -rf "$work"' EXIT
data=$work/data
fail() {
  echo "interrupted saves: $*" >&2
  exit 1
}

# A game that writes every file it saves whole: an easy game, Dirt and
# Water make Mud (progress.ini, achievements.ini, mylegacy.txt), then F12
# (settings.ini).
printf 'Enter\nEnter\nD\nEnter\nW\nEnter\nShift+Enter\nF12\n' >"$work/play.keys"
"$game" --script "$work/play.keys" --data-dir "$data" --seed 1 >"$work/play.out"
saves=(progress.ini achievements.ini mylegacy.txt settings.ini)
for name in "${saves[@]}"; do
  [[ -s $data/$name ]] || fail "the first game left no $name"
  head -c 20 "$data/$name" >"$data/$name.tmp"
done
# Files no save writes stay, whatever their names look like.
others=(log.txt.tmp cheat.ini.tmp progress.tmp progress.ini.tmp.1 quillvane.tmp)
for name in "${others[@]}"; do printf '%s' "$name" >"$data/$name"; done
fingerprint() { (cd "$data" && md5sum "${saves[@]}" "${others[@]}"); }
before=$(fingerprint)
log_before=$(cat "$data/log.txt")

# Another copy holds the folder: the game touches nothing.
status=0
flock "$data" "$game" --script "$work/play.keys" --data-dir "$data" --seed 1 \
  >/dev/null 2>&1 || status=$?
((status == 1)) || fail "a game on a folder held by another exited with status $status"
for name in "${saves[@]}"; do
  [[ -e $data/$name.tmp ]] || fail "$name.tmp was removed from a folder held by another"
done

# The game holds the folder: continuing the saved game finds it whole.
printf 'Down\nDown\nEnter\n1\n' >"$work/continue.keys"
"$game" --script "$work/continue.keys" --data-dir "$data" --seed 1 >"$work/continue.out"
grep -qx "say: You have made 1 steps so far." "$work/continue.out" ||
  fail "the saved game was not continued: $(cat "$work/continue.out")"
for name in "${saves[@]}"; do
  [[ ! -e $data/$name.tmp ]] || fail "$name.tmp is still there"
done
[[ "$(fingerprint)" == "$before" ]] || fail "the saves or other files changed"
[[ "$(head -c ${#log_before} "$data/log.txt")" == "$log_before" ]] || fail "log.txt changed"
echo "interrupted saves: ok"
