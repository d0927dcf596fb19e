#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 30).
#   bash scripts/fuzz.sh          # the bounded run CI makes
#   bash scripts/fuzz.sh 600      # a longer run on demand
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake --preset fuzz >/dev/null
targets=(fuzz_conversions fuzz_grid_header fuzz_access_reader)
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
    corpus=build-fuzz/corpus/${t#fuzz_}
    mkdir -p "$corpus"
    # The Access reader takes whole files: the import tests' houses are its seeds.
    seeds=tests/fuzz/corpus/${t#fuzz_} max_len=512
    if [ "$t" = fuzz_access_reader ]; then
        seeds=tests/data/access max_len=400000
    fi
    echo "== $t for ${seconds}s"
    build-fuzz/tests/fuzz/$t -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -print_final_stats=1 \
        "$corpus" "$seeds" 2>&1 | grep -E "^(#|stat::number_of_executed_units|Done|==.*ERROR|SUMMARY)" | tail -3
done
echo "fuzzing: ${#targets[@]} targets x ${seconds}s, no crash"
