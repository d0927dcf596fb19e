#!/usr/bin/env bash
# ctest's emulator for the Windows test programs: runs one under Wine and shows what it printed.
# Wine gives a program's console output to a terminal only, so QtTest writes a file instead.
set -u
log=$(mktemp --suffix=.txt)
trap 'rm -f "$log"' EXIT
program=$1
shift
wine "$program" -o "$log,txt" "$@"
rc=$?
cat "$log"
exit $rc
