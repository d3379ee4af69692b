#!/usr/bin/env bash
# Every item of every topic of both programs runs in a real window: the
# program answers its own prompts (a test-only driver), walks the whole tour,
# quits by its quit number and ends with status 0.
source "$(dirname "$0")/common.inc"
LOG=$(mktemp)
trap 'cleanup; rm -f "$LOG"' EXIT
# The number of items of each program's topics.
declare -A ITEMS=([applylesson]=35 [solvelesson]=27)
for name in applylesson solvelesson; do
  start=$(date +%s)
  "$BIN/$name" --tour 2 2> "$LOG" &
  PROGRAM_PID=$!
  PIDS+=("$PROGRAM_PID")
  # The walk needs no keys: only its window is waited for, then its end.
  await_window "$PROGRAM_PID"
  wait_exit "$PROGRAM_PID" 150
  summary=$(grep '^tour:' "$LOG" || true)
  echo "$name in a window: $summary in $(( $(date +%s) - start )) s, status $STATUS"
  [ "$STATUS" -eq 0 ] || fail "$name ended with status $STATUS"
  [[ "$summary" == "tour: ${ITEMS[$name]} items,"* ]] || fail "$name did not run all ${ITEMS[$name]} items"
done
echo "window tour passed"
