#!/usr/bin/env bash
# OpenSSL 3 for Windows, the TLS of libpq (scripts/windows/build-libpq.sh): cross-built with
# MinGW-w64 from Debian's own openssl source (the version of the host's libssl3, else the newest
# the mirror holds whole) into CACHE/openssl-VERSION: bin/libcrypto-3-x64.dll, bin/libssl-3-x64.dll,
# their import libraries and headers, and licenses/openssl/LICENSE.txt (Apache-2.0) to ship beside
# them. The libraries only: no programs, tests or manuals. Does nothing when that is there; prints
# the folder. A few minutes the first time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${QUILLON_WINDOWS_CACHE:-$HOME/.cache/quillon-windows}
. "$here/../lib.sh"
for v in $(deb_source_versions openssl libssl3); do
    if [ -f "$cache/openssl-$v/.quillon-complete" ]; then
        echo "$cache/openssl-$v"
        exit 0
    fi
done
command -v x86_64-w64-mingw32-gcc >/dev/null && command -v perl >/dev/null ||
    { echo "build-openssl.sh: MinGW-w64 or perl is missing (scripts/windows/install-deps.sh)" >&2; exit 1; }
enable_deb_src
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
version=
for v in $(deb_source_versions openssl libssl3); do
    if deb_source openssl "$v"; then
        version=$v
        break
    fi
done
[ -n "$version" ] || { echo "build-openssl.sh: the mirror holds no whole openssl source" >&2; exit 1; }
src=$(find "$work" -maxdepth 1 -type d -name 'openssl-*' | head -1)
prefix=$cache/openssl-$version
start=$(date +%s)
# libcrypto reads openssl.cnf (libpq asks it to) and would load engines and providers from the
# folders compiled in: on Windows they must be ones only an administrator can write, as in
# OpenSSL's own Windows builds, not the build machine's paths.
dirs=(OPENSSLDIR="C:/Program Files/Common Files/SSL" ENGINESDIR="C:/Program Files/OpenSSL/lib/engines-3"
      MODULESDIR="C:/Program Files/OpenSSL/lib/ossl-modules")
# Only the two DLLs and their import libraries: OpenSSL's own targets would compile every file
# twice, for a static library too, and build its programs.
(
    # set -e does not hold left of ||: each step chained.
    set -x
    cd "$src" &&
        ./Configure mingw64 --cross-compile-prefix=x86_64-w64-mingw32- --prefix="$prefix" --libdir=lib \
            shared no-tests no-module no-legacy &&
        make "${dirs[@]}" build_generated &&
        make -j"$(nproc)" "${dirs[@]}" libcrypto-3-x64.dll libssl-3-x64.dll &&
        rm -rf "$prefix.part" && mkdir -p "$prefix.part/bin" "$prefix.part/lib" "$prefix.part/include/openssl" &&
        cp libcrypto-3-x64.dll libssl-3-x64.dll "$prefix.part/bin/" &&
        cp libcrypto.dll.a libssl.dll.a "$prefix.part/lib/" &&
        cp include/openssl/*.h "$prefix.part/include/openssl/"
) >"$work/build.log" 2>&1 || { tail -30 "$work/build.log" >&2; exit 1; }
install -D -m 644 "$src/LICENSE.txt" "$prefix.part/licenses/openssl/LICENSE.txt"
touch "$prefix.part/.quillon-complete"
rm -rf "$prefix" && mv "$prefix.part" "$prefix"
echo "OpenSSL $version for Windows built in $(($(date +%s) - start)) s" >&2
echo "$prefix"
