#!/usr/bin/env bash
# Resizing the window draws the picture again at the new size (the screen
# matches the headless render at the new scale), and F11 makes the window
# cover the whole screen and gives the earlier window back.
source "$(dirname "$0")/common.inc"
WORK=$(mktemp -d)
trap 'cleanup; rm -rf "$WORK"' EXIT
SW=${SCREEN%%x*}; rest=${SCREEN#*x}; SH=${rest%%x*}

start_program applylesson
# Into a topic, so that there is more than the menu to redraw.
enter 1

# Waits until the window's settled geometry is "$1" (W H, or X Y W H).
geometry_is() {
  settled_geometry
  [ "$WW $WH" = "$1" ] || [ "$WX $WY $WW $WH" = "$1" ]
}

wmctrl -i -r "$WINDOW" -b remove,maximized_vert,maximized_horz
for size in "900 500" "700 600" "1200 400"; do
  read -r w h <<< "$size"
  xdotool windowsize --sync "$WINDOW" "$w" "$h" 2>/dev/null || xdotool windowsize "$WINDOW" "$w" "$h"
  wait_for geometry_is "$w $h" || true
  compare_with_render applylesson "$KEYS" "$WORK"
  echo "window ${WW}x${WH}: scale $SCALE, mean difference from the render $MAD"
  [ "$WW" -eq "$w" ] && [ "$WH" -eq "$h" ] || fail "window is ${WW}x${WH}, asked for ${w}x${h}"
  awk -v m="$MAD" 'BEGIN { exit !(m < 0.5) }' || fail "after resizing to ${w}x${h} the picture is not redrawn (mad $MAD)"
done
BEFORE="$WW $WH"

xdotool key F11
wait_for geometry_is "0 0 $SW $SH" || true
compare_with_render applylesson "$KEYS" "$WORK"
echo "full screen: window ${WW}x${WH} at ($WX,$WY), mean difference from the render $MAD"
[ "$WX $WY $WW $WH" = "0 0 $SW $SH" ] || fail "F11: window is ${WW}x${WH} at ($WX,$WY), not the screen"
awk -v m="$MAD" 'BEGIN { exit !(m < 0.5) }' || fail "full screen picture not redrawn (mad $MAD)"

xdotool key F11
wait_for geometry_is "$BEFORE" || true
compare_with_render applylesson "$KEYS" "$WORK"
echo "F11 again: window ${WW}x${WH} at ($WX,$WY), mean difference from the render $MAD"
[ "$WW $WH" = "$BEFORE" ] || fail "second F11: window is ${WW}x${WH}, was $BEFORE"
awk -v m="$MAD" 'BEGIN { exit !(m < 0.5) }' || fail "picture not redrawn after leaving full screen (mad $MAD)"

# The program still answers keys: back to the menu, then the quit number.
enter 3
type_number 9
wait_exit "$PROGRAM_PID" "$WAIT_LIMIT"
[ "$STATUS" -eq 0 ] || fail "applylesson ended with status $STATUS"
echo "resize and full screen test passed"
