#!/usr/bin/env bash
# Builds everything and runs every test; exits non-zero on any failure.
#  1. the normal build: unit, window and end-to-end tests (real X server, and
#     a headless Wayland compositor), the Debian package built, checked as a
#     Debian packager checks it and played by an ordinary user, and the menu
#     entry, AppStream metadata and manual pages validated;
#  2. a clang build with AddressSanitizer and UndefinedBehaviorSanitizer: the
#     unit and window tests again, and the fuzzers replaying their corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh g++ cmake ninja-build qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-multimedia-dev \
  fonts-ipafont-gothic qt6-translations-l10n qt6-wayland libqt6sql6-sqlite libsqlite3-dev libqt6sql6-psql xvfb xauth xdotool xclip x11-utils x11-xkb-utils sqlite3 \
  imagemagick clang libclang-rt-14-dev dpkg-dev file desktop-file-utils appstream groff-base weston \
  devscripts lintian pulseaudio pulseaudio-utils postgresql-15

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build build-test
(cd build-test && ctest --output-on-failure -j2)

CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DBUILD_TESTING=ON -DKOLRIN_SANITIZE=ON -DKOLRIN_FUZZ=ON >/dev/null
cmake --build build-sanitize
(cd build-sanitize && ctest --output-on-failure -j2 -LE e2e)
