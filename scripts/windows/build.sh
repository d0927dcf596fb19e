#!/usr/bin/env bash
# Cross-builds Quillon and its tests for Windows x86_64 into build-windows/ (or $1) with MinGW-w64
# against the Windows Qt that scripts/windows/qt.sh names. Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/windows/install-deps.sh
out=${1:-build-windows}
shift || true
qt=$(bash scripts/windows/qt.sh)
sqlite=$(bash scripts/windows/sqlite-source.sh)
# The server store where libpq and Qt's driver for it can be built; else the file store only.
server=(-DQUILLON_SERVER_STORE=OFF)
if pq=$(bash scripts/windows/build-libpq.sh "$qt"); then
    server=(-DQUILLON_SERVER_STORE=ON -DPostgreSQL_INCLUDE_DIR="$pq/include" -DPostgreSQL_LIBRARY="$pq/lib/libpq.a")
else
    echo "libpq for Windows could not be built: the Windows build keeps its house in the file only" >&2
fi
# The old desk program's Access files are read with libmdb, cross-built once per machine.
libmdb=$(bash scripts/windows/build-libmdb.sh)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake --preset windows -B "$out" "${launcher[@]}" -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQUILLON_SQLITE_SOURCE="$sqlite" "${server[@]}" -DQUILLON_LIBMDB_PREFIX="$libmdb" "$@" >/dev/null
cmake --build "$out" -j"$(nproc)"
