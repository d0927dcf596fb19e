#!/usr/bin/env bash
# Starts Quillon on a virtual display of its own, optionally drives it with xdotool, and saves a
# picture of the whole display.
# usage: scripts/screenshot.sh OUT.png [xdotool commands...]
#   e.g. scripts/screenshot.sh login.png
#        scripts/screenshot.sh main.png "type admin" "key Tab" "type admin" "key Return" "sleep 1"
# The programs come from build/ (or QUILLON_BUILD_DIR); the sample database is made if missing.
set -euo pipefail
out=$(realpath -m "$1"); shift
cd "$(dirname "$0")/.."
build=${QUILLON_BUILD_DIR:-build}
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run bash scripts/install-deps.sh" >&2; exit 1; }
done
for program in "$build/app/quillon" "$build/tools/quillon-shot" "$build/tools/quillon-createdb"; do
    [ -x "$program" ] || { echo "$program is missing: build first (bash scripts/run.sh)" >&2; exit 1; }
done
[ -f "$build/app/innkeep.mdb" ] || "$build/tools/quillon-createdb" "$build/app/innkeep.mdb" >/dev/null

# A free display number, chosen by the server itself.
number=$(mktemp)
app=""
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -f "$number"' EXIT
for _ in $(seq 100); do
    [ -s "$number" ] && break
    sleep 0.1
done
[ -s "$number" ] || { echo "the virtual display did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$number") QT_QPA_PLATFORM=xcb
"$build/app/quillon" &
app=$!
timeout 60 xdotool search --sync --onlyvisible --pid "$app" >/dev/null ||
    { echo "Quillon showed no window" >&2; exit 1; }
sleep 0.5
# No window manager here: give the keyboard to Quillon's newest window before each command.
focus() {
    local win
    win=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | tail -1) || true
    [ -z "$win" ] || xdotool windowfocus "$win" 2>/dev/null || true
}
for cmd in "$@"; do
    focus
    # shellcheck disable=SC2086
    xdotool $cmd
    sleep 0.5
done
sleep 1
"$build/tools/quillon-shot" --screen "$out"
