#!/usr/bin/env bash
# libmdb (MDB Tools, LGPL) for Windows, to read the old desk program's Access files: cross-built
# with MinGW-w64 from ../shared/sources/mdbtools-*.tar.xz beside the checkout, with win-iconv
# (public domain, ../shared/sources/win-iconv-*.tar.xz) for its text conversions, as Debian's
# mirror serves neither source. Kept per machine in CACHE/libmdb-V-iconv-W, keyed by the two
# versions: bin/libmdb-3.dll (iconv linked in; a DLL, so that a user can replace it, as the LGPL
# asks), lib/libmdb.dll.a, include/, and licenses/ to ship beside it. Does nothing when that is
# there; prints the folder. About a minute the first time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${QUILLON_WINDOWS_CACHE:-$HOME/.cache/quillon-windows}
sources=$(realpath -m "$here/../../../shared/sources")
archive() {
    local found
    found=$(find "$sources" -maxdepth 1 -name "$1-[0-9]*.tar.xz" 2>/dev/null | sort -V | tail -1)
    if [ -z "$found" ]; then
        echo "build-libmdb.sh: $sources/$1-<version>.tar.xz is missing: the Windows build cannot read Access files without it" >&2
        exit 1
    fi
    echo "$found"
}
mdb_tar=$(archive mdbtools)
iconv_tar=$(archive win-iconv)
mdb_version=$(basename "$mdb_tar" .tar.xz)
mdb_version=${mdb_version#mdbtools-}
iconv_version=$(basename "$iconv_tar" .tar.xz)
iconv_version=${iconv_version#win-iconv-}
# -st: built without thread-local storage (see below).
prefix=$cache/libmdb-$mdb_version-iconv-$iconv_version-st
if [ -f "$prefix/.quillon-complete" ]; then
    echo "$prefix"
    exit 0
fi
for tool in autoreconf libtoolize x86_64-w64-mingw32-gcc; do
    command -v $tool >/dev/null || { echo "build-libmdb.sh: $tool is missing (scripts/windows/install-deps.sh)" >&2; exit 1; }
done
host=x86_64-w64-mingw32
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/build.log
(
    set -ex
    tar -C "$work" -xJf "$iconv_tar"
    tar -C "$work" -xJf "$mdb_tar"
    iconv_src=$(find "$work" -maxdepth 1 -type d -name 'win-iconv-*')
    mdb_src=$(find "$work" -maxdepth 1 -type d -name 'mdbtools-*')
    # win-iconv as a static library, only to be linked into the DLL.
    mkdir -p "$work/iconv/include" "$work/iconv/lib"
    $host-gcc -O2 -c "$iconv_src/win_iconv.c" -o "$work/iconv/win_iconv.o"
    $host-ar rcs "$work/iconv/lib/libiconv.a" "$work/iconv/win_iconv.o"
    cp "$iconv_src/iconv.h" "$work/iconv/include/"
    cd "$mdb_src"
    autoreconf -fi
    # configure's own iconv check links with -no-undefined, which gcc refuses: its answer given.
    ./configure --host=$host --prefix="$prefix.part" --disable-glib --disable-man \
        am_cv_func_iconv=yes am_cv_lib_iconv=yes LIBICONV=-liconv LTLIBICONV=-liconv \
        CPPFLAGS="-I$work/iconv/include" LDFLAGS="-L$work/iconv/lib" CFLAGS="-O2 -g0"
    # libmdb keeps its options in thread-local variables. MinGW emulates those through
    # winpthread, and a program that reads an Access file on a thread of its own crashed there
    # under Wine. Quillon reads one file at a time, so plain statics serve.
    grep -q -- '-DTLS=' src/libmdb/Makefile
    sed -i 's/-DTLS=[^ ]*/-DTLS=/' src/libmdb/Makefile
    make -C src/libmdb -j2
    rm -rf "$prefix.part"
    mkdir -p "$prefix.part/bin" "$prefix.part/lib" "$prefix.part/licenses/libmdb" "$prefix.part/licenses/win-iconv"
    make -C include install
    cp "$work/iconv/include/iconv.h" "$prefix.part/include/"
    # libtool makes no DLL of a static iconv: the DLL is linked here, exporting libmdb's symbols
    # (mdb_*, and the g_* of its stand-in for GLib) and none of iconv's or libgcc's: a program
    # linked against it must take its runtime from its own libgcc, never from this DLL.
    $host-gcc -shared -o "$prefix.part/bin/libmdb-3.dll" \
        -Wl,--whole-archive src/libmdb/.libs/libmdb.a -Wl,--no-whole-archive \
        -L"$work/iconv/lib" -liconv -Wl,--exclude-libs,libiconv.a:libgcc.a:libgcc_eh.a \
        -Wl,--out-implib,"$prefix.part/lib/libmdb.dll.a" -static-libgcc
    cp COPYING.LIB "$prefix.part/licenses/libmdb/COPYING.LIB"
    cp "$iconv_src/readme.txt" "$prefix.part/licenses/win-iconv/readme.txt"
    printf '%s\r\n' "libmdb-3.dll is libmdb of MDB Tools $mdb_version (https://github.com/mdbtools/mdbtools," \
        "tag v$mdb_version), unchanged but built without thread-local storage, under the GNU LGPL 2 or later (COPYING.LIB), with win-iconv" \
        "$iconv_version (public domain, ../win-iconv/readme.txt) linked in. It may be replaced by" \
        "another build of the same libmdb." >"$prefix.part/licenses/libmdb/README.txt"
) >"$log" 2>&1 || { tail -30 "$log" >&2; echo "build-libmdb.sh: libmdb for Windows could not be built" >&2; exit 1; }
# The DLL must run beside the program: Windows' own DLLs and the MinGW runtime shipped with it.
for dll in $($host-objdump -p "$prefix.part/bin/libmdb-3.dll" | sed -n 's/^\s*DLL Name: //p'); do
    case ${dll,,} in
        kernel32.dll|user32.dll|advapi32.dll|msvcrt.dll|api-ms-win-*|libwinpthread-1.dll) ;;
        *) echo "build-libmdb.sh: libmdb-3.dll needs $dll, which is not shipped beside it" >&2; exit 1 ;;
    esac
done
rm -rf "$prefix"
mv "$prefix.part" "$prefix"
touch "$prefix/.quillon-complete"
echo "$prefix"
