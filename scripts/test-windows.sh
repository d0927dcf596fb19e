#!/usr/bin/env bash
# Builds Quillon for Windows (scripts/windows/build.sh) and runs its test suite under Wine,
# headless, in a Wine prefix of its own under the build tree.
#   bash scripts/test-windows.sh [build|test]   # one half only; both by default
set -euo pipefail
cd "$(dirname "$0")/.."
out=${QUILLON_WINDOWS_BUILD:-build-windows}
what=${1:-both}
start=$(date +%s)
if [ "$what" != test ]; then
    bash scripts/windows/build.sh "$out"
    echo "Windows build: $(($(date +%s) - start)) s"
fi
if [ "$what" != build ]; then
    start=$(date +%s)
    export WINEPREFIX=$PWD/$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    unset DISPLAY WAYLAND_DISPLAY
    wineboot -i >/dev/null 2>&1 || true
    (cd "$out" && ctest --output-on-failure -j"$(nproc)")
    echo "Windows tests under Wine: $(($(date +%s) - start)) s"
fi
