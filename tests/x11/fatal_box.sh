#!/usr/bin/env bash
# A fault of the process itself shows the fatal error box, titled with the
# program's name and naming it and a statement number, then the program ends.
source "$(dirname "$0")/common.inc"

start_program applylesson
await_screen
MAIN_WINDOW=$WINDOW
kill -SEGV "$PROGRAM_PID"
# The process starts again (same process id) in the mode that only shows the box.
box_process() { grep -q -- "--fatal-box" "/proc/$PROGRAM_PID/cmdline" 2>/dev/null; }
wait_for box_process || fail "no fatal box process"
args=$(tr '\0' ' ' < "/proc/$PROGRAM_PID/cmdline")
echo "box process: $args"
[[ "$args" == *"--fatal-box applylesson "[0-9]* ]] || fail "no fatal box process: $args"
# The box: a new window titled applylesson, mapped. The message box of the
# window library carries no process id, so it is found by its title (wmctrl
# lists managed windows only), as a window other than the program's own.
box_window() {
  local w
  for w in $(wmctrl -l | awk '$NF == "applylesson" { print $1 }'); do
    [ $((w)) -ne $((MAIN_WINDOW)) ] || continue
    xwininfo -id "$w" 2>/dev/null | grep -q "Map State: IsViewable" || continue
    WINDOW=$w
    return 0
  done
  return 1
}
wait_for box_window || fail "no box window titled applylesson"
echo "box window $WINDOW shown"
wmctrl -i -c "$WINDOW"
wait_exit "$PROGRAM_PID" "$WAIT_LIMIT"
[ "$STATUS" -ne 0 ] || fail "the program ended with status 0 after a fault"
echo "fatal box test passed"
