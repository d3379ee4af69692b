#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs them.
#   tests/fuzz/run.sh SECONDS [TARGET...]   fuzz each target for SECONDS over
#                                            a copy of its committed corpus
#   tests/fuzz/run.sh replay [TARGET...]     run each target once over its
#                                            committed corpus (what CI does)
# Targets: rich_text plain_text parse program practice (default: all).
set -euo pipefail
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
MODE="${1:-60}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(rich_text plain_text parse program practice)
OUT="${FUZZ_OUT:-$(mktemp -d)}"
mkdir -p "$OUT/obj"
FLAGS=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -I"$SRC")
SOURCES=("$SRC"/engine/present/{backend,canvas,numbers,painter,palette,presenter,probe,strings,trace}.cpp "$SRC"/engine/present/overlay/overlay.cpp
         "$SRC"/engine/present/headless/headless_platform.cpp
         "$SRC"/engine/lesson/*.cpp "$SRC"/engine/shell/*.cpp "$SRC"/engine/practice/*.cpp
         "$SRC"/lessons/problems/*.cpp "$SRC"/lessons/apply/*.cpp "$SRC"/lessons/solve/*.cpp)
objects=()
for src in "${SOURCES[@]}"; do
  obj="$OUT/obj/$(echo "$src" | md5sum | cut -c1-12).o"
  [ -f "$obj" ] || clang++ "${FLAGS[@]}" -c "$src" -o "$obj" &
  objects+=("$obj")
  while [ "$(jobs -r | wc -l)" -ge "$(nproc)" ]; do sleep 0.1; done
done
wait
for target in "${TARGETS[@]}"; do
  define="FUZZ_$(echo "$target" | tr a-z A-Z)"
  clang++ "${FLAGS[@]}" -fsanitize=fuzzer -D"$define" "$SRC/tests/fuzz/fuzz_targets.cpp" \
    "${objects[@]}" -o "$OUT/fuzz_$target"
  corpus="$SRC/tests/fuzz/corpus/$target"
  if [ "$MODE" = replay ]; then
    "$OUT/fuzz_$target" -runs=0 "$corpus"
  else
    work="$OUT/corpus_$target"
    mkdir -p "$work"
    cp "$corpus"/* "$work"/ 2>/dev/null || true
    "$OUT/fuzz_$target" -max_total_time="$MODE" -timeout=10 -max_len=512 -print_final_stats=1 "$work" "$corpus"
  fi
done
