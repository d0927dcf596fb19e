#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every one of them, headless; the table of
# figures, each against its baseline, comes last. Extra arguments go to quillon-bench
# (--quick for a smoke run on a tiny database, --benchmark_filter=REGEX for a subset).
# The generated data (250,000 completed stays, about 45 MB, plus a 200 MB file for the
# backup) is kept under the build directory and reused.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLON_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillon-bench quillon-bench-probe quillon-bench-server >/dev/null
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 QT_LOGGING_RULES='qt.qpa.*=false'
"$build/bench/quillon-bench" "$@"
# The server column: the same windows on a house on a throwaway PostgreSQL server, beside libpq.
quick=()
for a in "$@"; do [ "$a" = --quick ] && quick=(--quick); done
exec "$build/bench/quillon-bench-server" "${quick[@]}"
