#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   ./test.sh              the Release build, as CI runs it
#   ./test.sh --sanitize   the same suite under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh test
dir=build/test
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build/sanitize
  san="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS=$san" "-DCMAKE_C_FLAGS=$san"
         "-DCMAKE_EXE_LINKER_FLAGS=$san")
  # LeakSanitizer reports the display and sound libraries' own one-off allocations.
  export ASAN_OPTIONS=detect_leaks=0
  export UBSAN_OPTIONS=print_stacktrace=1
else
  flags=(-DCMAKE_BUILD_TYPE=Release)
fi
cmake -S . -B "$dir" "${flags[@]}" -DBUILD_TESTING=ON -DPUFFWICK_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)"
cd "$dir"
ctest --output-on-failure -j"$(nproc)" --timeout 900
