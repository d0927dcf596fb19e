#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: its own data folder, reached only through a Unix
# socket in that folder. As root the server runs as the unprivileged account "nobody".
#   pg-cluster.sh start DIR   prints the connection string of the database "quillon_test" and
#                             keeps it in DIR/conninfo
#   pg-cluster.sh start-tls DIR
#                             the same, but reached over TCP on 127.0.0.1 with TLS, by a
#                             certificate for "localhost" from a CA made for it (DIR/ca.crt)
#   pg-cluster.sh start-tcp DIR
#                             the same over TCP on 127.0.0.1 without TLS, for the Windows build
#                             under Wine (its libpq has neither Unix sockets there nor TLS)
#   pg-cluster.sh stop DIR
# Each has the role quillon_desk, which may log in and holds nothing until a house grants it.
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
start | start-tls | start-tcp)
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
    options="-c unix_socket_directories='$dir' -c fsync=off -c max_connections=60"
    if [ "$action" = start ]; then
        # No TCP port at all: only the socket in the data folder.
        as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o "-c listen_addresses='' $options" start >/dev/null
        conninfo="host=$dir user=quillon dbname=quillon_test"
    else
        if [ "$action" = start-tls ]; then
            (cd "$dir" &&
                openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quillon test CA" -keyout ca.key -out ca.crt &&
                openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout server.key -out server.csr &&
                printf 'subjectAltName=DNS:localhost\n' >server.ext &&
                openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 \
                    -extfile server.ext -out server.crt) >"$dir/openssl.log" 2>&1
            chmod 600 "$dir/server.key"
            if [ "$(id -u)" -eq 0 ]; then chown nobody "$dir/server.key" "$dir/server.crt"; fi
            # In the configuration file, not on the command line, so a test can turn TLS off by reload.
            printf "ssl = on\nssl_cert_file = '%s'\nssl_key_file = '%s'\n" "$dir/server.crt" "$dir/server.key" \
                >>"$dir/data/postgresql.conf"
        fi
        # A free port: another test's server may hold the first one tried.
        for _ in 1 2 3 4 5 6 7 8; do
            port=$((20000 + RANDOM % 30000))
            as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o "-c listen_addresses='127.0.0.1' \
                -p $port $options" \
                start >/dev/null 2>&1 && break
            port=""
        done
        [ -n "$port" ] || { echo "the TCP test server did not start: $dir/server.log" >&2; exit 1; }
        if [ "$action" = start-tls ]; then
            conninfo="host=localhost port=$port user=quillon dbname=quillon_test sslmode=verify-full sslrootcert=$dir/ca.crt"
        else
            conninfo="host=127.0.0.1 port=$port user=quillon dbname=quillon_test"
        fi
    fi
    as_owner "$bin/createdb" -h "$dir" ${port:+-p "$port"} -U quillon quillon_test
    as_owner "$bin/psql" -q -h "$dir" ${port:+-p "$port"} -U quillon -d quillon_test -c "create role quillon_desk login"
    echo "$conninfo" | tee "$dir/conninfo"
    ;;
stop)
    if [ -d "$dir/data" ]; then as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true; fi
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
