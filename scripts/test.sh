#!/usr/bin/env bash
# Builds Quillon and runs every test headless: the suite on the Release tree the package is made
# from, the store, operations and writing windows again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a bounded fuzzing run, the Windows build under Wine with its
# installer, and the package.
# A suite mostly waits (on the test server, on other desk processes, on timers), so each one runs
# while the next tree compiles; a stage in the background writes to logs/ and is shown if it fails.
# Each stage's time is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
mkdir -p logs
# ctest starts a throwaway PostgreSQL server for the server suites (scripts/pg-cluster.sh, under
# each build tree) and stops it after them; this stops them too if the run is cut short.
stop_servers() {
    for b in build build-asan build-windows; do bash scripts/pg-cluster.sh stop "$b/pg-test" || true; done
}
trap 'kill $(jobs -p) 2>/dev/null || true; stop_servers' EXIT
times=()
took() { times+=("$(printf '%-30s %5d s' "$1" $(($(date +%s) - $2)))"); }
# stage NAME COMMAND…: in the foreground.
stage() {
    local name=$1 start
    shift
    start=$(date +%s)
    echo "== $name"
    "$@"
    took "$name" "$start"
}
# begin NAME COMMAND…: in the background, its output in logs/NAME.log; finish NAME waits for it.
declare -A pids starts
begin() {
    local name=$1
    shift
    echo "== $name (in the background: logs/$name.log)"
    starts[$name]=$(date +%s)
    "$@" >"logs/$name.log" 2>&1 &
    pids[$name]=$!
}
finish() {
    local name=$1
    if ! wait "${pids[$name]}"; then
        cat "logs/$name.log"
        echo "== $name failed" >&2
        exit 1
    fi
    tail -n 3 "logs/$name.log"
    took "$name" "${starts[$name]}"
}

release() {
    bash scripts/configure-release.sh build -DQUILLON_BUILD_BENCH=ON
    cmake --build build -j"$jobs"
}
stage "build (Release)" release
begin tests bash -c "cd build && ctest --output-on-failure -j$jobs"

# Line tables are enough for the sanitizers' reports; -O1 keeps their build short.
asan() {
    cmake --preset asan >/dev/null
    cmake --build build-asan -j"$jobs" --target quillon_sanitized
}
stage "build (sanitizers)" asan
finish tests
begin tests-sanitizers bash -c "cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$jobs -L sanitized"

# The Windows build, cross-built with MinGW-w64, and its suite under Wine, whenever a Windows Qt
# is at hand (the packed one beside the checkout, or one built before). QUILLON_WINDOWS=0 leaves
# it out; QUILLON_WINDOWS=1 builds Qt first when there is none (about 20 minutes more).
windows=${QUILLON_WINDOWS:-auto}
if [ "$windows" = auto ] && bash scripts/windows/qt.sh --present; then windows=1; fi
if [ "$windows" = 1 ]; then stage "build (Windows)" bash scripts/test-windows.sh build; fi
finish tests-sanitizers
# The installer, run under Wine in a prefix of its own beside the suite (scripts/test-windows-install.sh).
if [ "$windows" = 1 ]; then
    begin tests-wine bash scripts/test-windows.sh test
    begin windows-install bash scripts/test-windows-install.sh
fi

stage fuzzing bash scripts/fuzz.sh "${QUILLON_FUZZ_SECONDS:-30}"
if [ "$windows" = 1 ]; then
    finish tests-wine
    finish windows-install
fi

# The Debian package from the tree the suite ran on; lintian finds no error in it.
stage package bash scripts/package.sh build
printf '%s\n' "${times[@]}"
