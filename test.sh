#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh test
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DPUFFWICK_WERROR=ON >/dev/null
cmake --build build/test -j"$(nproc)"
cd build/test
ctest --output-on-failure -j"$(nproc)" --timeout 900
