#!/usr/bin/env bash
# The Debian packages the Windows build needs: MinGW-w64 (posix threads), Wine to run the tests,
# the host's Qt tools (moc, rcc, uic), Tcl to make SQLite's single file, autotools to build libmdb,
# perl to configure OpenSSL, NSIS and zip to ship, with the packages whose copyright files are the
# shipped parts' notices (notices.py); for the tests, the sources of the Chinese locale Wine is run
# in, the fonts Linux tests see, and xdotool to drive the installed program.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 ninja-build
          cmake qt6-base-dev qt6-base-dev-tools tcl dpkg-dev nsis zip file librsvg2-bin icoutils xvfb xauth
          locales fonts-dejavu-core fonts-wqy-microhei autoconf automake libtool perl xdotool
          python3 libsqlite3-0 libpq5 libssl3 libqt6charts6 qt6-translations-l10n)
install_missing "${packages[@]}"
# Qt for Windows was built with the posix-thread compilers; make them the default names too.
for c in gcc g++; do
    as_root update-alternatives --set x86_64-w64-mingw32-$c /usr/bin/x86_64-w64-mingw32-$c-posix >/dev/null
done
