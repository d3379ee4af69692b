#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts a program:
#   scripts/run.sh               starts applylesson
#   scripts/run.sh solvelesson   starts solvelesson
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-applylesson}"
case "$program" in
  applylesson|solvelesson) ;;
  *) echo "usage: scripts/run.sh [applylesson|solvelesson]" >&2; exit 2 ;;
esac
scripts/deps.sh build-essential cmake pkg-config libcairo2-dev libsdl2-dev libx11-dev \
  libfontconfig-dev fonts-morisawa-bizud-gothic fonts-liberation2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)" --target "$program"
exec "build/$program"
