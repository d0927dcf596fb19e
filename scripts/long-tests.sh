#!/usr/bin/env bash
# The long variants of the reliability runs, on demand (the test command runs short ones):
# a long kill test, the model comparison over many seeds, a minute of ten desks at once on a server
# house and of three on a file, ten minutes of fuzzing per target, and the Debian package installed
# into a fresh chroot and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure-release.sh build
cmake --build build -j"$(nproc)" --target test_kill test_model quillon-stress-driver test_desks_at_once \
    quillon-desk-load
export QT_QPA_PLATFORM=offscreen
(cd build && QUILLON_KILL_ROUNDS=300 QUILLON_KILL_OPERATIONS=10000 QUILLON_KILL_SECONDS=900 QUILLON_SEED=11 \
    ./tests/stress/test_kill killedAtRandomMoments)
for seed in $(seq 100 120); do
    (cd build && QUILLON_SEED=$seed QUILLON_OPERATIONS=500 ./tests/stress/test_model randomOperations) | grep -E "model:|FAIL"
done
# Desks at once for a minute: ten on a throwaway server, then three on a file.
pg=$PWD/build/pg-long
bash scripts/pg-cluster.sh start "$pg" >/dev/null
trap 'bash scripts/pg-cluster.sh stop "$pg"' EXIT
(cd build && QUILLON_DESKS_SECONDS=60 QUILLON_TEST_SERVER=@$pg/conninfo ./tests/stress/test_desks_at_once desksAtOnce)
bash scripts/pg-cluster.sh stop "$pg"
trap - EXIT
(cd build && QUILLON_DESKS_SECONDS=60 ./tests/stress/test_desks_at_once desksAtOnce)
bash scripts/fuzz.sh "${QUILLON_FUZZ_SECONDS:-600}"
# The package installed into a fresh minimal Debian, used, removed.
bash scripts/test-package-install.sh
