#!/usr/bin/env bash
# Configures DIR as the Release tree a Debian package is made from: installed under /usr, with
# Debian's hardening flags as a package build would use them. Further arguments go to cmake.
#   bash scripts/configure-release.sh DIR [cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:?build folder}
shift
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
# Without -g: the package's programs are stripped (CPACK_STRIP_FILES), and debug information
# is most of a build's link time.
cxxflags=$(dpkg-buildflags --get CXXFLAGS | sed -E 's/(^| )-g( |$)/ /')
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake --preset package -B "$dir" -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    "$@" >/dev/null
