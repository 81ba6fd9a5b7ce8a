#!/usr/bin/env bash
# Figures (not a test): the peak memory and the time of a start of the real
# program, headless, that reads a saved file of 50 MB of line ends, beside
# the same start without those 50 MB. Goal: such a progress.ini costs under
# 20 MB and under 100 ms more. Beside it: an achievements.ini of line ends,
# a valid progress.ini followed by 50 MB of line ends (the game plays on),
# and a cheat.ini of line ends (read to its end). Medians of 15 runs each.
# Builds a Release build in build-release unless given the program.
#
#   bench/saves.sh [PROGRAM]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
game=${1:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-bench-saves.XXXXXX")
trap 'rm -rf "$work"' EXIT
if [[ -z $game ]]; then
  { cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DQUILLVANE_TESTS=OFF \
    -DQUILLVANE_BENCH=OFF && cmake --build "$root/build-release" -j2 --target quillvane; } \
    >"$work/build.log" 2>&1 || {
    cat "$work/build.log"
    exit 1
  }
  game=$root/build-release/quillvane
fi

# A valid progress.ini, as a game saves it.
printf 'Enter\nEnter\nPlus\n' >"$work/save.keys"
"$game" --script "$work/save.keys" --data-dir "$work/saved" --seed 1 >/dev/null
line_ends() { head -c 52428800 < <(yes $'\r'); }
mkdir -p "$work/empty" "$work/progress" "$work/achievements" "$work/valid" "$work/cheat" \
  "$work/valid-alone"
cp "$work/saved/progress.ini" "$work/valid-alone/"
line_ends >"$work/progress/progress.ini"
cp "$work/progress/progress.ini" "$work/achievements/achievements.ini"
cp "$work/progress/progress.ini" "$work/cheat/cheat.ini"
cat "$work/saved/progress.ini" "$work/progress/progress.ini" >"$work/valid/progress.ini"
: >"$work/none.keys"

python3 - "$game" "$work" <<'PY'
import os, statistics, subprocess, sys, time

game, work = sys.argv[1], sys.argv[2]

def run(folder):
    """Wall seconds and peak resident megabytes of one headless start."""
    start = time.perf_counter()
    child = subprocess.Popen([game, "--script", f"{work}/none.keys", "--data-dir",
                              f"{work}/{folder}", "--seed", "1"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    return time.perf_counter() - start, usage.ru_maxrss / 1024

def medians(folder):
    runs = [run(folder) for _ in range(15)]
    return statistics.median(t for t, _ in runs), statistics.median(m for _, m in runs)

# Each start beside the one it differs from only by the 50 MB: a damaged
# file ends the game before it writes anything (the empty start writes its
# log and legacy report, flushed to disk), so it can take less time.
print(f"{'start on':44} {'wall ms':>8} {'peak MB':>8} {'+ms':>7} {'+MB':>6}")
seen = {}
for folder, what, beside in [
        ("empty", "an empty folder", None),
        ("progress", "progress.ini of 50 MB of line ends", "empty"),
        ("achievements", "achievements.ini of 50 MB of line ends", "empty"),
        ("valid-alone", "a valid progress.ini", None),
        ("valid", "a valid progress.ini + 50 MB of line ends", "valid-alone"),
        ("cheat", "cheat.ini of 50 MB of line ends", "empty")]:
    t, m = seen[folder] = medians(folder)
    line = f"{what:44} {t * 1000:8.1f} {m:8.1f}"
    if beside:
        bt, bm = seen[beside]
        line += f" {(t - bt) * 1000:7.1f} {m - bm:6.1f}"
    print(line)
PY
