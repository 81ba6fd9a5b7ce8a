# Replays every key script of tests/transcripts with another build of the
# game and compares each transcript byte for byte with its expected one
# (and the data folder's files with NAME.after/, where it exists). Sourced
# by the scripts that test a build made elsewhere (Windows under wine, the
# WebAssembly runner under node).
#
#   replay_transcripts WORK_DIR WHAT RUN
#
# RUN is a command (a function) called as `RUN KEYS DATA_DIR OUT`; it plays
# KEYS headless with --seed 1 and writes the transcript to OUT. WHAT names
# the build in messages. The golden files name the version as @VERSION@;
# it is read from the top-level CMakeLists.txt, where it is set.
replay_transcripts() {
  local work=$1 what=$2 run=$3 count=0 keys name stem data status expected file
  local root version prerelease
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  version=$(sed -n 's/^project(quillvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  prerelease=$(sed -n 's/^set(QUILLVANE_PRERELEASE "\(.*\)")/\1/p' "$root/CMakeLists.txt")
  version="$version${prerelease:+ $prerelease}"
  # A golden file as this version writes it.
  golden() { sed "s/@VERSION@/$version/g" "$1"; }
  for keys in "$root"/tests/transcripts/*.keys; do
    [[ -e $keys ]] || continue
    name=$(basename "$keys" .keys)
    stem=${keys%.keys}
    data=$work/$name
    mkdir -p "$data"
    if [[ -d $stem.files ]]; then cp -R "$stem.files/." "$data/"; fi
    status=0
    "$run" "$keys" "$data" "$work/$name.out" || status=$?
    if [[ $status -ne 0 ]]; then
      echo "transcript $name: $what exited with status $status" >&2
      return 1
    fi
    if ! golden "$stem.expected" | cmp -s "$work/$name.out" -; then
      echo "transcript $name differs from $name.expected:" >&2
      golden "$stem.expected" | diff -u - "$work/$name.out" >&2 || true
      return 1
    fi
    if [[ -d $stem.after ]]; then
      for expected in "$stem.after"/*; do
        file=$(basename "$expected")
        if ! golden "$expected" | cmp -s "$data/$file" -; then
          echo "transcript $name: $file differs from $name.after/$file" >&2
          return 1
        fi
      done
    fi
    count=$((count + 1))
  done
  echo "$count transcripts match"
}
