#!/usr/bin/env bash
# F2 switches the whole picture to the projector palette and back, and the
# program goes on answering keys.
source "$(dirname "$0")/common.inc"
WORK=$(mktemp -d)
trap 'cleanup; rm -rf "$WORK"' EXIT
CMP="$BIN/pngcompare"

start_program applylesson
await_screen
# Two points: the window's corner (background, 15) and a point inside the
# menu panel, left of its entries (panel colour 10).
PANEL_X=$(awk -v s="$SCALE" -v x="$((WX + OX))" 'BEGIN { print x + int(32 * s) }')
PANEL_Y=$(awk -v s="$SCALE" -v y="$((WY + OY))" 'BEGIN { print y + int(300 * s) }')

# Waits until the two points show colours 15 and 10 of palette $1.
palette_shown() {
  xwd -root -silent > "$WORK/screen.xwd" || return 1
  bg=$("$CMP" pixel "$WORK/screen.xwd" "$WX" "$WY")
  panel=$("$CMP" pixel "$WORK/screen.xwd" "$PANEL_X" "$PANEL_Y")
  [ "$bg" = "$want_bg" ] && [ "$panel" = "$want_panel" ]
}
expect_palette() {
  want_bg=$("$CMP" palette 15 "$1")
  want_panel=$("$CMP" palette 10 "$1")
  bg="" panel=""
  wait_for palette_shown || true
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
type_number 9
wait_exit "$PROGRAM_PID" "$WAIT_LIMIT"
[ "$STATUS" -eq 0 ] || fail "applylesson ended with status $STATUS"
echo "palette key test passed"
