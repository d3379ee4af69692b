#!/usr/bin/env bash
# Regenerates the pictures in docs/: the last picture of every item (seed 1),
# both main menus and the glyph sheet. Needs a build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
declare -A TOPICS=([applylesson]=8 [solvelesson]=5)
for program in applylesson solvelesson; do
  for topic in $(seq 1 "${TOPICS[$program]}"); do
    rm -rf "$tmp/png"
    build/lessonreplay "$program" --topic "$topic" --seed 1 --png "$tmp/png" --pages final --scale 0.5
    item=0
    for png in "$tmp"/png/*.png; do
      item=$((item + 1))
      cp "$png" "docs/screens/$program-t$topic-$item.png"
    done
  done
  rm -rf "$tmp/menu"
  build/lessonreplay "$program" --keys '' --png "$tmp/menu" --scale 0.5
  cp "$tmp/menu/0001.png" "docs/$program-menu.png"
done
build/glyphsheet docs/glyphs.png
