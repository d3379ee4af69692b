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

NAMES=(applylesson solvelesson)
PROGS=() WINS=()
for name in "${NAMES[@]}"; do
  start_program "$name"
  PROGS+=("$PROGRAM_PID") WINS+=("$WINDOW")
done
sleep 1
measure "the main menu"

# Item 1 of topic 1: its first step ends at a wait banner.
for i in "${!NAMES[@]}"; do
  xdotool windowactivate --sync "${WINS[i]}" 2>/dev/null || true
  sleep 0.2
  enter 1
  enter 1
done
sleep 1
measure "a wait banner"

# A key at the banner goes on to the next step at once.
for i in "${!NAMES[@]}"; do
  WINDOW=${WINS[i]}
  xdotool windowactivate --sync "$WINDOW" 2>/dev/null || true
  sleep 0.3
  settled_geometry
  xwd -id "$WINDOW" -silent > "$WORK/before.xwd"
  t0=$(date +%s%N)
  xdotool key space
  changed=""
  for _ in $(seq 1 40); do
    xwd -id "$WINDOW" -silent > "$WORK/after.xwd"
    if ! cmp -s "$WORK/before.xwd" "$WORK/after.xwd"; then changed=1; break; fi
    sleep 0.02
  done
  ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  [ -n "$changed" ] || fail "${NAMES[i]}: a key at the wait banner changed nothing within 2 s"
  echo "${NAMES[i]}: the next step showed within $ms ms of the key"
  [ "$ms" -lt 1000 ] || fail "${NAMES[i]}: the next step took $ms ms"
done

for i in "${!NAMES[@]}"; do
  wmctrl -i -c "${WINS[i]}"
  wait_exit "${PROGS[i]}" 5
  [ "$STATUS" -eq 0 ] || fail "${NAMES[i]} ended with status $STATUS"
done
echo "idle cost test passed"
