#!/usr/bin/env bash
# Installs what is missing, builds the web version into build/web/ and serves it
# on http://127.0.0.1:8000/ until Ctrl+C.
#   ./web.sh           build and serve
#   ./web.sh --build   only build
set -euo pipefail
cd "$(dirname "$0")"
prefix=$(tools/web/deps.sh | tail -n 1)
export NODE_PATH=/usr/share/nodejs
dir=build/web-cmake
# Heavy work yields to whatever else runs on the machine.
mkdir -p "$dir"
# The same project as the desktop's, configured with Emscripten's toolchain.
nice -n 19 emcmake cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DPUFFWICK_WEB_PREFIX="$prefix" \
  -DPUFFWICK_WERROR=ON >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log" >&2; exit 1; }
nice -n 19 cmake --build "$dir" --target puffwick-loopery -j"$(nproc)"
mkdir -p build/web
cp "$dir"/web/index.html "$dir"/web/index.js "$dir"/web/index.wasm "$dir"/web/index.data build/web/
[ "${1:-}" = --build ] && exit 0
echo "Serving the game on http://127.0.0.1:8000/ (Ctrl+C stops)"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web
