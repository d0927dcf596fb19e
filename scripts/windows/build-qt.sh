#!/usr/bin/env bash
# Builds Qt 6.4.2 for Windows x86_64 (Core, Gui, Widgets, Sql with SQLite, PrintSupport, Test;
# the windows, offscreen and minimal platforms) from Debian's own qt6-base source with MinGW-w64,
# into CACHE/qt6 (default ~/.cache/quillon-windows/qt6), outside the checkout; then Qt Charts from
# Debian's qt6-charts source on top of it, when that builds. Does nothing when CACHE/qt6 already
# holds Qt. About 20 minutes on 2 idle cores, 40 or more on a busy machine. Needs root or sudo
# for apt-get; WORK names a scratch folder (default: a new temporary one, removed afterwards).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${QUILLON_WINDOWS_CACHE:-$HOME/.cache/quillon-windows}
prefix=$cache/qt6
if [ -f "$prefix/.quillon-complete" ]; then
    echo "Qt for Windows is already in $prefix"
    exit 0
fi
bash "$here/install-deps.sh"
. "$here/../lib.sh"
enable_deb_src
if [ -n "${WORK:-}" ]; then
    W=$WORK
    mkdir -p "$W"
else
    W=$(mktemp -d)
    trap 'rm -rf "$W"' EXIT
fi
cd "$W"
[ -d qt6-base-6.4.2+dfsg ] || apt-get source qt6-base
src=$W/qt6-base-6.4.2+dfsg

# Debian's +dfsg source lacks src/3rdparty/sqlite: put SQLite's single file made from Debian's
# sqlite3 source there (the same file the Windows build of Quillon compiles in).
sqlite=$(bash "$here/sqlite-source.sh")
mkdir -p "$src/src/3rdparty/sqlite"
cp "$sqlite/sqlite3.c" "$sqlite/sqlite3.h" "$src/src/3rdparty/sqlite/"
[ -f "$src/src/3rdparty/sqlite/sqlite3ext.h" ] || {
    (apt-get source --download-only sqlite3 >/dev/null && tar -xJf sqlite3_*.orig.tar.xz --wildcards '*/src/sqlite3ext.h')
    cp sqlite3-*/src/sqlite3ext.h "$src/src/3rdparty/sqlite/"
}

# It lacks src/3rdparty/wintab too: the windows and direct2d platforms without the Wintab tablet
# backend (pen input through WM_POINTER stays). Each edit is made once.
P=$src/src/plugins/platforms
if ! grep -q QT_WINDOWS_WINTAB "$P/windows/qwindowscontext.cpp"; then
    sed -i 's/^#if QT_CONFIG(tabletevent)/#if QT_WINDOWS_WINTAB/' "$P/windows/qwindowscontext.cpp"
    sed -i '0,/^#include "qwindowscontext.h"/s//#include "qwindowscontext.h"\n#define QT_WINDOWS_WINTAB 0/' \
        "$P/windows/qwindowscontext.cpp"
    sed -i '10s/^#if QT_CONFIG(tabletevent)/#if 0/' "$P/windows/qwindowspointerhandler.cpp"
    for d in windows:QWindowsIntegrationPlugin direct2d:QWindowsDirect2DIntegrationPlugin; do
        sed -i "s|^qt_internal_extend_target(${d#*:} CONDITION QT_FEATURE_tabletevent\$|qt_internal_extend_target(${d#*:} CONDITION QT_FEATURE_tabletevent AND EXISTS \"\${QtBase_SOURCE_DIR}/src/3rdparty/wintab/wintab.h\"|" \
            "$P/${d%%:*}/CMakeLists.txt"
    done
fi

toolchain=$here/mingw-w64-x86_64.cmake
bld=$W/build
rm -rf "$bld" && mkdir "$bld" && cd "$bld"
flags="-ffile-prefix-map=$src=qtbase -ffile-prefix-map=$bld=qtbase-build"
"$src/configure" -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr \
    -release -shared -nomake tests -nomake examples \
    -no-opengl -no-dbus -no-icu -no-pkg-config -qt-freetype -no-zstd \
    -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-harfbuzz -qt-doubleconversion \
    -sql-sqlite -qt-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql -no-sql-ibase -no-sql-oci -no-sql-db2 \
    -no-feature-network -no-feature-concurrent -no-feature-xml -no-feature-androiddeployqt -no-feature-vulkan \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags"
ninja -j"$(nproc)"
rm -rf "$prefix"
ninja install

# Qt Charts on top, for the chart window; Quillon builds without it when it fails.
cd "$W"
if [ -d qt6-charts-6.4.2 ] || apt-get source qt6-charts; then
    csrc=$(find "$W" -maxdepth 1 -type d -name 'qt6-charts-*' | head -1)
    rm -rf "$W/build-charts" && mkdir "$W/build-charts"
    if (cd "$W/build-charts" && "$prefix/bin/qt-configure-module" "$csrc" &&
        ninja -j"$(nproc)" && ninja install); then
        echo "Qt Charts built"
    else
        echo "Qt Charts did not build: Quillon is built without its chart window" >&2
    fi
fi
# The folder only counts as done once everything is in it.
touch "$prefix/.quillon-complete"
echo "Qt for Windows is in $prefix"
