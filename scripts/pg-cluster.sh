#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: its own data folder, reached only through a Unix
# socket in that folder. As root the server runs as the unprivileged account "nobody".
#   pg-cluster.sh start DIR   prints the connection string of the database "quillon_test" and
#                             keeps it in DIR/conninfo
#   pg-cluster.sh stop DIR
set -euo pipefail
action=${1:?start or stop}
place=$(realpath -ms "${2:?data folder}")
dir=$(realpath -m "$place")
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL server programs not found (install postgresql)" >&2; exit 1; }
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}
case "$action" in
start)
    [ -L "$place" ] && rm -rf "$dir"
    rm -rf "$place"
    dir=$place
    mkdir -p "$(dirname "$place")"
    # The server's account must reach the folder, and a socket path must stay short: otherwise
    # the folder lives in /tmp and the build tree holds a link to it.
    if { [ "$(id -u)" -eq 0 ] && ! runuser -u nobody -- test -x "$(dirname "$place")"; } || [ ${#place} -gt 80 ]; then
        dir=$(mktemp -d /tmp/quillon-pg.XXXXXX)
        ln -s "$dir" "$place"
    fi
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown nobody "$dir"; fi
    as_owner "$bin/initdb" -D "$dir/data" -U quillon -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
    # No TCP port at all: only the socket in the data folder.
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c max_connections=60" start >/dev/null
    as_owner "$bin/createdb" -h "$dir" -U quillon quillon_test
    echo "host=$dir user=quillon dbname=quillon_test" | tee "$dir/conninfo"
    ;;
stop)
    if [ -d "$dir/data" ]; then as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true; fi
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
