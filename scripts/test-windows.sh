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
source tests/e2e/lib.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-windows.XXXXXX")
E2E=$work # the harness keeps the display and its log here
e2e_at_exit 'rm -rf "$work"'

export WINEPREFIX=$work/wineprefix
export WINEDEBUG=-all
# No Mono, Gecko or menu entries for a throwaway prefix.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

e2e_at_exit 'wineserver -k >/dev/null 2>&1'

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
e2e_start_display
wineboot --init >/dev/null 2>&1
wineserver -w
# One server for the whole run. By default wineserver exits 3 s after its
# last client; a test started by ctest in that moment connects to a server
# that is going away and fails with "recvmsg: Connection reset by peer".
# The prefix's services are started here, writing nowhere: started by the
# first test instead, they would keep its output pipe open, and ctest would
# wait on it until its time limit.
wineserver -p
wineboot >/dev/null 2>&1

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

# The version the game itself reports: the window's title and the welcome
# line carry it, and the zip's name and read-me.
version=$(wine "$build/quillvane.exe" --version | tr -d '\r')
version=${version#quillvane }

echo "-- GUI smoke test (Xvfb + wine)"
bash "$root/tests/windows/gui_smoke.sh" "$build" "$work" "$version"

echo "-- package"
zip=$build/quillvane-${version// /-}-windows-x86_64.zip
[[ -f $zip ]] || {
  echo "no $zip for version $version" >&2
  exit 1
}
mkdir -p "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
for language in es de; do
  [[ -f $work/zip/Quillvane/locale/$language/LC_MESSAGES/quillvane.mo ]] || {
    echo "the zip lacks the $language catalog" >&2
    exit 1
  }
done
if [[ "$(head -n 1 "$work/zip/Quillvane/README.txt")" != "Quillvane $version for Windows" ]]; then
  echo "the zip's README.txt names another version than $version" >&2
  exit 1
fi
ls -l "$zip"
echo "windows: all passed"
