#!/usr/bin/env bash
# The Windows build, cross-compiled with mingw-w64 and run under wine:
#  1. the core test suite and the Windows tests, through ctest with wine as
#     the emulator;
#  2. every key script of tests/transcripts replayed by quillvane.exe
#     --script, compared byte for byte with its expected transcript (and
#     its expected files, where NAME.after/ exists);
#  3. the GUI smoke test under Xvfb + wine;
#  4. the player's zip (build-win/quillvane-*-windows-x86_64.zip).
# A fresh wine prefix in a temporary folder keeps runs independent.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-win
work=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-windows.XXXXXX")
xvfb_pid=""

export WINEPREFIX=$work/wineprefix
export WINEDEBUG=-all
# No Mono, Gecko or menu entries for a throwaway prefix.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A Unix path as wine's Z: drive spells it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

echo "-- cross-build (mingw-w64)"
cmake --preset windows >"$work/configure.log" 2>&1 || {
  cat "$work/configure.log"
  exit 1
}
cmake --build --preset windows
cmake --build --preset windows --target package_zip

echo "-- virtual display and wine prefix"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || {
  echo "Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 1
}
export DISPLAY=:$(head -n 1 "$work/display")
wineboot --init >/dev/null 2>&1
wineserver -w

echo "-- core and Windows tests under wine (ctest)"
# The window tests must run here, not skip.
QUILLVANE_REQUIRE_WINDOW=1 ctest --test-dir "$build" --output-on-failure -j 2 --timeout 600

echo "-- transcripts replayed by quillvane.exe"
source "$root/tests/replay_transcripts.sh"
run_exe() {
  wine "$build/quillvane.exe" --script "$(windows_path "$1")" --data-dir "$(windows_path "$2")" \
    --seed 1 --transcript "$(windows_path "$3")"
}
replay_transcripts "$work/transcripts" quillvane.exe run_exe

echo "-- GUI smoke test (Xvfb + wine)"
bash "$root/tests/windows/gui_smoke.sh" "$build" "$work"

echo "-- package"
# The zip's name and read-me carry the version the game itself reports.
version=$(wine "$build/quillvane.exe" --version | tr -d '\r')
version=${version#quillvane }
zip=$build/quillvane-${version// /-}-windows-x86_64.zip
[[ -f $zip ]] || {
  echo "no $zip for version $version" >&2
  exit 1
}
mkdir -p "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
if [[ "$(head -n 1 "$work/zip/Quillvane/README.txt")" != "Quillvane $version for Windows" ]]; then
  echo "the zip's README.txt names another version than $version" >&2
  exit 1
fi
ls -l "$zip"
echo "windows: all passed"
