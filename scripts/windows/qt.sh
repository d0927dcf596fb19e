#!/usr/bin/env bash
# Prints the folder of the Windows Qt (MinGW-w64) to build against, in this order: the one
# scripts/windows/build-qt.sh fills; the packed build in ../shared/toolchains/windows/ beside the
# checkout, unpacked once into the cache with the packed Qt Charts over it; else it runs
# build-qt.sh (about 40 minutes).
# With --present it only says, by its exit status, whether one of the first two is at hand.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${QUILLON_WINDOWS_CACHE:-$HOME/.cache/quillon-windows}
built=$cache/qt6
packed=$(realpath -m "$here/../../../shared/toolchains/windows/qt-6.4.2-mingw-w64.tar.xz")
if [ "${1:-}" = --present ]; then
    [ -f "$built/.quillon-complete" ] || [ -f "$packed" ]
    exit
fi
if [ -f "$built/.quillon-complete" ]; then
    echo "$built"
    exit 0
fi
if [ -f "$packed" ]; then
    sum=$(cut -d' ' -f1 "$packed.sha256" 2>/dev/null || sha256sum "$packed" | cut -d' ' -f1)
    dir=$cache/packed-${sum:0:12}
    if [ ! -f "$dir/usr/x86_64-w64-mingw32/qt6/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
        echo "$packed" | sed 's/^/unpacking /' >&2
        (cd "$(dirname "$packed")" && sha256sum -c --quiet "$packed.sha256") >&2
        rm -rf "$dir.part" && mkdir -p "$dir.part"
        tar -C "$dir.part" -xJf "$packed"
        rm -rf "$dir" && mv "$dir.part" "$dir"
    fi
    # Qt Charts, packed on its own, unpacked over it once: the chart window's module.
    charts=$(dirname "$packed")/qtcharts-6.4.2-mingw-w64.tar.xz
    if [ -f "$charts" ]; then
        csum=$(cut -d' ' -f1 "$charts.sha256" 2>/dev/null || sha256sum "$charts" | cut -d' ' -f1)
        if [ ! -f "$dir/.charts-${csum:0:12}" ]; then
            echo "$charts" | sed 's/^/unpacking /' >&2
            (cd "$(dirname "$charts")" && sha256sum -c --quiet "$charts.sha256") >&2
            tar -C "$dir" -xJf "$charts"
            touch "$dir/.charts-${csum:0:12}"
        fi
    fi
    echo "$dir/usr/x86_64-w64-mingw32/qt6"
    exit 0
fi
bash "$here/build-qt.sh" >&2
echo "$built"
