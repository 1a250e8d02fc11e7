#!/usr/bin/env bash
# The leaderboard page, its Watch, the golden replays checked in the page and a
# game played in the page posted to the server, in headless Chromium, against the
# web build in build/web (games/puffwick-loopery/tests/web/run.sh builds it).
#   server/tests/watch.sh [BUILD_DIR]      (default build/test)
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${1:-build/test}
[ -f build/web/index.html ] || ./web.sh --build
cmake --build "$dir" -j"$(nproc)" --target puffwick-server
exec /usr/bin/python3 server/tests/watch_test.py "$dir/puffwick-server" games/puffwick-loopery/tests/replays build/web \
  "${LEADERBOARD_TEST_PORT:-18182}"
