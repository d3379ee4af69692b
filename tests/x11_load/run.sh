#!/usr/bin/env bash
# The window tests on a busy machine: the x11 label run five times in a row
# while two busy processes keep both cores loaded. Any failure fails the
# check. In a sanitizer build the timing checks (label perf) are left out,
# as in the ordinary test run.
#
#   tests/x11_load/run.sh BUILD_DIR...    (ROUNDS=N to change the five;
#                                          LABEL=web for the browser tests)
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR..." >&2; exit 2; }
ROUNDS="${ROUNDS:-5}"
LABEL="${LABEL:-x11}"

BUSY=()
stop_busy() { for p in "${BUSY[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap stop_busy EXIT
for _ in 1 2; do
  bash -c 'while :; do :; done' &
  BUSY+=("$!")
done

start=$SECONDS
for dir in "$@"; do
  exclude=(-LE long)
  grep -q '^LESSONKIT_SANITIZE:BOOL=ON' "$dir/CMakeCache.txt" && exclude=(-LE 'long|perf')
  for round in $(seq 1 "$ROUNDS"); do
    t0=$SECONDS
    if ! ctest --test-dir "$dir" -L "$LABEL" "${exclude[@]}" -j2 --output-on-failure > "$dir/x11_load.log" 2>&1; then
      cat "$dir/x11_load.log"
      echo "FAIL: $dir, round $round of $ROUNDS: a $LABEL test failed under load"
      exit 1
    fi
    echo "$dir, round $round: $(grep -o '[0-9]*% tests passed.*' "$dir/x11_load.log" | head -1) in $((SECONDS - t0)) s"
  done
done
echo "load check passed: $ROUNDS rounds in each of $# builds in $((SECONDS - start)) s"
