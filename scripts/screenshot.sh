#!/usr/bin/env bash
# Starts Quillon on a virtual display, optionally types keys, and saves a screenshot.
# usage: scripts/screenshot.sh OUT.png [xdotool commands...]
#   e.g. scripts/screenshot.sh login.png
#        scripts/screenshot.sh main.png "type admin" "key Tab" "type admin" "key Return" "sleep 1"
set -euo pipefail
out=$1; shift
cd "$(dirname "$0")/.."
export DISPLAY=:97
Xvfb :97 -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1
build/app/quillon &
app=$!
sleep 2
for cmd in "$@"; do
    # shellcheck disable=SC2086
    xdotool $cmd
    sleep 0.5
done
sleep 1
import -window root "$out"
