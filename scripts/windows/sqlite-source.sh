#!/usr/bin/env bash
# Makes SQLite's single-file source (sqlite3.c, sqlite3.h) from Debian's own sqlite3 source
# package, the version the host's libsqlite3 and the Windows Qt were made from, into
# CACHE/sqlite (default ~/.cache/quillon-windows). Does nothing when it is already there.
# MinGW has no SQLite package; the Windows build compiles this file in. Prints the folder.
set -euo pipefail
cache=${QUILLON_WINDOWS_CACHE:-$HOME/.cache/quillon-windows}
out=$cache/sqlite
if [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ]; then
    echo "$out"
    exit 0
fi
. "$(cd "$(dirname "$0")" && pwd)/../lib.sh"
enable_deb_src
install_missing tcl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source sqlite3 >&2)
src=$(find "$work" -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
mkdir -p "$work/bld"
(cd "$work/bld" && "$src/configure" --disable-tcl >&2 && make sqlite3.c >&2)
mkdir -p "$out"
cp "$work/bld/sqlite3.c" "$work/bld/sqlite3.h" "$out/"
echo "$out"
