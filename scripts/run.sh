#!/usr/bin/env bash
# Builds Quillon, creates its database beside the program if there is none, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure-release.sh build
cmake --build build -j"$(nproc)" --target quillon quillon-createdb
db=build/app/innkeep.mdb
if [ ! -f "$db" ]; then
    build/tools/quillon-createdb "$db"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display here: starting Quillon on a virtual one (xvfb-run). Set DISPLAY to use a real screen."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/app/quillon
fi
exec build/app/quillon
