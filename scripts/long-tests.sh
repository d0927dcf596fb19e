#!/usr/bin/env bash
# The long variants of the reliability runs, on demand (the test command runs short ones):
# a long kill test, the model comparison over many seeds, ten minutes of fuzzing per target, and
# the Debian package installed into a fresh chroot and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target test_kill test_model quillon-stress-driver
export QT_QPA_PLATFORM=offscreen
(cd build && QUILLON_KILL_ROUNDS=300 QUILLON_KILL_OPERATIONS=10000 QUILLON_KILL_SECONDS=900 QUILLON_SEED=11 \
    ./tests/stress/test_kill killedAtRandomMoments)
for seed in $(seq 100 120); do
    (cd build && QUILLON_SEED=$seed QUILLON_OPERATIONS=500 ./tests/stress/test_model randomOperations) | grep -E "model:|FAIL"
done
bash scripts/fuzz.sh "${QUILLON_FUZZ_SECONDS:-600}"
# The package installed into a fresh minimal Debian, used, removed.
bash scripts/test-package-install.sh
