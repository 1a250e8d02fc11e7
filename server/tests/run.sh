#!/usr/bin/env bash
# The leaderboard server's tests, end to end: the API against SQLite in a
# temporary folder, then the same against a throwaway PostgreSQL cluster (run as
# the postgres user on a private socket, stopped after).
#   server/tests/run.sh [BUILD_DIR]      (default build/test, as ./test.sh builds it)
# LEADERBOARD_TEST_PORT picks the port (default 18180).
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/deps.sh server
dir=${1:-build/test}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DPUFFWICK_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target puffwick-server leaderboard-test-replays
port=${LEADERBOARD_TEST_PORT:-18180}

work=$(mktemp -d /tmp/leaderboard-run.XXXXXX)
chmod 755 "$work"
. server/tests/pg_cluster.sh
trap 'pg_cluster_stop; rm -rf "$work"' EXIT

"$dir/leaderboard-test-replays" "$work"
echo "== SQLite"
python3 server/tests/api_test.py "$dir/puffwick-server" games/puffwick-loopery/tests/replays "$work" \
  "sqlite:$work/leaderboard.db" "$port"

echo "== PostgreSQL"
pg_cluster_start "$work/pg" $((port + 1))
python3 server/tests/api_test.py "$dir/puffwick-server" games/puffwick-loopery/tests/replays "$work" \
  "$PG_URL" "$port" --pg-ctl "$PG_CTL"
