#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite through CTest.
# (Everything at once, the browser build's too, so that nothing is installed
# under the build that runs meanwhile.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build-essential cmake pkg-config libcairo2-dev libsdl2-dev libx11-dev \
  libfontconfig-dev libqrcodegencpp-dev fonts-morisawa-bizud-gothic fonts-liberation2 googletest libgtest-dev \
  xvfb xdotool openbox wmctrl x11-utils x11-apps x11-xserver-utils poppler-utils librsvg2-bin clang desktop-file-utils \
  chromium firefox-esr webkit2gtk-driver imagemagick \
  fontconfig emscripten python3 python3-fonttools python3-brotli
# Node.js and npm from Debian, unless the machine has them already.
command -v node > /dev/null || scripts/deps.sh nodejs
command -v npm > /dev/null || scripts/deps.sh npm
# The sanitizers' build (its tests run last) needs nothing from the release
# build: it is made meanwhile at the lowest priority, in the time the rest
# leaves the processors idle (the links, and the tests, which wait on
# browsers, the X server and each other).
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Release -DLESSONKIT_SANITIZE=ON > /dev/null
nice -n 19 cmake --build build-sanitize -j"$(nproc)" > build-sanitize/build.log 2>&1 &
sanitize_build=$!
trap 'kill "$sanitize_build" 2> /dev/null || true' EXIT

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)"

# The browser build, its players' test page, and the driver for Debian's
# chromium and firefox-esr (puppeteer-core from npm, which downloads no
# browser; WebKitGTK is driven by Debian's WebKitWebDriver, with no package
# from npm).
scripts/web.sh
NODE_PATH=/usr/share/nodejs cmake --build build-web --target players_web -j"$(nproc)"
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

ctest --test-dir build --output-on-failure -j"$(nproc)" -LE long

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# with the fuzz targets replaying their committed corpora (timing figures
# are measured by the release build above). Of the window tests, those that
# only drive the same drawing through more clicks, screen sizes and timings
# ran above: the mouse-only tour of both programs, the projectors' sizes,
# resizing, and closing within a second.
built=0
wait "$sanitize_build" || built=$?
cat build-sanitize/build.log
if [ "$built" -ne 0 ]; then
  echo "the sanitizers' build failed ($built)" >&2
  exit "$built"
fi
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" -LE 'long|perf|web|fuzz' -E '^x11_(pointer_tour|projector_scales|resize_fullscreen|close_fast)$'
