#!/usr/bin/env bash
# F2 switches the whole picture to the projector palette and back, and the
# program goes on answering keys.
source "$(dirname "$0")/common.inc"
WORK=$(mktemp -d)
trap 'cleanup; rm -rf "$WORK"' EXIT
CMP="$BIN/pngcompare"

start_program applylesson
settled_geometry
layout_area
# Two points: the window's corner (background, 15) and a point inside the
# menu panel, left of its entries (panel colour 10).
PANEL_X=$(awk -v s="$SCALE" -v x="$((WX + OX))" 'BEGIN { print x + int(32 * s) }')
PANEL_Y=$(awk -v s="$SCALE" -v y="$((WY + OY))" 'BEGIN { print y + int(300 * s) }')

# Waits until the two points show colours 15 and 10 of palette $1.
expect_palette() {
  local want_bg want_panel bg="" panel=""
  want_bg=$("$CMP" palette 15 "$1")
  want_panel=$("$CMP" palette 10 "$1")
  for _ in $(seq 1 20); do
    xwd -root -silent > "$WORK/screen.xwd"
    bg=$("$CMP" pixel "$WORK/screen.xwd" "$WX" "$WY")
    panel=$("$CMP" pixel "$WORK/screen.xwd" "$PANEL_X" "$PANEL_Y")
    [ "$bg" = "$want_bg" ] && [ "$panel" = "$want_panel" ] && break
    sleep 0.1
  done
  echo "$1 palette: background $bg (want $want_bg), panel $panel (want $want_panel)"
  [ "$bg" = "$want_bg" ] || fail "background is $bg, not colour 15 of the $1 palette"
  [ "$panel" = "$want_panel" ] || fail "menu panel is $panel, not colour 10 of the $1 palette"
}

expect_palette original
xdotool key F2
expect_palette projector
xdotool key F2
expect_palette original
xdotool key F2
expect_palette projector

# The keys still reach the program: the quit number ends it.
enter 9
wait_exit "$PROGRAM_PID" 5
[ "$STATUS" -eq 0 ] || fail "applylesson ended with status $STATUS"
echo "palette key test passed"
