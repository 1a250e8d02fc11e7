# Sourced: a throwaway PostgreSQL cluster, run as the postgres user (when root) on a
# private socket with no TCP, for the server's tests and benchmark.
#   pg_cluster_start DIR PORT   sets PG_URL (an empty database) and PG_CTL (a command
#                               taking "start" or "stop")
#   pg_cluster_stop             stops it (also from an EXIT trap)
pg_cluster_start() {
  local dir=$1 port=$2 bin as_pg=()
  bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
  [ "$(id -u)" -eq 0 ] && as_pg=(runuser -u postgres --)
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  "${as_pg[@]}" "$bin/initdb" -D "$dir/data" -A trust -U postgres >/dev/null
  PG_CTL=$dir/pgctl
  cat >"$PG_CTL" <<CTL
#!/bin/sh
exec ${as_pg[*]} $bin/pg_ctl -D $dir/data -l $dir/log -w -o "-k $dir -p $port -c listen_addresses=''" "\$1"
CTL
  chmod +x "$PG_CTL"
  "$PG_CTL" start >/dev/null
  "${as_pg[@]}" "$bin/createdb" -h "$dir" -p "$port" -U postgres leaderboard
  PG_URL="postgresql:///leaderboard?host=$dir&port=$port&user=postgres"
}
pg_cluster_stop() {
  [ -n "${PG_CTL:-}" ] && [ -x "$PG_CTL" ] && "$PG_CTL" stop >/dev/null 2>&1 || true
}
