#!/usr/bin/env bash
# The server store for Windows: libpq cross-built with MinGW-w64 from Debian's own postgresql-15
# source (the version of the host's libpq-dev) into CACHE/libpq-VERSION, and Qt's PostgreSQL driver
# (qsqlpsql.dll) from Debian's qt6-base source, built against the Windows Qt named by $1 and put
# among its plugins. Without OpenSSL: Debian has none for MinGW, so a Windows desk reaches a
# server without TLS. Both are kept per machine, keyed by the source version they were built from:
# does nothing when those are there; prints the libpq folder. A few minutes the first time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
qt=${1:?the Windows Qt folder}
cache=${QUILLON_WINDOWS_CACHE:-$HOME/.cache/quillon-windows}
version=$(dpkg-query -W -f='${Version}' libpq-dev)
pq=$cache/libpq-$version
plugin=$qt/plugins/sqldrivers/qsqlpsql.dll
# The driver links libpq in: built again when libpq is.
if [ "$(cat "$plugin.libpq" 2>/dev/null)" != "$version" ]; then rm -f "$plugin"; fi
if [ -f "$pq/.quillon-complete" ] && [ -f "$plugin" ]; then
    echo "$pq"
    exit 0
fi
. "$here/../lib.sh"
enable_deb_src
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# get SOURCE [download] BINARY: the source of the version of BINARY this machine has; the
# newest when the mirror no longer holds that one.
get() { apt-get source ${2:+--download-only} "$1=$(dpkg-query -W -f='${Version}' "$3")" >&2 ||
        apt-get source ${2:+--download-only} "$1" >&2; }

if [ ! -f "$pq/.quillon-complete" ]; then
    get postgresql-15 "" libpq-dev
    src=$(find "$work" -maxdepth 1 -type d -name 'postgresql-15-*' | head -1)
    mkdir bld-pq
    (cd bld-pq &&
        "$src/configure" --host=x86_64-w64-mingw32 --prefix="$pq" --without-readline --without-zlib \
            --without-icu --without-openssl --without-gssapi --without-ldap &&
        make -C src/interfaces/libpq -j"$(nproc)" &&
        rm -rf "$pq" &&
        make -C src/interfaces/libpq install &&
        make -C src/include install) >"$work/libpq.log" 2>&1 || { tail -30 "$work/libpq.log" >&2; exit 1; }
    touch "$pq/.quillon-complete"
fi

if [ ! -f "$plugin" ]; then
    get qt6-base download qt6-base-dev
    tar -xJf qt6-base_*.orig.tar.xz --wildcards '*/src/plugins/sqldrivers/*'
    drivers=$(find "$work" -maxdepth 4 -type d -path '*/src/plugins/sqldrivers' | head -1)
    cmake -S "$drivers" -B bld-qt -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DPostgreSQL_INCLUDE_DIR="$pq/include" -DPostgreSQL_LIBRARY="$pq/lib/libpq.a" \
        -DFEATURE_sql_psql=ON -DFEATURE_sql_sqlite=OFF -DFEATURE_sql_odbc=OFF -DFEATURE_sql_mysql=OFF >&2
    cmake --build bld-qt >&2
    install -D -m 644 bld-qt/plugins/sqldrivers/qsqlpsql.dll "$plugin"
    echo "$version" >"$plugin.libpq"
fi
echo "$pq"
