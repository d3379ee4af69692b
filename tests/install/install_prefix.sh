#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses what was installed: the
# four programs, a desktop entry and an icon for each program, and a
# headless run of the installed lessonreplay away from the build tree.
#
#   install_prefix.sh CMAKE BUILD_DIR
set -euo pipefail
cmake_command=$1
build=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/lessonkit-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

"$cmake_command" --install "$build" --prefix "$prefix"

for program in applylesson solvelesson practicelesson lessonreplay; do
  [ -f "$prefix/bin/$program" ] && [ -x "$prefix/bin/$program" ] ||
    fail "bin/$program is not installed as an executable"
done

apps=$prefix/share/applications
icons=$prefix/share/icons/hicolor/scalable/apps
for program in applylesson solvelesson practicelesson; do
  entry=$apps/$program.desktop
  icon=$icons/$program.svg
  if [ ! -f "$entry" ]; then
    fail "share/applications/$program.desktop is not installed"
    continue
  fi
  if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$entry" || fail "$program.desktop does not validate"
  else
    echo "desktop-file-validate not found (desktop-file-utils): checking the keys only"
  fi
  for line in "Type=Application" "Exec=$program" "Icon=$program" "Terminal=false" \
      "Categories=Education;Math;"; do
    grep -qxF "$line" "$entry" || fail "$program.desktop has no line $line"
  done
  for key in Name Comment; do
    grep -q "^$key=." "$entry" || fail "$program.desktop has no $key"
    grep -q "^$key\[ja\]=." "$entry" || fail "$program.desktop has no $key[ja]"
  done
  # The entry starts the program that was installed beside it.
  [ "$(PATH="$prefix/bin" command -v "$program")" = "$prefix/bin/$program" ] ||
    fail "Exec=$program does not find the installed program"
  if [ ! -f "$icon" ]; then
    fail "the icon $program.svg is not installed"
  else
    grep -q "<svg" "$icon" || fail "$program.svg is not an SVG picture"
    if command -v xmllint > /dev/null; then
      xmllint --noout "$icon" || fail "$program.svg is not well-formed"
    fi
  fi
done

# The installed replay tool, headless, from another directory.
status=0
(cd "$prefix" && env -u DISPLAY -u WAYLAND_DISPLAY \
  "$prefix/bin/lessonreplay" applylesson --keys '1\r1\r' --png "$prefix/png") || status=$?
[ "$status" -eq 0 ] || fail "the installed lessonreplay ended with status $status"
pictures=$(find "$prefix/png" -name '*.png' 2> /dev/null | wc -l)
# The menu, the first key, the item bar, its key and the item's first step.
[ "$pictures" -ge 5 ] || fail "the installed lessonreplay wrote $pictures pictures"
if [ -f "$prefix/png/0001.png" ]; then
  [ "$(head -c 8 "$prefix/png/0001.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "0001.png is not a PNG file"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "installed and ran from $prefix"
