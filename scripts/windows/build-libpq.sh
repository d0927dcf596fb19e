#!/usr/bin/env bash
# The server store for Windows: libpq cross-built with MinGW-w64 from Debian's own postgresql-15
# source (the version of the host's libpq-dev, else the newest the mirror holds whole), with TLS
# by the OpenSSL scripts/windows/build-openssl.sh makes, into CACHE/libpq-VERSION-openssl-V:
# bin/ holds libpq.dll and OpenSSL's two DLLs beside it, licenses/ OpenSSL's licence to ship with
# them. Qt's PostgreSQL driver (qsqlpsql.dll) is built from Debian's qt6-base source against the
# Windows Qt named by $1 and put among its plugins. Both are kept per machine, keyed by the
# source versions they were built from: does nothing when those are there; prints the libpq
# folder. A few minutes the first time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
qt=${1:?the Windows Qt folder}
cache=${QUILLON_WINDOWS_CACHE:-$HOME/.cache/quillon-windows}
. "$here/../lib.sh"
ssl=$(bash "$here/build-openssl.sh")
plugin=$qt/plugins/sqldrivers/qsqlpsql.dll
pq=
for v in $(deb_source_versions postgresql-15 libpq-dev); do
    if [ -f "$cache/libpq-$v-${ssl##*/}/.quillon-complete" ]; then
        pq=$cache/libpq-$v-${ssl##*/}
        break
    fi
done
# The driver links libpq in: built again when libpq is.
if [ -z "$pq" ] || [ "$(cat "$plugin.libpq" 2>/dev/null)" != "${pq##*/}" ]; then rm -f "$plugin"; fi
if [ -n "$pq" ] && [ -f "$plugin" ]; then
    echo "$pq"
    exit 0
fi
enable_deb_src
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

if [ -z "$pq" ]; then
    for v in $(deb_source_versions postgresql-15 libpq-dev); do
        if deb_source postgresql-15 "$v"; then
            pq=$cache/libpq-$v-${ssl##*/}
            break
        fi
    done
    [ -n "$pq" ] || { echo "build-libpq.sh: the mirror holds no whole postgresql-15 source" >&2; exit 1; }
    start=$(date +%s)
    src=$(find "$work" -maxdepth 1 -type d -name 'postgresql-15-*' | head -1)
    mkdir bld-pq
    (cd bld-pq &&
        "$src/configure" --host=x86_64-w64-mingw32 --prefix="$pq" --without-readline --without-zlib \
            --without-icu --with-openssl --without-gssapi --without-ldap \
            CPPFLAGS="-I$ssl/include" LDFLAGS="-L$ssl/lib" &&
        make -C src/interfaces/libpq -j"$(nproc)" &&
        rm -rf "$pq" &&
        make -C src/interfaces/libpq install &&
        make -C src/include install) >"$work/libpq.log" 2>&1 || { tail -30 "$work/libpq.log" >&2; exit 1; }
    cp "$ssl"/bin/*.dll "$pq/bin/"
    cp -r "$ssl/licenses" "$pq/licenses"
    touch "$pq/.quillon-complete"
    echo "libpq ${pq##*/libpq-} for Windows built in $(($(date +%s) - start)) s" >&2
fi

if [ ! -f "$plugin" ]; then
    version=$(deb_source_versions qt6-base qt6-base-dev | head -1)
    deb_source qt6-base "$version" --download-only
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
    echo "${pq##*/}" >"$plugin.libpq"
fi
echo "$pq"
