#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quillvane needs to build, play and test,
# skipping those already installed. Safe to run again. Works as root or,
# through sudo, as a normal user.
set -euo pipefail

packages=(
  cmake g++ make pkg-config git
  libgtest-dev googletest libbenchmark-dev libcli11-dev
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev fonts-dejavu-core fontconfig libfontconfig-dev
  speech-dispatcher speech-dispatcher-espeak-ng espeak-ng libspeechd-dev libbrlapi-dev
)
# What only the tests need: a virtual display, key senders, a terminal
# emulator and a terminal multiplexer, audio measuring, the Windows
# cross-build run under wine, the Debian package's build and checks
# (dpkg-shlibdeps, lintian, the desktop entry, AppStream and manual page
# validators), the web edition (emscripten, node, npm for the browser
# tests' puppeteer-core, chromium and a local web server), and a real screen
# reader that listens to the terminal and the page (Orca on the accessibility
# bus, gnome-terminal, Firefox ESR), and BRLTTY, whose virtual display driver
# stands in for a braille display.
test_packages=(
  xvfb xauth xdotool x11-utils imagemagick xterm tmux sox
  g++-mingw-w64-x86-64 wine wine64 zip
  dpkg-dev file lintian desktop-file-utils appstream man-db
  emscripten nodejs npm chromium python3
  orca at-spi2-core dbus-x11 python3-pyatspi gnome-terminal firefox-esr libglib2.0-bin procps
  brltty
)
if [[ "${1:-}" == "--with-tests" ]]; then packages+=("${test_packages[@]}"); fi

missing=()
# A package counts as there when it is installed or an installed package
# provides it (NodeSource's nodejs, for one, provides npm; installing
# Debian's npm beside it would fight over node).
provided=$(dpkg-query -W -f='${db:Status-Abbrev}|${Provides}\n' | awk -F'|' '$1 ~ /^ii/ && $2 != "" { print $2 }' |
  tr ',' '\n' | sed 's/([^)]*)//; s/^ *//; s/ *$//' | sort -u)
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || grep -qxF "$package" <<<"$provided" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
  echo "deps: everything is installed"
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
echo "deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
