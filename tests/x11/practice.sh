#!/usr/bin/env bash
# The practice program in a real window, typed at as a student would: a set
# chosen by its number, the answer typed as a Japanese input method commits
# it (full-width digits, "ー" for minus, "／"), the verdict, Escape back to
# the menu, and the record written to the user's data folder.
source "$(dirname "$0")/common.inc"
export XDG_DATA_HOME="$TEST_TMP/data"
PROBE="${PRACTICE_PROBE:-$TEST_TMP/probe}"
mkdir -p "$PROBE"
LOG="$PROBE/prompts.txt"
SEEN=0
# Waits for a prompt newer than the last one read; its words go into P.
declare -A P
prompt_after() {
  local line n
  line=$(grep '^n=' "$LOG" 2>/dev/null | tail -n 1)
  n=${line#n=}
  n=${n%% *}
  [[ -n "$line" && "$n" -gt "$SEEN" && "$line" != *" kind=none "* ]] || return 1
  SEEN=$n
  P=()
  local tok
  for tok in $line; do P[${tok%%=*}]=${tok#*=}; done
}
next_prompt() { wait_for prompt_after || fail "no prompt after $SEEN (last: $(tail -n 1 "$LOG" | cut -c1-60))"; }
# The text an input method commits for a plain answer.
wide() { sed 's/0/０/g; s/1/１/g; s/2/２/g; s/3/３/g; s/4/４/g; s/5/５/g; s/6/６/g; s/7/７/g; s/8/８/g; s/9/９/g; s/-/ー/g; s|/|／|g' <<< "$1"; }
# The keys of those characters, put on spare key codes for the whole run:
# xdotool would otherwise map each one for a moment and map it back, and the
# program may look the key up after it was mapped back.
declare -A KEYSYM=([ー]=U30FC [／]=UFF0F)
code=200
for d in 0 1 2 3 4 5 6 7 8 9; do KEYSYM[$(wide "$d")]=UFF1$d; done
for ch in "${!KEYSYM[@]}"; do
  xmodmap -e "keycode $code = ${KEYSYM[$ch]}"
  code=$((code + 1))
done
type_wide() {
  local text=$1 ch i
  for ((i = 0; i < ${#text}; i++)); do
    ch=${text:i:1}
    xdotool key "${KEYSYM[$ch]}"
  done
}

start_program practicelesson --probe "$PROBE"
next_prompt
[ "${P[kind]}" = menu ] || fail "practicelesson did not start at its menu (${P[kind]})"
type_number 5
next_prompt
[ "${P[kind]}" = answer ] || fail "set 5 did not start a problem (${P[kind]})"
answer=${P[expected]}
type_wide "$(wide "$answer")"
xdotool key Return
next_prompt
[ "${P[kind]}" = verdict ] || fail "the answer $(wide "$answer") gave no verdict (${P[kind]})"
xdotool key Escape
next_prompt
[ "${P[kind]}" = menu ] || fail "Escape at the verdict did not lead to the menu (${P[kind]})"
# The window's menu offers プリント after the sets (the desktop prints), so
# 終わり is 16.
[ -n "${P[choice16]:-}" ] && [ -z "${P[choice17]:-}" ] || fail "the window's menu is not the sets, プリント, 先生に見せる, 記録を消す and 終わり"
type_number 16
wait_exit "$PROGRAM_PID" 30
[ "$STATUS" -eq 0 ] || fail "practicelesson ended with status $STATUS"
record="$XDG_DATA_HOME/lessonkit/practicelesson.json"
[ -f "$record" ] || fail "no record in $record"
grep -q '"solve-both-sides"' "$record" || fail "the record has no set 5: $(cat "$record")"
grep -q '"solved": *1' "$record" || fail "the record does not hold the solved problem: $(cat "$record")"
echo "practicelesson: $(wide "$answer") typed as an input method commits it was judged right; record: $(tr -d '\n ' < "$record" | cut -c1-120)"
