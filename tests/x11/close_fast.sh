#!/usr/bin/env bash
# Closing the window ends the program at once with status 0: at the main
# menu, at a generated drill's prompt and in the middle of the balance
# animation.
source "$(dirname "$0")/common.inc"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Closes the window and waits for the process to end; checks the status and
# that it took well under a second, and prints the time.
close_and_time() {
  local where="$1" t0 ms
  t0=$(now_ms)
  wmctrl -i -c "$WINDOW"
  # tail --pid returns when the process is gone, checking every 2 ms.
  timeout 2 tail --pid="$PROGRAM_PID" -s 0.002 -f /dev/null || true
  ms=$(( $(now_ms) - t0 ))
  kill -0 "$PROGRAM_PID" 2>/dev/null && fail "$where: still running ${ms} ms after the close"
  set +e; wait "$PROGRAM_PID"; STATUS=$?; set -e
  echo "$where: ended ${ms} ms after the close, status $STATUS"
  [ "$STATUS" -eq 0 ] || fail "$where: status $STATUS"
  [ "$ms" -le 1000 ] || fail "$where: took ${ms} ms to end"
}

start_program solvelesson
close_and_time "main menu"

# Topic 1, item 4: a generated drill waiting at its prompt.
start_program solvelesson
enter 1
enter 4
sleep 0.5
close_and_time "drill prompt"

# Topic 2, item 3: the second key starts the balance tilting (nine frames,
# about 0.4 s); the close comes while it moves.
start_program solvelesson
enter 2
enter 3
xdotool key space
sleep 0.5
t_key=$(now_ms)
xdotool key space
sleep 0.1
lag=$(( $(now_ms) - t_key ))
echo "closing ${lag} ms after the key that starts the animation"
[ "$lag" -lt 350 ] || fail "the close came too late to fall in the animation (${lag} ms)"
close_and_time "balance animation"
echo "close test passed"
