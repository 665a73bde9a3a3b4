#!/usr/bin/env bash
# Builds everything and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh g++ cmake ninja-build qt6-base-dev fonts-ipafont-gothic \
  xvfb xauth xdotool xclip x11-utils imagemagick
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build build-test
cd build-test
ctest --output-on-failure -j2
