#!/usr/bin/env bash
# Makes the practice program's pictures in docs/ from a native build
# (build/, as scripts/test.sh makes it): the menu with ★ after a tour that
# masters the sets, a wrong answer with its first hint, and a verdict.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
replay=build/lessonreplay
# Four problems in each set, the first after a hint and a wrong answer: the
# other three right in a row earn the ★ (the yes/no set needs six).
"$replay" practicelesson --tour 4 --seed 7 --progress "$work/record.json" > /dev/null
picture() {
  local name=$1
  shift
  rm -rf "$work/pages"
  "$replay" practicelesson "$@" --png "$work/pages" --pages final > /dev/null
  cp "$work/pages/$(ls "$work/pages" | tail -1)" "docs/$name.png"
  echo "docs/$name.png"
}
picture practice-menu --keys '' --progress "$work/record.json"
# Set 6 with seed 2 asks 7x-3(3x+2)=5, whose answer is -11/2; 1/2 is what
# moving the -6 across without its sign gives, and the verdict says so.
picture practice-hint --seed 2 --keys '6\r\f1/2\r'
picture practice-verdict --seed 2 --keys '6\r\f-11/2\r'
