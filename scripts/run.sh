#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts a program:
#   scripts/run.sh               starts applylesson
#   scripts/run.sh solvelesson   starts solvelesson
#   scripts/run.sh practicelesson starts 方程式の練習
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-applylesson}"
case "$program" in
  applylesson|solvelesson|practicelesson) ;;
  *) echo "usage: scripts/run.sh [applylesson|solvelesson|practicelesson]" >&2; exit 2 ;;
esac
scripts/deps.sh build-essential cmake pkg-config libcairo2-dev libsdl2-dev libx11-dev \
  libfontconfig-dev libqrcodegencpp-dev fonts-morisawa-bizud-gothic fonts-liberation2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)" --target "$program"
exec "build/$program"
