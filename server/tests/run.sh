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
pg=$work/pg
as_pg=()
[ "$(id -u)" -eq 0 ] && as_pg=(runuser -u postgres --)
cleanup() {
  [ -f "$pg/data/postmaster.pid" ] && "${as_pg[@]}" "$pgbin/pg_ctl" -D "$pg/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

"$dir/leaderboard-test-replays" "$work"
echo "== SQLite"
python3 server/tests/api_test.py "$dir/puffwick-server" games/puffwick-loopery/tests/replays "$work" \
  "sqlite:$work/leaderboard.db" "$port"

echo "== PostgreSQL"
pgbin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
pgport=$((port + 1))
mkdir -p "$pg"
[ "$(id -u)" -eq 0 ] && chown postgres: "$pg"
"${as_pg[@]}" "$pgbin/initdb" -D "$pg/data" -A trust -U postgres >/dev/null
# No TCP at all: the server reaches it through the socket in $pg.
cat >"$work/pgctl" <<CTL
#!/bin/sh
exec ${as_pg[*]} $pgbin/pg_ctl -D $pg/data -l $pg/log -w -o "-k $pg -p $pgport -c listen_addresses=''" "\$1"
CTL
chmod +x "$work/pgctl"
"$work/pgctl" start >/dev/null
"${as_pg[@]}" "$pgbin/createdb" -h "$pg" -p "$pgport" -U postgres leaderboard
python3 server/tests/api_test.py "$dir/puffwick-server" games/puffwick-loopery/tests/replays "$work" \
  "postgresql:///leaderboard?host=$pg&port=$pgport&user=postgres" "$port" --pg-ctl "$work/pgctl"
