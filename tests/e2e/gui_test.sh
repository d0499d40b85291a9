#!/usr/bin/env bash
# The portable install on a real X server, driven by key presses: started from
# another folder with a file, it keeps its settings beside itself, Enter
# converts, the page goes to the desktop, File > Exit ends it. What each key
# does in the window is the window tests'; here the keys come through X.
#   gui_test.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
. "$(dirname "$0")/../lib.sh"
xvfb
prefix="$work/Morlavin folder"
mkdir "$work/docs with space"
cmake --install "$build" --component portable --prefix "$prefix" >/dev/null
check "the portable folder holds its files and no settings yet" \
  diff <(cd "$prefix" && find . -type f | LC_ALL=C sort) "$data/install/portable_files.txt"
desktop="$prefix/share/applications/morlavin.desktop"
check "desktop entry opens text files" grep -qx 'MimeType=text/plain;' "$desktop"
check "desktop entry names the installed program" grep -qxF "Exec=\"$prefix/morlavin\" %f" "$desktop"

# The desktop's opener, replaced by one that records what it is asked to open.
install -D -m 755 <(printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"$OPENED"\n') "$work/stub/xdg-open"
export OPENED="$work/opened.txt" PATH="$work/stub:$PATH"
input="$work/docs with space/会議 memo.txt"
printf 'memo\r\n' >"$input"
cd "$work"
"$prefix/morlavin" "$input" & pid=$! pids+=($!)
main=$(window '^Morlavin$')
check "window appears" test -n "$main"
check "settings file created beside the installed program" test -f "$prefix/Morlavin.ini"

xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key Return
page="$work/docs with space/会議 memo.htm"
check "Enter writes the page" eventually test -f "$page"
check "page handed to the desktop" eventually grep -qxF "$page" "$OPENED"

menu x
check "File > Exit ends the program" eventually bash -c "! kill -0 $pid 2>/dev/null"
summary gui
