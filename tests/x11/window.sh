#!/usr/bin/env bash
# Both programs in a real window: maximised, keys reach them, the quit number
# and the close box end them with status 0.
source "$(dirname "$0")/common.inc"

start_program solvelesson
await_screen
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
W=$WIDTH H=$HEIGHT
[ "${W:-0}" -ge 1300 ] || fail "window not maximised: width $W"
[ "${H:-0}" -ge 650 ] || fail "window not maximised: height $H"
# Menu -> topic 1 -> its bar's last entry -> the menu -> the reserved entry
# -> the quit number; each screen is waited for before the next number.
enter 1
enter 9
enter 7
kill -0 "$PROGRAM_PID" || fail "solvelesson ended before the quit number"
type_number 8
wait_exit "$PROGRAM_PID" "$WAIT_LIMIT"
[ "$STATUS" -eq 0 ] || fail "solvelesson ended with status $STATUS"

start_program applylesson
enter 1
wmctrl -i -c "$WINDOW"
wait_exit "$PROGRAM_PID" "$WAIT_LIMIT"
[ "$STATUS" -eq 0 ] || fail "closing applylesson gave status $STATUS"
echo "window test passed"
