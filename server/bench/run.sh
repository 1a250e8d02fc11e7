#!/usr/bin/env bash
# The leaderboard server's figures on SQLite and on a throwaway PostgreSQL.
#   server/bench/run.sh [BUILD_DIR] [SUBMISSIONS]    (default build/test, 20)
# The replay verified is a whole game of five minutes, recorded first.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/deps.sh server
dir=${1:-build/test}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DPUFFWICK_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target puffwick-server leaderboard_bench leaderboard-test-replays >/dev/null
port=${LEADERBOARD_TEST_PORT:-18180}
work=$(mktemp -d /tmp/leaderboard-bench.XXXXXX)
chmod 755 "$work"
. server/tests/pg_cluster.sh
trap 'pg_cluster_stop; rm -rf "$work"' EXIT
replay=$work/long.txt
"$dir/leaderboard-test-replays" --long "$replay"
"$dir/leaderboard_bench" "$dir/puffwick-server" "$replay" "sqlite:$work/bench.db" "$port" "${2:-20}"
pg_cluster_start "$work/pg" $((port + 1))
"$dir/leaderboard_bench" "$dir/puffwick-server" "$replay" "$PG_URL" "$port" "${2:-20}"
