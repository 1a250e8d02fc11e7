#!/usr/bin/env bash
# Remakes the README's pictures in docs/screenshots/ from a fixed game session on
# the headless machine (Release build in build/release). Same code, same pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh play
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release --target puffwick-screenshots -j"$(nproc)"
exec build/release/puffwick-screenshots "$@"
