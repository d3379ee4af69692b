#!/usr/bin/env bash
# A run-time error in a real window: the error line is drawn, the program
# waits (it neither ends nor takes keys), and the close box ends it at once
# with status 0.
source "$(dirname "$0")/common.inc"
WORK=$(mktemp -d)
trap 'cleanup; rm -rf "$WORK"' EXIT
CMP="$BIN/pngcompare"

export LESSONKIT_TEST_FAULT=runtime
start_program applylesson
settled_geometry
layout_area
enter 1
enter 1
sleep 1
# The error line's first characters stand at (288, 432): the band just below
# that point holds ink now, where the goal screen left only background.
xwd -root -silent > "$WORK/screen.xwd"
ink=""
for dx in $(seq 0 4 120); do
  for dy in 4 8 12; do
    X=$(awk -v s="$SCALE" -v x="$((WX + OX))" -v d="$dx" 'BEGIN { print x + int((288 + d) * s) }')
    Y=$(awk -v s="$SCALE" -v y="$((WY + OY))" -v d="$dy" 'BEGIN { print y + int((432 + d) * s) }')
    px=$("$CMP" pixel "$WORK/screen.xwd" "$X" "$Y")
    [ "$px" != "$("$CMP" palette 15 original)" ] && ink=1
  done
done
[ -n "$ink" ] || fail "no error line at (288, 432)"
# Keys do nothing now; the program is still there.
enter 9
sleep 0.5
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended on a key after the error"
start=$(date +%s%N)
wmctrl -c applylesson
wait_exit "$PROGRAM_PID" 5
ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "closed during the error wait in ${ms} ms, status $STATUS"
[ "$STATUS" -eq 0 ] || fail "closing after the error gave status $STATUS"
[ "$ms" -lt 1000 ] || fail "closing took ${ms} ms"
echo "error wait test passed"
