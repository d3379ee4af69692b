#!/usr/bin/env bash
# A run-time error in a real window: the error line is drawn, the program
# waits (it neither ends nor takes keys), and the close box ends it at once
# with status 0.
source "$(dirname "$0")/common.inc"
CMP="$BIN/pngcompare"

start_program applylesson --fault runtime
# The goal screen of topic 1 is as usual; its first item fails.
enter 1
type_number 1

# The error line's first characters stand at (288, 432): the band just below
# that point holds ink now, where the goal screen left only background.
error_line_shown() {
  local dx dy X Y px paper
  paper=$("$CMP" palette 15 original)
  xwd -root -silent > "$TEST_TMP/screen.xwd" || return 1
  for dx in $(seq 0 4 120); do
    for dy in 4 8 12; do
      X=$(awk -v s="$SCALE" -v x="$((WX + OX))" -v d="$dx" 'BEGIN { print x + int((288 + d) * s) }')
      Y=$(awk -v s="$SCALE" -v y="$((WY + OY))" -v d="$dy" 'BEGIN { print y + int((432 + d) * s) }')
      px=$("$CMP" pixel "$TEST_TMP/screen.xwd" "$X" "$Y")
      [ "$px" != "$paper" ] && return 0
    done
  done
  return 1
}
wait_for error_line_shown || fail "no error line at (288, 432)"

# Keys do nothing now. F2, which the window handles itself, comes after them:
# once the picture turns to the projector colours, the keys before it have
# been read too, and the program must still be there.
type_number 9
xdotool key F2
projector_shown() {
  xwd -root -silent > "$TEST_TMP/screen.xwd" || return 1
  [ "$("$CMP" pixel "$TEST_TMP/screen.xwd" "$WX" "$WY")" = "$("$CMP" palette 15 projector)" ]
}
wait_for projector_shown || fail "F2 did not change the palette during the error wait"
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended on a key after the error"
# Closing ends it at once: well under a second more than closing a trivial
# window through the same window manager just now.
yardstick
start=$(now_ms)
wmctrl -i -c "$WINDOW"
wait_exit "$PROGRAM_PID" "$WAIT_LIMIT"
ms=$(( $(now_ms) - start ))
echo "closed during the error wait in ${ms} ms (the probe window: ${YARDSTICK_MS} ms), status $STATUS"
[ "$STATUS" -eq 0 ] || fail "closing after the error gave status $STATUS"
[ "$ms" -lt $((1000 + 2 * YARDSTICK_MS)) ] || fail "closing took ${ms} ms"
echo "error wait test passed"
