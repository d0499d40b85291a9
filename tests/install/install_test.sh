#!/usr/bin/env bash
# The portable install component in an empty folder makes a working Morlavin:
# started from another directory it shows its window, creates its settings
# file beside itself, and F1 opens the help it was installed with.
#
#   install_test.sh BUILD_DIR     (run on Xvfb by ctest)
set -uo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
passed=0 failed=0
check() {
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name" >&2; fi
}
wait_window() {  # wait_window NAME: the id of the first window of that name
  for _ in $(seq 100); do
    xdotool search --name "$1" 2>/dev/null | head -1 && return
    sleep 0.1
  done
}

prefix="$work/Morlavin folder"
cmake --install "$build" --component portable --prefix "$prefix" >/dev/null
for file in morlavin morlavin-convert Morlavin.hlp Morlavin.txt share/icons/hicolor/16x16/apps/morlavin.png \
            share/icons/hicolor/32x32/apps/morlavin.png share/icons/hicolor/scalable/apps/morlavin.svg; do
  check "installed $file" test -f "$prefix/$file"
done
desktop="$prefix/share/applications/morlavin.desktop"
check "desktop entry opens text files" grep -qx 'MimeType=text/plain;' "$desktop"
check "desktop entry names the installed program" grep -qxF "Exec=\"$prefix/morlavin\" %f" "$desktop"
check "no settings file before the first start" test ! -e "$prefix/Morlavin.ini"

mkdir "$work/elsewhere" && cd "$work/elsewhere"
"$prefix/morlavin" & pid=$!
window=$(wait_window '^Morlavin$')
check "window appears" test -n "$window"
check "settings file created beside the installed program" test -f "$prefix/Morlavin.ini"
check "and nowhere else" test ! -e "$work/elsewhere/Morlavin.ini"
# A loaded machine may take a moment to give the new window the keyboard:
# press F1 again until the help appears.
help=""
for _ in $(seq 20); do
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key F1
  sleep 0.5
  help=$(xdotool search --name 'Morlavin ヘルプ' 2>/dev/null | head -1)
  [[ -n "$help" ]] && break
done
check "F1 opens the help viewer" test -n "$help"
[[ -n "${MORLAVIN_HELP_SCREENSHOT:-}" ]] && sleep 0.5 && import -window "$help" "$MORLAVIN_HELP_SCREENSHOT"

echo "install: $passed passed, $failed failed"
((failed == 0))
