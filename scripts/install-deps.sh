#!/usr/bin/env bash
# Installs every Debian package Quillon needs to build, run, test and benchmark. x11-apps brings a
# small calculator and text editor (xcalc, xedit) for the tool menu; xdotool drives screenshot.sh.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
packages=(
    build-essential cmake ninja-build
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-translations-l10n qt6-qpa-plugins
    # Qt Charts for the chart window; its CMake files need the OpenGL ones, which it does not pull in.
    qt6-charts-dev libqt6opengl6-dev
    libgl-dev fonts-wqy-microhei
    xvfb xauth xdotool
    x11-apps
    libbenchmark-dev sqlite3 libsqlite3-dev
    postgresql libpq-dev libqt6sql6-psql openssl
    # libmdb (MDB Tools) reads the old desk program's Access files; pkg-config finds it.
    mdbtools-dev pkg-config
    clang libclang-rt-14-dev
    dpkg-dev file lintian librsvg2-bin debootstrap
    # tests/docs/check_docs.py checks the documents against the tree.
    python3
    # A real spreadsheet reads the lists' CSV exports back in the tests.
    libreoffice-calc-nogui
)
install_missing "${packages[@]}"
