#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts the game.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh play
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release --target puffwick-loopery -j"$(nproc)"
exec build/release/puffwick-loopery
