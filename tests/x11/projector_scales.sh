#!/usr/bin/env bash
# Any projector: on screens from 1024x768 to 3840x2160 the maximised window
# shows the whole layout area, scaled uniformly and centred, drawn at the
# screen's own resolution: what the screen shows matches the headless render
# at the same scale, and is clearly further from a blurred enlargement of a
# render at half that scale.
set -euo pipefail
if [ -z "${PROJECTOR_ONE:-}" ]; then
  for screen in 1024x768x24 1366x768x24 1920x1080x24 3840x2160x24; do
    SCREEN=$screen PROJECTOR_ONE=1 bash "$0" "$@"
  done
  echo "projector scales test passed"
  exit 0
fi
source "$(dirname "$0")/common.inc"
WORK=$(mktemp -d)
trap 'cleanup; rm -rf "$WORK"' EXIT
SW=${SCREEN%%x*}; rest=${SCREEN#*x}; SH=${rest%%x*}

start_program applylesson
# Maximised: the window takes the screen's width (the window manager may
# still be placing it), then the picture is drawn at that size.
maximised() { settled_geometry; [ "$WW" -eq "$SW" ]; }
wait_for maximised || true
compare_with_render applylesson '' "$WORK"
echo "screen ${SW}x${SH}: window ${WW}x${WH} at ($WX,$WY); scale $SCALE, layout area ${AW}x${AH} at ($OX,$OY)"
[ "$WX" -ge 0 ] && [ "$WY" -ge 0 ] && [ $((WX + WW)) -le "$SW" ] && [ $((WY + WH)) -le "$SH" ] ||
  fail "window not inside the screen"
# Maximised: the window uses the screen's width and nearly all its height.
[ "$WW" -eq "$SW" ] || fail "window ${WW} wide on a ${SW} screen"
[ $((WH * 10)) -ge $((SH * 9)) ] || fail "window ${WH} high on a ${SH} screen"
# The layout area fills the window in one direction.
[ "$AW" -ge $((WW - 1)) ] || [ "$AH" -ge $((WH - 1)) ] || fail "layout area ${AW}x${AH} does not fill the window"

HALF=$(awk -v s="$SCALE" 'BEGIN { printf "%.17g", s / 2 }')
"$BIN/lessonreplay" applylesson --keys '' --png "$WORK/half" --scale "$HALF" > /dev/null
BLUR=$("$BIN/pngcompare" diff "$WORK/screen.xwd" $((WX + OX)) $((WY + OY)) "$AW" "$AH" \
       "$WORK/half/0001.png" --upscale 2 | awk '{print $2}')
echo "mean difference from the render at scale $SCALE: $MAD; from an enlarged half-scale render: $BLUR"
awk -v m="$MAD" 'BEGIN { exit !(m < 0.5) }' || fail "window picture differs from the render at its scale (mad $MAD)"
awk -v m="$MAD" -v b="$BLUR" 'BEGIN { exit !(b > 4 * m && b > 0.5) }' ||
  fail "window picture is as close to a blurred enlargement as to a sharp render"

# The letterbox margins are plain background.
BG=$("$BIN/pngcompare" pixel "$WORK/render.png" 0 0)
[ "$("$BIN/pngcompare" pixel "$WORK/screen.xwd" "$WX" "$WY")" = "$BG" ] || fail "window corner is not the background"
[ "$("$BIN/pngcompare" pixel "$WORK/screen.xwd" $((WX + WW - 1)) $((WY + WH - 1)))" = "$BG" ] ||
  fail "window's far corner is not the background"

wmctrl -i -c "$WINDOW"
wait_exit "$PROGRAM_PID" "$WAIT_LIMIT"
[ "$STATUS" -eq 0 ] || fail "applylesson ended with status $STATUS"
