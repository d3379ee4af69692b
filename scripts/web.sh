#!/usr/bin/env bash
# Builds the browser site in build-web/site/: applylesson.html,
# solvelesson.html and practicelesson.html (each one self-contained file:
# program, script and fonts),
# the served pages in app/ (page, script and WebAssembly as files of their
# own), index.html, the offline worker sw.js, the web app manifest and its
# icons, the font subsets and their licences. Installs what is missing first
# (Debian's emscripten, fonts, font tools and rsvg-convert for the icons).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build-essential cmake pkg-config libcairo2-dev libsdl2-dev libx11-dev libfontconfig-dev libqrcodegencpp-dev \
  fonts-morisawa-bizud-gothic fonts-liberation2 fontconfig emscripten \
  python3 python3-fonttools python3-brotli librsvg2-bin
# Debian's emscripten tools need Debian's acorn.
export NODE_PATH=/usr/share/nodejs
# What the pages carry from the npm registry (the QR encoder's JavaScript
# edition), as the lock file names it.
command -v npm > /dev/null || scripts/deps.sh npm
(cd tools/web && npm ci --no-audit --no-fund --loglevel=error)

# The characters the programs can draw, per font, from a native build.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build --target lessonglyphs lessonfirst -j"$(nproc)"
mkdir -p build-web
build/lessonglyphs > build-web/glyphs.tsv
# The programs' first screens, which their pages draw at once (the practice
# program's where the device keeps no record yet).
for program in applylesson solvelesson practicelesson; do
  build/lessonfirst "$program" > "build-web/first-$program.json"
done

# The three programs as WebAssembly.
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build-web --target applylesson_web solvelesson_web practicelesson_web class_web -j"$(nproc)"

rm -rf build-web/site
# Debian's python, which has Debian's font tools.
/usr/bin/python3 tools/web/make_site.py build-web/glyphs.tsv build-web build-web/site
