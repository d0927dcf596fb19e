#!/usr/bin/env bash
# Builds the Debian package quillon_<version>_<arch>.deb, checks it with lintian and prints its
# path. Given a Release tree configured by configure-release.sh (the one CI tested), it packages
# that tree; else it configures build-package/ (QUILLON_PACKAGE_DIR) without tests and builds it.
#   bash scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=${1:-}
if [ -z "$dir" ]; then
    dir=${QUILLON_PACKAGE_DIR:-build-package}
    bash scripts/configure-release.sh "$dir" -DQUILLON_BUILD_TESTS=OFF
fi
grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$dir/CMakeCache.txt" ||
    { echo "$dir is not a Release tree (scripts/configure-release.sh)" >&2; exit 1; }
cmake --build "$dir" -j"$(nproc)" --target quillon quillon-createdb quillon-package-files
rm -f "$dir"/quillon_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/quillon_*.deb)

# Errors fail the build; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "$deb"
