#!/usr/bin/env bash
# Builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh g++ cmake ninja-build qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-multimedia-dev \
  fonts-ipafont-gothic qt6-translations-l10n qt6-wayland libqt6sql6-sqlite libsqlite3-dev libqt6sql6-psql
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build --target kolrin
exec build/kolrin
