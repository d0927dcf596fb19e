#!/usr/bin/env bash
# Makes the Windows release: build-windows/quillon-<version>-windows-x64.zip (a portable folder
# that keeps its house beside the program) and quillon-<version>-setup.exe (an NSIS installer
# under Program Files; the house then lives in the user's %LOCALAPPDATA%\quillon). Builds first,
# with the Windows Qt scripts/windows/qt.sh finds (building it when there is none), and runs the
# test suite under Wine before shipping anything; with --tested, it ships the tree whose suite
# has just passed (scripts/test-windows-install.sh after scripts/test-windows.sh) as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${QUILLON_WINDOWS_BUILD:-build-windows}
if [ "${1:-}" != --tested ]; then bash scripts/test-windows.sh; fi
qt=$(bash scripts/windows/qt.sh)
version=$(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$out/stage/quillon
rm -rf "$out/stage" && mkdir -p "$stage"

strip=x86_64-w64-mingw32-strip
cp "$out/app/quillon.exe" "$out/tools/quillon-createdb.exe" "$stage/"
$strip "$stage"/*.exe

# The plugins Qt loads at run time (no one links them), then every DLL the programs and plugins
# name, found in Qt's bin folder or MinGW's runtime; Windows' own DLLs stay out.
for p in platforms/qwindows.dll styles/qwindowsvistastyle.dll sqldrivers/qsqlite.dll \
         imageformats/qgif.dll imageformats/qico.dll imageformats/qjpeg.dll; do
    install -D -m 644 "$qt/plugins/$p" "$stage/$p"
done
# libmdb, to read the old desk program's Access files: a DLL beside the programs, with the licence
# texts of libmdb (LGPL) and of the iconv linked into it (scripts/windows/build-libmdb.sh).
mdb=$(sed -n 's/^QUILLON_LIBMDB_PREFIX:[A-Z]*=//p' "$out/CMakeCache.txt")
cp -r "$mdb/licenses" "$stage/licenses"
# The server store's driver and libpq, where the build has them (scripts/windows/build-libpq.sh).
pq=$(sed -n 's/^PostgreSQL_LIBRARY:[A-Z]*=\(.*\)\/lib\/libpq.a$/\1/p' "$out/CMakeCache.txt")
if grep -q '^QUILLON_SERVER_STORE:BOOL=ON' "$out/CMakeCache.txt"; then
    install -D -m 644 "$qt/plugins/sqldrivers/qsqlpsql.dll" "$stage/sqldrivers/qsqlpsql.dll"
    # libpq's TLS: OpenSSL's DLLs come in below as libpq.dll names them; its LICENSE.txt here.
    cp -r "$pq/licenses/." "$stage/licenses/"
fi
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
search=("$qt/bin" "$runtime" /usr/x86_64-w64-mingw32/lib ${pq:+"$pq/bin"} "$mdb/bin")
todo=("$stage"/*.exe "$stage"/*/*.dll)
while [ ${#todo[@]} -gt 0 ]; do
    f=${todo[0]}
    todo=("${todo[@]:1}")
    # Windows names DLLs without regard to case ("LIBPQ.dll" is libpq.dll).
    for dll in $(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'); do
        [ -n "$(find "$stage" -maxdepth 1 -iname "$dll")" ] && continue
        for d in "${search[@]}"; do
            found=$(find "$d" -maxdepth 1 -type f -iname "$dll" | head -1)
            if [ -n "$found" ]; then
                install -m 644 "$found" "$stage/"
                todo+=("$stage/$(basename "$found")")
                break
            fi
        done
    done
done
$strip --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll

cp "$out/app/quillon.ico" "$stage/quillon.ico"
# Qt's own texts in Chinese (是/否, 确定, 取消), from the host's Qt of the same version; qt.conf
# makes Qt look for them, and for its plugins, in the program's folder.
install -D -m 644 /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/qtbase_zh_CN.qm"
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' > "$stage/qt.conf"
# A README in Chinese, with Windows line ends so Notepad shows it as it should.
sed 's/$/\r/' packaging/windows/README.txt > "$stage/README.txt"
sed 's/$/\r/' packaging/copyright > "$stage/COPYRIGHT.txt"
sed 's/$/\r/' LICENSE > "$stage/LICENSE.txt"
# Every other part's licence texts in licenses/, and nothing shipped without its own.
python3 scripts/windows/notices.py gather "$stage"

zip=quillon-$version-windows-x64.zip
rm -f "$out/$zip"
(cd "$out/stage" && zip -qr -X "../$zip" quillon)
python3 scripts/windows/notices.py check "$out/$zip"
makensis -V2 -DVERSION="$version" -DSTAGE="$(realpath "$stage")" \
    -DOUTFILE="$(realpath "$out")/quillon-$version-setup.exe" packaging/windows/quillon.nsi
file "$stage/quillon.exe" "$stage/quillon-createdb.exe"
ls -l "$out/$zip" "$out/quillon-$version-setup.exe"
