#!/usr/bin/env bash
# A fault of the process itself shows the fatal error box, titled with the
# program's name and naming it and a statement number, then the program ends.
source "$(dirname "$0")/common.inc"

start_program applylesson
kill -SEGV "$PROGRAM_PID"
# The process starts again in the mode that only shows the box.
for _ in $(seq 1 100); do
  grep -q -- "--fatal-box" "/proc/$PROGRAM_PID/cmdline" 2>/dev/null && break
  sleep 0.05
done
args=$(tr '\0' ' ' < "/proc/$PROGRAM_PID/cmdline")
echo "box process: $args"
[[ "$args" == *"--fatal-box applylesson "[0-9]* ]] || fail "no fatal box process: $args"
found=""
for _ in $(seq 1 100); do
  if wmctrl -l | grep -q " applylesson\$"; then found=1; break; fi
  sleep 0.05
done
[ -n "$found" ] || fail "no box window titled applylesson"
sleep 0.3
wmctrl -c applylesson
wait_exit "$PROGRAM_PID" 5
[ "$STATUS" -ne 0 ] || fail "the program ended with status 0 after a fault"
echo "fatal box test passed"
