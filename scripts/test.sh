#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build-essential cmake pkg-config libcairo2-dev libsdl2-dev \
  libfontconfig-dev fonts-ipafont-gothic fonts-liberation2 googletest libgtest-dev \
  xvfb xdotool openbox wmctrl x11-utils poppler-utils clang
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE long
