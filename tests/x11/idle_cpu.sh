#!/usr/bin/env bash
# Idle cost: a program left at its main menu, then at a wait banner, uses
# under 3 % of one core (CPU time from /proc over 10 s each), and a key at
# the banner still takes effect at once.
source "$(dirname "$0")/common.inc"
WORK=$(mktemp -d)
trap 'cleanup; rm -rf "$WORK"' EXIT
TICKS=$(getconf CLK_TCK)
PERIOD=10
LIMIT=3

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Measures the CPU use of every started program over PERIOD seconds; prints
# and checks the percentage of one core for each.
measure() {
  local where="$1" i before=()
  for i in "${!NAMES[@]}"; do before[i]=$(cpu_ticks "${PROGS[i]}"); done
  local start end
  start=$(date +%s.%N)
  sleep "$PERIOD"
  end=$(date +%s.%N)
  for i in "${!NAMES[@]}"; do
    local used pct
    used=$(( $(cpu_ticks "${PROGS[i]}") - before[i] ))
    pct=$(awk -v u="$used" -v t="$TICKS" -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", 100 * u / t / (b - a) }')
    echo "${NAMES[i]} at $where: $pct % of one core ($used ticks in ${PERIOD} s)"
    awk -v p="$pct" -v l="$LIMIT" 'BEGIN { exit !(p < l) }' || fail "${NAMES[i]} idles at $pct % at $where"
  done
}

# A program just shown or just used is still settling: the window system
# gives it its geometry, the window back end presents the picture again a
# few times over the next seconds, and the toolbar that the pointer brought
# up fades a few seconds later. Waits (at most 60 s) until every program
# used at most 2 ticks in each of 5 seconds in a row.
quiet_second() {
  local i before=() used
  for i in "${!NAMES[@]}"; do before[i]=$(cpu_ticks "${PROGS[i]}"); done
  sleep 1
  for i in "${!NAMES[@]}"; do
    used=$(( $(cpu_ticks "${PROGS[i]}") - before[i] ))
    [ "$used" -le 2 ] || return 1
  done
}
await_settled() {
  local t0 quiet=0
  t0=$(date +%s)
  while [ "$quiet" -lt 5 ]; do
    if quiet_second; then quiet=$((quiet + 1)); else quiet=0; fi
    [ $(( $(date +%s) - t0 )) -lt 60 ] || fail "the programs never settle at $1"
  done
}

NAMES=(applylesson solvelesson)
PROGS=() WINS=()
# Each program is measured once its window shows the main menu.
for name in "${NAMES[@]}"; do
  start_program "$name"
  await_screen
  PROGS+=("$PROGRAM_PID") WINS+=("$WINDOW")
done
await_settled "the main menu"
measure "the main menu"

# Item 1 of topic 1: its first step ends at a wait banner.
for i in "${!NAMES[@]}"; do
  WINDOW=${WINS[i]} PROGRAM_PID=${PROGS[i]} PROGRAM_NAME=${NAMES[i]} KEYS=""
  focus_window
  enter 1
  enter 1
done
await_settled "a wait banner"
measure "a wait banner"

# A key at the banner goes on to the next step at once. Each look at the
# window takes a while itself (much longer on a busy machine), so what is
# checked is what was seen: the old picture must not be seen in a look that
# began a second or more after the key.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
window_changed() {
  LOOK_MS=$(( $(now_ms) - T0 ))
  xwd -id "$WINDOW" -silent > "$WORK/after.xwd" 2> /dev/null || return 1
  if cmp -s "$WORK/before.xwd" "$WORK/after.xwd"; then
    UNCHANGED_MS=$LOOK_MS
    return 1
  fi
}
for i in "${!NAMES[@]}"; do
  WINDOW=${WINS[i]} PROGRAM_PID=${PROGS[i]}
  focus_window
  xwd -id "$WINDOW" -silent > "$WORK/before.xwd"
  UNCHANGED_MS=0
  T0=$(now_ms)
  xdotool key space
  wait_for window_changed || fail "${NAMES[i]}: a key at the wait banner changed nothing"
  seen_ms=$(( $(now_ms) - T0 ))
  echo "${NAMES[i]}: the next step showed within $seen_ms ms of the key" \
       "(the old picture last seen in a look begun at $UNCHANGED_MS ms)"
  [ "$UNCHANGED_MS" -lt 1000 ] || fail "${NAMES[i]}: the old picture was still there $UNCHANGED_MS ms after the key"
done

for i in "${!NAMES[@]}"; do
  wmctrl -i -c "${WINS[i]}"
  wait_exit "${PROGS[i]}" "$WAIT_LIMIT"
  [ "$STATUS" -eq 0 ] || fail "${NAMES[i]} ended with status $STATUS"
done
echo "idle cost test passed"
