#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build-essential cmake pkg-config libcairo2-dev libsdl2-dev \
  libfontconfig-dev fonts-morisawa-bizud-gothic fonts-liberation2 googletest libgtest-dev \
  xvfb xdotool openbox wmctrl x11-utils x11-apps poppler-utils clang desktop-file-utils
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE long

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer
# (timing figures are measured by the release build above).
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Release -DLESSONKIT_SANITIZE=ON > /dev/null
cmake --build build-sanitize -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" -LE 'long|perf'
