#!/usr/bin/env bash
# Builds Quillon and runs every test headless: the suite on the Release tree the package is made
# from, the store, operations and writing windows again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a bounded fuzzing run, the Windows build under Wine, and the package.
# Each stage's time is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# ctest starts a throwaway PostgreSQL server for the server suites (scripts/pg-cluster.sh, under
# each build tree) and stops it after them; this stops it too if ctest itself is cut short.
stop_servers() { for b in build build-asan; do bash scripts/pg-cluster.sh stop "$b/pg-test"; done; }
trap stop_servers EXIT
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
times=()
stage() {
    local name=$1 start
    shift
    start=$(date +%s)
    "$@"
    times+=("$(printf '%-28s %5d s' "$name" $(($(date +%s) - start)))")
    echo "== $name: $(($(date +%s) - start)) s"
}

release() {
    bash scripts/configure-release.sh build
    cmake --build build -j"$jobs"
}
stage "build (Release)" release
stage "tests" bash -c "cd build && ctest --output-on-failure -j$jobs"

asan() {
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_SANITIZE=ON \
        -DQUILLON_BUILD_BENCH=OFF >/dev/null
    cmake --build build-asan -j"$jobs" --target quillon_sanitized
}
stage "build (sanitizers)" asan
stage "tests (sanitizers)" bash -c "cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$jobs -L sanitized"

stage "fuzzing" bash scripts/fuzz.sh "${QUILLON_FUZZ_SECONDS:-30}"

# The Windows build, cross-built with MinGW-w64, and its suite under Wine, whenever a Windows Qt
# is at hand (the packed one beside the checkout, or one built before). QUILLON_WINDOWS=0 leaves
# it out; QUILLON_WINDOWS=1 builds Qt first when there is none (about 20 minutes more).
windows=${QUILLON_WINDOWS:-auto}
if [ "$windows" = auto ] && bash scripts/windows/qt.sh --present; then windows=1; fi
if [ "$windows" = 1 ]; then stage "Windows (build and Wine)" bash scripts/test-windows.sh; fi

# The Debian package from the tree the suite ran on; lintian finds no error in it.
stage "package" bash scripts/package.sh build
printf '%s\n' "${times[@]}"
