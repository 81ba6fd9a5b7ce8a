#!/usr/bin/env bash
# The Debian package, as a Linux player gets it:
#  1. CPack builds build/quillvane_<version>_amd64.deb from the install rules
#     (kept there as the CI artifact);
#  2. lintian checks it (errors fail, warnings are listed), and the desktop
#     entry, the AppStream metadata, the manual page and the icon are
#     validated;
#  3. apt-get installs it, and a new unprivileged user plays the installed
#     game headless from a key script (the files land in that user's data
#     folder) and in the terminal under tmux;
#  4. apt-get remove takes away every installed file and leaves the saves.
# The user and the package are removed again whatever happens. Needs root,
# or sudo. Uses the normal build (build/) unless QUILLVANE_BUILD_DIR names
# another.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tests/e2e/lib.sh
e2e_game "${QUILLVANE_BUILD_DIR:-build}"

as_root=()
if [[ $(id -u) -ne 0 ]]; then as_root=(sudo); fi
apt_get() {
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -o DPkg::Lock::Timeout=600 "$@"
}
installed() { [[ "$(dpkg-query -W -f='${Status}' quillvane 2>/dev/null)" == "install ok installed" ]]; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-package.XXXXXX")
e2e_at_exit 'rm -rf "$work"'
user=""
we_installed=0
e2e_at_exit '((we_installed)) && installed && apt_get remove quillvane >/dev/null'
# Everything the test user runs was started here: the tmux server, the game
# and its speech-dispatcher. They are ended before the user is removed.
remove_user() {
  [[ -n $user ]] || return 0
  local pids
  pids=$(pgrep -u "$user")
  if [[ -n $pids ]]; then
    # shellcheck disable=SC2086
    "${as_root[@]}" kill $pids 2>/dev/null
    if ! wait_for '! pgrep -u "$user" >/dev/null' 10; then
      # shellcheck disable=SC2046
      "${as_root[@]}" kill -9 $(pgrep -u "$user") 2>/dev/null
    fi
  fi
  "${as_root[@]}" userdel --remove "$user" 2>/dev/null || "${as_root[@]}" userdel --force --remove "$user"
}
e2e_at_exit remove_user

if installed; then
  # Only a run that was cut short leaves the package behind on CI; anywhere
  # else it is a player's own copy, which the test must not take away.
  [[ "${CI:-}" == true ]] || e2e_fail "quillvane is installed here: remove it first (apt-get remove quillvane)"
  echo "package: removing a quillvane left installed by an earlier run"
  apt_get remove quillvane >/dev/null
fi

echo "-- build the .deb"
rm -f "$build"/quillvane_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  exit 1
}
debs=("$build"/quillvane_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || e2e_fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}

# One version everywhere: --version, the game's welcome line and title (from
# the transcript below), and the package, where a space in the version is a
# tilde (a prerelease sorts before the release).
version=$QUILLVANE_VERSION
version_line="quillvane $version"
debian_version=${version// /\~}
[[ "$(dpkg-deb -f "$deb" Version)" == "$debian_version" ]] ||
  e2e_fail "package version $(dpkg-deb -f "$deb" Version), game version $version"
[[ "$(basename "$deb")" == "quillvane_${debian_version}_amd64.deb" ]] || e2e_fail "odd name $deb"

echo "-- lintian"
status=0
lintian --fail-on error --display-info "$deb" >"$work/lintian.txt" 2>&1 || status=$?
cat "$work/lintian.txt"
if ((status != 0)); then e2e_fail "lintian found errors (status $status)"; fi
echo "lintian: $(grep -c '^W: ' "$work/lintian.txt" || true) warnings," \
  "$(grep -c '^I: ' "$work/lintian.txt" || true) notes, no errors; overridden on purpose:" \
  "$(grep -v '^#' packaging/lintian-overrides | tr '\n' ' ')"

echo "-- the package's contents"
dpkg-deb -f "$deb" Depends Recommends
contents=$work/contents
dpkg-deb -x "$deb" "$contents"
for path in usr/bin/quillvane usr/share/applications/quillvane.desktop \
  usr/share/icons/hicolor/128x128/apps/quillvane.png \
  usr/share/metainfo/io.github.quillvane.Quillvane.metainfo.xml \
  usr/share/man/man6/quillvane.6.gz usr/share/doc/quillvane/copyright \
  usr/share/locale/es/LC_MESSAGES/quillvane.mo usr/share/locale/de/LC_MESSAGES/quillvane.mo; do
  [[ -f "$contents/$path" ]] || e2e_fail "the package lacks /$path"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *speech-dispatcher* ]] || e2e_fail "speech-dispatcher is not recommended"
for library in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libspeechd2; do
  [[ "$(dpkg-deb -f "$deb" Depends)" == *"$library "* ]] || e2e_fail "no dependency on $library"
done
# The game's folder holds the cues and nothing the game could write to.
# The translations' catalogs, and not the tests' pseudo-language.
[[ ! -e "$contents/usr/share/locale/qps" ]] || e2e_fail "the package installs the pseudo-language"
others=$(cd "$contents/usr/share/quillvane" && find . -type f ! -path './sounds/*.wav')
[[ -z $others ]] || e2e_fail "more than cues in /usr/share/quillvane: $others"
[[ $(find "$contents/usr/share/quillvane/sounds" -name '*.wav' | wc -l) -eq 12 ]] ||
  e2e_fail "not twelve cues in /usr/share/quillvane/sounds"

desktop=$contents/usr/share/applications/quillvane.desktop
desktop-file-validate "$desktop"
for line in Name=Quillvane Exec=quillvane Icon=quillvane Terminal=false "Categories=Game;LogicGame;"; do
  grep -qxF "$line" "$desktop" || e2e_fail "the desktop entry lacks $line"
done
grep -q '^Comment=.' "$desktop" || e2e_fail "the desktop entry has no comment"
appstreamcli validate --no-net "$contents/usr/share/metainfo/io.github.quillvane.Quillvane.metainfo.xml"
grep -qF "<release version=\"$debian_version\"" \
  "$contents/usr/share/metainfo/io.github.quillvane.Quillvane.metainfo.xml" ||
  e2e_fail "the AppStream release is not $debian_version"

man_page=$contents/usr/share/man/man6/quillvane.6.gz
warnings=$(MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)
[[ -z $warnings ]] || e2e_fail "the manual page renders with warnings: $warnings"
LC_ALL=C MANWIDTH=80 man -l "$man_page" 2>/dev/null | col -b >"$work/man.txt"
grep -qF "Quillvane $version" "$work/man.txt" || e2e_fail "the manual page does not name version $version"
# Every option of --help is documented.
for option in $("$build/quillvane" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "$option" "$work/man.txt" || e2e_fail "the manual page lacks $option"
done

icon=$contents/usr/share/icons/hicolor/128x128/apps/quillvane.png
file -b "$icon" | grep -q "PNG image data, 128 x 128, 8-bit/color RGBA" || e2e_fail "odd icon: $(file -b "$icon")"
# It decodes, its corners are see-through and its middle is solid.
[[ "$(convert "$icon" -alpha extract -format '%[fx:p{0,0}] %[fx:p{127,127}] %[fx:p{64,64}]' info:)" == "0 0 1" ]] ||
  e2e_fail "the icon's corners or middle are not as drawn"

echo "-- apt-get install"
apt_get install "$deb" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  e2e_fail "apt-get install failed"
}
we_installed=1
installed || e2e_fail "quillvane is not installed after apt-get install"
dpkg -L quillvane >"$work/installed.txt"
[[ "$(/usr/bin/quillvane --version)" == "$version_line" ]] || e2e_fail "the installed game is another version"

echo "-- a new user plays the installed game"
user=qvpkg$$
"${as_root[@]}" useradd --create-home --shell /bin/bash --user-group "$user"
home=$(getent passwd "$user" | cut -d: -f6)
data=$home/.local/share/quillvane
# Runs a command as the test user with a player's plain environment.
as_user() {
  "${as_root[@]}" runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    TERM=xterm-256color XDG_RUNTIME_DIR="$home/run" TMUX_TMPDIR="$home" "$@"
}
# Writes standard input to a file in the test user's home, owned by them.
user_file() {
  "${as_root[@]}" tee "$home/$1" >/dev/null
  "${as_root[@]}" chown "$user:" "$home/$1"
}
as_user mkdir -p -m 700 "$home/run"

# Headless: the Dirt and Water game, with no --data-dir.
transcripts=$root/tests/transcripts
user_file game.keys <"$transcripts/combine-dirt-water.keys"
as_user quillvane --script "$home/game.keys" --seed 1 --transcript "$home/transcript.txt"
"${as_root[@]}" cat "$home/transcript.txt" >"$work/transcript.txt"
# The golden files name the version @VERSION@: as this version writes them.
golden() { sed "s/@VERSION@/$version/g" "$1"; }
golden "$transcripts/combine-dirt-water.expected" >"$work/expected.txt"
if ! cmp -s "$work/transcript.txt" "$work/expected.txt"; then
  diff -u "$work/expected.txt" "$work/transcript.txt" >&2 || true
  e2e_fail "the installed game played another game"
fi
# The installed catalogs: a Spanish player's folder plays in Spanish.
"${as_root[@]}" mkdir -p "$home/spanish"
"${as_root[@]}" cp "$transcripts/es-game.files/settings.ini" "$home/spanish/"
"${as_root[@]}" chown -R "$user:" "$home/spanish"
user_file spanish.keys <"$transcripts/es-game.keys"
as_user quillvane --script "$home/spanish.keys" --data-dir "$home/spanish" --seed 1 \
  --transcript "$home/spanish.txt"
"${as_root[@]}" cat "$home/spanish.txt" >"$work/spanish.txt"
if ! golden "$transcripts/es-game.expected" | cmp -s "$work/spanish.txt" -; then
  golden "$transcripts/es-game.expected" | diff -u - "$work/spanish.txt" >&2 || true
  e2e_fail "the installed game did not play in Spanish from its catalog"
fi
grep -qxF "say: $E2E_WELCOME" "$work/transcript.txt" ||
  e2e_fail "the welcome line does not carry version $version"
grep -qxF "title: $E2E_TITLE" "$work/transcript.txt" ||
  e2e_fail "the window title does not carry version $version"
for file in "$transcripts"/combine-dirt-water.after/*; do
  name=$(basename "$file")
  golden "$file" >"$work/expected.$name"
  "${as_root[@]}" cat "$data/$name" | cmp -s - "$work/expected.$name" ||
    e2e_fail "$data/$name differs from the expected $name"
done
for name in progress.ini achievements.ini; do
  [[ "$("${as_root[@]}" stat -c %U "$data/$name")" == "$user" ]] || e2e_fail "no $name of the user's in $data"
done

# The terminal, under tmux: the game's lines printed and spoken, a cue from
# /usr/share/quillvane/sounds, Ctrl+C to leave.
spoken_file=$home/spoken.txt
"${as_root[@]}" bash -c "$(declare -f e2e_write_speech_config); e2e_write_speech_config '$home' '$spoken_file'"
"${as_root[@]}" chown -R "$user:" "$home/.config" "$home/.libao"
# The test user's speech-dispatcher writes its log in the user's runtime folder.
e2e_speech_log() { "${as_root[@]}" cat "$home/run/speech-dispatcher/log/speech-dispatcher.log" 2>/dev/null || true; }
e2e_pane_script "env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='$home/audio.raw' quillvane 2>'$home/stderr'" |
  user_file run.sh
tmux_() { as_user tmux -L package "$@"; }
e2e_tmux game 160x40 "bash $home/run.sh"
wait_screen "$E2E_WELCOME"
wait_welcome_spoken
key Enter
wait_screen "Choose puzzle difficulty"
key Enter
wait_screen "Beginning puzzle on easy mode"
sounded() { "${as_root[@]}" test -s "$home/audio.raw" && [[ "$("${as_root[@]}" cat "$home/audio.raw" | e2e_peak)" != 0 ]]; }
wait_for sounded 30 || e2e_fail "the installed game played no cue"
wait_spoken "Beginning puzzle on easy mode"
[[ "$(spoken_lines | head -n 1)" == "$E2E_WELCOME" ]] ||
  e2e_fail "the first spoken line: $(spoken_lines | head -n 1)"
key C-c
wait_screen "EXIT=0"
tmux_ kill-server
# Both games logged their welcome in the same per-user log.
welcomes=$("${as_root[@]}" cat "$data/log.txt" | grep -cxF "$E2E_WELCOME$(printf '\r')" || true)
[[ $welcomes == 2 ]] || e2e_fail "$welcomes welcome lines in $data/log.txt, not 2"
# The game wrote nothing in its own folders.
written=$(find /usr/share/quillvane /usr/bin/quillvane -newer "$work/installed.txt")
[[ -z $written ]] || e2e_fail "the game wrote into its installed folders: $written"

echo "-- apt-get remove"
saves_before=$("${as_root[@]}" bash -c "cd '$data' && sha256sum *")
apt_get remove quillvane >"$work/remove.log" 2>&1 || {
  cat "$work/remove.log"
  e2e_fail "apt-get remove failed"
}
! installed || e2e_fail "quillvane is still installed after apt-get remove"
left=()
while read -r path; do
  [[ $path == /. ]] && continue
  [[ -e $path || -L $path ]] || continue
  # A folder that another package also owns stays.
  if [[ -d $path ]] && dpkg-query -S "$path" >/dev/null 2>&1; then continue; fi
  left+=("$path")
done <"$work/installed.txt"
((${#left[@]} == 0)) || e2e_fail "apt-get remove left: ${left[*]}"
saves_after=$("${as_root[@]}" bash -c "cd '$data' && sha256sum *")
[[ "$saves_after" == "$saves_before" ]] || e2e_fail "the saves changed on removal:
$saves_before
---
$saves_after"
echo "kept saves: $(echo "$saves_after" | awk '{ print $2 }' | tr '\n' ' ')"
echo "$(wc -l <"$work/installed.txt") installed paths checked after removal"

ls -l "$deb"
echo "package: all passed"
