#!/usr/bin/env bash
# Builds the text fuzzer with clang's libFuzzer and runs it for the given
# number of seconds (default 60) over the committed corpus.
set -euo pipefail
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
OUT="${2:-$(mktemp -d)}"
SECONDS_TO_RUN="${1:-60}"
mkdir -p "$OUT"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$SRC" \
  "$SRC"/tests/fuzz/fuzz_text.cpp \
  "$SRC"/engine/present/{canvas,numbers,palette,presenter,strings,trace}.cpp \
  "$SRC"/engine/present/headless/headless_platform.cpp \
  "$SRC"/engine/lesson/*.cpp -o "$OUT/fuzz_text"
CORPUS="$OUT/corpus"
mkdir -p "$CORPUS"
cp "$SRC"/tests/fuzz/corpus/* "$CORPUS"/ 2>/dev/null || true
"$OUT/fuzz_text" -max_total_time="$SECONDS_TO_RUN" -timeout=5 -max_len=256 "$CORPUS"
