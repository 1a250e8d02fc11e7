#!/usr/bin/env bash
# Builds and starts a local world leaderboard with its page on
# http://127.0.0.1:8080/ (Ctrl+C stops it), with the web build at /play/ for Watch.
# The database is build/leaderboard/leaderboard.db. Point the game at it with
#   build/leaderboard-build/puffwick-loopery --leaderboard http://127.0.0.1:8080
#   ./leaderboard.sh            build and serve
#   ./leaderboard.sh --no-web   without building the web version (Watch then answers 404)
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh server
dir=build/leaderboard-build
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"$(nproc)" --target puffwick-server puffwick-loopery
[ "${1:-}" = --no-web ] || [ -f build/web/index.html ] || ./web.sh --build
mkdir -p build/leaderboard
echo "The leaderboard on http://127.0.0.1:8080/ (Ctrl+C stops)"
exec "$dir/puffwick-server" --listen 127.0.0.1:8080 --database "sqlite:build/leaderboard/leaderboard.db" --web build/web
