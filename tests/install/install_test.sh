#!/usr/bin/env bash
# The portable install component in an empty folder makes a working Morlavin:
# started from another directory it shows its window, creates its settings
# file beside itself, and F1 opens the help it was installed with.
#
#   install_test.sh BUILD_DIR     (run on Xvfb by ctest)
set -uo pipefail
build=$(realpath "$1")
. "$(dirname "$0")/../lib.sh"
work=$(mktemp -d)
pid=""
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT

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
main=$(window '^Morlavin$')
check "window appears" test -n "$main"
check "settings file created beside the installed program" test -f "$prefix/Morlavin.ini"
check "and nowhere else" test ! -e "$work/elsewhere/Morlavin.ini"
check "F1 opens the help viewer" test -n "$(press_until F1 "$main" 'Morlavin ヘルプ')"
summary install
