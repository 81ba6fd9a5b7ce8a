#!/usr/bin/env bash
# Installs what is missing, builds Quillvane and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DQUILLVANE_TESTS=OFF -DQUILLVANE_BENCH=OFF
cmake --build build -j "$(nproc)"
exec ./build/quillvane "$@"
