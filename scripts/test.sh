#!/usr/bin/env bash
# Installs what is missing, builds Quillvane and runs every test: the normal
# build, the sanitizer build, and the front-end suites.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --with-tests
jobs=$(nproc)

echo "== normal build"
cmake -S . -B build
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== sanitizer build (address, undefined)"
cmake -S . -B build-sanitize -DQUILLVANE_SANITIZE=ON -DQUILLVANE_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

# Front-end suites: each has its own script. The web suite goes first: it
# builds the site (and installs the page tests' puppeteer-core) that the
# Orca suite's page scenarios play.
suites=(scripts/test-web.sh)
for suite in scripts/test-*.sh; do
  [[ "$suite" == scripts/test-web.sh ]] || suites+=("$suite")
done
for suite in "${suites[@]}"; do
  [[ -e "$suite" ]] || continue
  echo "== $suite"
  bash "$suite"
done
echo "all test suites passed"
