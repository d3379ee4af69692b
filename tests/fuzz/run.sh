#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (through CMake, from the same
# source lists as the programs) and runs them.
#   tests/fuzz/run.sh SECONDS [TARGET...]   fuzz each target for SECONDS over
#                                            a copy of its committed corpus
#   tests/fuzz/run.sh replay [TARGET...]     run each target once over its
#                                            committed corpus (what CI does)
#   tests/fuzz/run.sh minimise [TARGET...]   replace each committed corpus by
#                                            the smallest set of its inputs
#                                            that covers as much
# Targets: rich_text plain_text parse program practice class_record steps (default: all).
# The build goes into FUZZ_OUT (build-fuzz/ in the source tree by default);
# new inputs found while fuzzing go into FUZZ_OUT/corpus_TARGET, never into
# the committed corpus.
set -euo pipefail
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
MODE="${1:-60}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(rich_text plain_text parse program practice class_record steps)
OUT="${FUZZ_OUT:-$SRC/build-fuzz}"

CXX=clang++ cmake -S "$SRC" -B "$OUT" -DLESSONKIT_FUZZ=ON -DCMAKE_BUILD_TYPE=Fuzz > /dev/null
cmake --build "$OUT" -j"$(nproc)" --target "${TARGETS[@]/#/fuzz_}"

for target in "${TARGETS[@]}"; do
  fuzzer="$OUT/tests/fuzz_$target"
  corpus="$SRC/tests/fuzz/corpus/$target"
  case "$MODE" in
    replay)
      "$fuzzer" -runs=0 "$corpus"
      ;;
    minimise)
      kept="$OUT/minimised_$target"
      rm -rf "$kept" && mkdir -p "$kept"
      "$fuzzer" -merge=1 -timeout=10 -max_len=512 "$kept" "$corpus"
      rm -f "$corpus"/*
      cp "$kept"/* "$corpus"/
      ;;
    *)
      work="$OUT/corpus_$target"
      mkdir -p "$work"
      cp -n "$corpus"/* "$work"/ 2>/dev/null || true
      "$fuzzer" -max_total_time="$MODE" -timeout=10 -max_len=512 -print_final_stats=1 "$work"
      ;;
  esac
done
