#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every one of them, headless; the table of
# figures, each against its baseline, comes last. Extra arguments go to quillon-bench
# (--quick for a smoke run on a tiny database, --benchmark_filter=REGEX for a subset).
# The generated data (250,000 completed stays, about 45 MB, plus a 200 MB file for the
# backup) is kept under the build directory and reused.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLON_BENCH_BUILD:-build-bench}
cmake --preset default -B "$build" -DQUILLON_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillon-bench quillon-bench-probe quillon-bench-server \
    test_desks_at_once quillon-desk-load >/dev/null
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 QT_LOGGING_RULES='qt.qpa.*=false'
"$build/bench/quillon-bench" "$@"
quick=()
for a in "$@"; do [ "$a" = --quick ] && quick=(--quick); done
# Desks at once: ten desk processes on a house on a throwaway server, then three on a file, each
# for a minute (5 s with --quick), every operation timed at its desk; the house is checked after.
seconds=60
[ ${#quick[@]} -eq 0 ] || seconds=5
pg=$(realpath -m "$build")/bench/desks-pg
report=$(realpath -m "$build")/bench/desks-report.txt
rm -f "$report"
bash scripts/pg-cluster.sh start "$pg" >/dev/null
trap 'bash scripts/pg-cluster.sh stop "$pg"' EXIT
QUILLON_DESKS_SECONDS=$seconds QUILLON_DESKS_REPORT=$report QUILLON_TEST_SERVER=@$pg/conninfo \
    "$build/tests/stress/test_desks_at_once" desksAtOnce >/dev/null || echo "desks at once: the server house failed its checks" >&2
bash scripts/pg-cluster.sh stop "$pg"
trap - EXIT
QUILLON_DESKS_SECONDS=$seconds QUILLON_DESKS_REPORT=$report "$build/tests/stress/test_desks_at_once" desksAtOnce \
    >/dev/null || echo "desks at once: the file failed its checks" >&2
echo
echo "desks at once, per operation at its desk (targets: p99 <= 100 ms on the server, <= 250 ms on the file)"
cat "$report"
# The server column: the same windows on a house on a throwaway PostgreSQL server, beside libpq.
exec "$build/bench/quillon-bench-server" "${quick[@]}"
