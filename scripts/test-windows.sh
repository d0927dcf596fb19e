#!/usr/bin/env bash
# Builds Quillon for Windows (scripts/windows/build.sh) and runs its test suite under Wine,
# headless, in a Wine prefix of its own under the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${QUILLON_WINDOWS_BUILD:-build-windows}
start=$(date +%s)
bash scripts/windows/build.sh "$out"
built=$(date +%s)
export WINEPREFIX=$PWD/$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wineboot -i >/dev/null 2>&1 || true
(cd "$out" && ctest --output-on-failure -j"$(nproc)")
echo "Windows build: $((built - start)) s; tests under Wine: $(($(date +%s) - built)) s"
