#!/usr/bin/env bash
# ctest's emulator for the Windows test programs: runs one under Wine and shows what it printed.
# Wine gives a program's console output to a terminal only, so QtTest writes a file instead.
# Wine's own output goes to a file too: a console host Wine starts for a program the test runs
# can outlive the test, and would keep ctest's pipe open, and ctest waiting, until the timeout.
set -u
log=$(mktemp --suffix=.txt)
out=$(mktemp)
trap 'rm -f "$log" "$out"' EXIT
program=$1
shift
wine "$program" -o "$log,txt" "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out" "$log"
exit $rc
