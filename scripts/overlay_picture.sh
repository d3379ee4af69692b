#!/usr/bin/env bash
# Makes docs/toolbar-keypad.png: the window at a practice problem with the
# toolbar, the on-screen keypad and a little red ink, driven with the mouse
# under a private X server (Xvfb, openbox, xdotool, as the window tests).
#   scripts/overlay_picture.sh [BUILD_DIR]
cd "$(dirname "$0")/.."
source tests/x11/common.inc "${1:-build}"
WORK=$(mktemp -d)
trap 'cleanup; rm -rf "$WORK"' EXIT
LOG="$WORK/prompts.txt"
SEEN=0
declare -A P
next_prompt() {
  local line="" n=0
  for _ in $(seq 1 1500); do
    line=$(tail -n 1 "$LOG" 2>/dev/null || true)
    n=${line#n=}
    n=${n%% *}
    [[ "$line" == n=*" keyEnter="*,* && "$n" -gt "$SEEN" && "$line" != *" kind=none "* ]] && break
    sleep 0.02
  done
  [ "$n" -gt "$SEEN" ] || fail "no prompt after $SEEN"
  SEEN=$n
  P=()
  for tok in $line; do P[${tok%%=*}]=${tok#*=}; done
}
click() { xdotool mousemove "$((WX + $1))" "$((WY + $2))" mousedown 1 mouseup 1; }
press() { local x y; IFS=, read -r x y _ <<< "${P[$1]}"; click "$x" "$y"; }

start_program solvelesson --probe "$WORK"
next_prompt
settled_geometry
layout_area
# 方程式の解き方, its items in turn until a practice problem.
press choice3
next_prompt
item=0
while [ "${P[kind]}" != next_step ]; do
  if [ "${P[kind]}" = bar ]; then
    item=$((item + 1))
    [ -n "${P[choice$item]:-}" ] || fail "no practice problem"
    press "choice$item"
  else
    click $((OX + AW * 3 / 4)) $((OY + AH / 2))
  fi
  next_prompt
done
# A red ring around the practice problem, with the pen.
press red
cx=$((OX + AW * 2 / 3)) cy=$((OY + AH / 4)) r=$((AH / 10))
xdotool mousemove $((WX + cx + r)) $((WY + cy)) mousedown 1
for a in $(seq 0 10 370); do
  xdotool mousemove $(awk -v a="$a" -v x="$((WX + cx))" -v y="$((WY + cy))" -v r="$r" \
    'BEGIN { printf "%d %d", x + r * 1.6 * cos(a / 57.3), y + r * sin(a / 57.3) }')
done
xdotool mouseup 1
press pen
# Keypad "1", and the mouse resting on the toolbar.
press key1
v=${P[forward]}
IFS=, read -r vx vy _ <<< "$v"
xdotool mousemove "$((WX + vx))" "$((WY + vy + 60))"
# Once the window shows it all: two shots in a row the same.
for _ in $(seq 1 50); do
  xwd -root -silent > "$WORK/screen.xwd"
  "$BIN/pngcompare" crop "$WORK/screen.xwd" "$WX" "$WY" "$WW" "$WH" "$WORK/shot.png"
  [ -f "$WORK/prev.png" ] && cmp -s "$WORK/shot.png" "$WORK/prev.png" && break
  cp "$WORK/shot.png" "$WORK/prev.png"
  sleep 0.1
done
cp "$WORK/shot.png" docs/toolbar-keypad.png
echo "docs/toolbar-keypad.png: ${WW}x${WH}"
