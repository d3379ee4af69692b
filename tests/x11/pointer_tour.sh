#!/usr/bin/env bash
# Both programs taught from start to end with the mouse alone, no key at all:
# a click on each main-menu entry and each item-bar entry, a click on the
# picture at every step banner, the on-screen keypad's "1" and Enter at
# every practice problem. Each item's last picture on the screen must match
# lessonreplay's picture of the same answers. At the first step, a drag with
# the pen on must put ink on the screen along its path, while the program
# neither goes on nor draws anything (its trace stays as it was), and "clear
# ink" must bring back the lesson's picture exactly.
#
# The screen is wide, so that the toolbar and the keypad stand in the margin
# beside the picture and leave the lesson's picture to compare.
SCREEN=2048x768x24
source "$(dirname "$0")/common.inc"
# Under the test's own folder, so that X11_KEEP keeps it too.
WORK="$TEST_TMP/work"
mkdir -p "$WORK"

declare -A P
SEEN=0
LOG=""
# Waits (up to 60 s) for a prompt newer than the last one read, and reads its
# line (written by the program's --probe test log) into P.
next_prompt() {
  local line="" n=0 limit=$((SECONDS + 60))
  while :; do
    line=$(tail -n 1 "$LOG" 2>/dev/null || true)
    n=${line#n=}
    n=${n%% *}
    if [[ "$line" == n=*" keyEnter="*,* && "$n" -gt "$SEEN" && "$line" != *" kind=none "* ]]; then
      break
    fi
    kill -0 "$PROGRAM_PID" 2>/dev/null || fail "$NAME ended while waiting for a prompt after $SEEN"
    ((SECONDS < limit)) || fail "$NAME: no new prompt after $SEEN (last: ${line:0:60})"
    sleep 0.02
  done
  SEEN=$n
  P=()
  local tok
  for tok in $line; do P[${tok%%=*}]=${tok#*=}; done
}

# The prompt waiting, as written again once the window took its settled
# size: a prompt shown while the window grew is written anew under its own
# number with its new places (view=W,H is the window's size it was placed in).
prompt_in_settled_view() {
  local line n
  line=$(grep "^n=$SEEN " "$LOG" | tail -n 1)
  [[ "$line" == *" view=$WW,$WH "* ]] || return 1
  P=()
  local tok
  for tok in $line; do P[${tok%%=*}]=${tok#*=}; done
}

# Clicks at a point of the window (window units). (Pressing and releasing
# the button in one call: xdotool's "click" waits a tenth of a second.)
click() { xdotool mousemove "$((WX + $1))" "$((WY + $2))" mousedown 1 mouseup 1; }
# Clicks on something the prompt line names (a choice, a button, a key), at
# its place as last written: a prompt that moved with the window was written
# again under its number.
press() {
  local line tok
  line=$(grep "^n=$SEEN " "$LOG" | tail -n 1)
  if [ -n "$line" ]; then
    P=()
    for tok in $line; do P[${tok%%=*}]=${tok#*=}; done
  fi
  local v=${P[$1]:-}
  [ -n "$v" ] || fail "$NAME: no $1 at prompt ${P[n]} (${P[kind]})"
  local x y
  IFS=, read -r x y _ <<< "$v"
  click "$x" "$y"
}
# A point of the layout area in window units: LX LY.
layout_point() {
  read -r LX LY <<< "$(awk -v s="$SCALE" -v ox="$OX" -v oy="$OY" -v x="$1" -v y="$2" \
    'BEGIN { printf "%d %d\n", ox + x * s, oy + y * s }')"
}
# The numbers of the prompt's choices, in order.
choices() {
  local k
  for k in "${!P[@]}"; do if [[ $k == choice* ]]; then echo "${k#choice}"; fi; done | sort -n
}

# Each item's last picture: the screen's lesson area above the answer row
# (layout rows 0-639: the item bar and the answer field come after the item)
# against lessonreplay's picture of the same answers and seed. The program
# announces the bar's prompt as it starts to wait, before the window has
# shown what the item drew (an item without waits draws it all at once), so
# the screen is looked at until it shows that picture, up to WAIT_LIMIT.
snap_item() {
  local dir="$WORK/render" page mad="" end=$((SECONDS + WAIT_LIMIT))
  rm -rf "$dir"
  "$BIN/lessonreplay" "$NAME" --seed 1 --keys "$KEYS" --pages last --png "$dir" \
    --scale "$SCALE" > /dev/null || fail "$NAME: lessonreplay failed"
  page="$dir/$(printf %04d "$ITEMS").png"
  [ -f "$page" ] || fail "$NAME: lessonreplay drew no picture of item $ITEMS"
  while :; do
    xwd -root -silent > "$WORK/screen.xwd"
    mad=$("$BIN/pngcompare" diff "$WORK/screen.xwd" $((WX + OX)) $((WY + OY)) "$AW" "$SHOT_H" "$page" |
          awk '{print $2}')
    awk -v m="$mad" 'BEGIN { exit !(m < 0.5) }' && return 0
    ((SECONDS < end)) || break
    sleep 0.1
  done
  fail "$NAME item $ITEMS: the screen differs from lessonreplay's picture (mad $mad)"
}

# The overlay's last state after a gesture holds the word $1.
overlay_says() { tail -n 1 "$WORK/$NAME/overlay.txt" 2>/dev/null | grep -q " $1 "; }

pixel() { "$BIN/pngcompare" pixel "$WORK/$1.xwd" "$((WX + $2))" "$((WY + $3))"; }

# At a step banner: the pen draws, nothing else happens, clear ink undoes it.
check_ink() {
  local before after trace_before prompts_before x y changed=0 red=0
  trace_before=$(wc -c < "$WORK/$NAME/trace.jsonl")
  prompts_before=$(wc -l < "$LOG")
  xwd -root -silent > "$WORK/before.xwd"
  # The toolbar shows once the mouse moves; then the pen button.
  local px py
  IFS=, read -r px py _ <<< "${P[pen]}"
  xdotool mousemove "$((WX + px - 5))" "$((WY + py))"
  press pen
  # The program writes the overlay's state after each gesture: a press that
  # did not turn the pen on is a lost click, not a painting fault.
  wait_for overlay_says pen_on=1 ||
    fail "$NAME: the pen button's click did not turn the pen on ($(tail -n 1 "$WORK/$NAME/overlay.txt" | cut -c1-80))"
  # A drag from left to right across the middle of the picture.
  layout_point 500 330; local x1=$LX y1=$LY
  layout_point 900 330; local x2=$LX
  xdotool mousemove "$((WX + x1))" "$((WY + y1))" mousedown 1
  for x in $(seq "$x1" 20 "$x2"); do xdotool mousemove "$((WX + x))" "$((WY + y1))"; done
  xdotool mousemove "$((WX + x2))" "$((WY + y1))" mouseup 1
  wait_for overlay_says strokes=1 ||
    fail "$NAME: the pen's drag made no stroke ($(tail -n 1 "$WORK/$NAME/overlay.txt" | cut -c1-80))"
  # Red ink along the whole path, once the window shows it.
  for _ in $(seq 1 100); do
    xwd -root -silent > "$WORK/after.xwd"
    red=0
    for x in $(seq "$((x1 + 10))" 40 "$((x2 - 10))"); do
      [ "$(pixel after "$x" "$y1")" = E53935 ] && red=$((red + 1))
    done
    [ "$red" -ge 9 ] && break
    sleep 0.05
  done
  [ "$red" -ge 9 ] || fail "$NAME: the pen drew no red ink along its path ($red of 10 points)"
  changed=0
  for x in $(seq "$((x1 + 10))" 40 "$((x2 - 10))"); do
    [ "$(pixel before "$x" "$y1")" != "$(pixel after "$x" "$y1")" ] && changed=$((changed + 1))
  done
  [ "$changed" -ge 9 ] || fail "$NAME: the drag changed only $changed of 10 points on its path"
  [ "$(wc -c < "$WORK/$NAME/trace.jsonl")" = "$trace_before" ] || fail "$NAME: the ink entered the trace"
  [ "$(wc -l < "$LOG")" = "$prompts_before" ] || fail "$NAME: a drag with the pen on navigated"
  # Clear ink, pen off: the lesson's own picture again.
  press clear_ink
  press pen
  check_item_picture_at_step
  echo "$NAME: pen drag drew red ink on $red of 10 points, trace unchanged, clear ink restored the picture"
}

# The screen at a step banner against lessonreplay's picture of that step.
check_item_picture_at_step() {
  local dir="$WORK/step" ref mad=""
  rm -rf "$dir"
  "$BIN/lessonreplay" "$NAME" --seed 1 --keys "$KEYS" --png "$dir" --scale "$SCALE" > /dev/null
  ref="$dir/$(ls "$dir" | tail -1)"
  for _ in $(seq 1 80); do
    xwd -root -silent > "$WORK/screen.xwd"
    mad=$("$BIN/pngcompare" diff "$WORK/screen.xwd" $((WX + OX)) $((WY + OY)) "$AW" "$AH" "$ref" |
          awk '{print $2}')
    awk -v m="$mad" 'BEGIN { exit !(m < 0.5) }' && return 0
    sleep 0.1
  done
  fail "$NAME: after clear ink the screen differs from the lesson's picture (mad $mad)"
}

tour() {
  NAME=$1
  KEYS=""
  ITEMS=0
  TYPED=0
  SEEN=0
  mkdir -p "$WORK/$NAME"
  LOG="$WORK/$NAME/prompts.txt"
  local start=$SECONDS inked=0 m i quit back
  start_program "$NAME" --probe "$WORK/$NAME"
  next_prompt
  [ "${P[kind]}" = menu ] || fail "$NAME did not start at its menu"
  settled_geometry
  wait_for prompt_in_settled_view ||
    fail "$NAME: the menu's places were never written for the window's ${WW}x$WH"
  layout_area
  # Where a click at a step banner goes on: right of the left quarter.
  layout_point 1000 400
  local tap_x=$LX tap_y=$LY
  SHOT_H=$(awk -v s="$SCALE" 'BEGIN { print int(639 * s) }')
  local menu_entries
  menu_entries=$(choices)
  quit=$(tail -1 <<< "$menu_entries")
  for m in $menu_entries; do
    [ "$m" = "$quit" ] && continue
    press "choice$m"
    KEYS+="\\f$m\\r"
    next_prompt
    # A reserved place of the menu shows the menu again.
    [ "${P[kind]}" = menu ] && continue
    [ "${P[kind]}" = bar ] || fail "$NAME: menu entry $m led to ${P[kind]}"
    local bar_entries
    bar_entries=$(choices)
    back=$(tail -1 <<< "$bar_entries")
    # Every item: its entry, or on the keypad when the bar shows none for
    # it ("①～④解答" draws only ① and ④).
    for i in $(seq 1 $((back - 1))); do
      if [ -n "${P[choice$i]:-}" ]; then
        press "choice$i"
      else
        [ "${P[keypad_shown]}" = 1 ] || fail "$NAME: no keypad at an item bar"
        press keyC
        press "key$i"
        press keyEnter
        TYPED=$((TYPED + 1))
      fi
      KEYS+="\\f$i\\r"
      next_prompt
      while [ "${P[kind]}" != bar ]; do
        case "${P[kind]}" in
          step)
            if [ "$inked" = 0 ]; then check_ink; inked=1; fi
            click "$tap_x" "$tap_y"
            KEYS+=" "
            ;;
          next_step)
            [ "${P[keypad_shown]}" = 1 ] || fail "$NAME: no keypad at a practice problem"
            press key1
            press keyEnter
            KEYS+="1\\r"
            ;;
          answer)
            # An equation of the teacher's own, on the equation keypad.
            [ "${P[keypad_shown]}" = 1 ] || fail "$NAME: no keypad at an equation field"
            press key2
            press keyx
            press keyEquals
            press key6
            press keyEnter
            KEYS+="2x=6\\r"
            ;;
          *) fail "$NAME: unexpected prompt ${P[kind]} in menu entry $m, item $i" ;;
        esac
        next_prompt
      done
      ITEMS=$((ITEMS + 1))
      snap_item
    done
    press "choice$back"
    KEYS+="\\f$back\\r"
    next_prompt
    [ "${P[kind]}" = menu ] || fail "$NAME: the bar's last entry did not lead back to the menu"
  done
  press "choice$quit"
  wait_exit "$PROGRAM_PID" 30
  [ "$STATUS" -eq 0 ] || fail "$NAME ended with status $STATUS"
  echo "$NAME window: $(cat "$WORK/$NAME/pointer.txt")"
  echo "$NAME with the mouse alone: $ITEMS items ($TYPED chosen on the keypad), $SEEN prompts," \
       "every last picture as lessonreplay's, in $((SECONDS - start)) s"
}

declare -A EXPECTED=([applylesson]=35 [solvelesson]=27)
for name in applylesson solvelesson; do
  tour "$name"
  [ "$ITEMS" -eq "${EXPECTED[$name]}" ] || fail "$name: $ITEMS items toured, expected ${EXPECTED[$name]}"
done
echo "pointer tour passed"
