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
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
    $SUDO apt-get update >&2
fi
command -v tclsh >/dev/null || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends tcl >&2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source sqlite3 >&2)
src=$(find "$work" -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
mkdir -p "$work/bld"
(cd "$work/bld" && "$src/configure" --disable-tcl >&2 && make sqlite3.c >&2)
mkdir -p "$out"
cp "$work/bld/sqlite3.c" "$work/bld/sqlite3.h" "$out/"
echo "$out"
