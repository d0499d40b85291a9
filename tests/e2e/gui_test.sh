#!/usr/bin/env bash
# The portable install on a real X server, driven by key presses: started from
# another folder with a file, it keeps its settings beside itself, Alt+G imports
# the title, Enter converts, Alt+D deletes the page, F1 opens the help, File >
# Exit ends it. The title box is read on the accessibility bus.
#   gui_test.sh BUILD_DIR     (run under dbus-run-session by ctest)
set -uo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib.sh"
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
export OPENED="$work/opened.txt" PATH="$work/stub:$PATH" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
input="$work/docs with space/会議 memo.txt"
title=$(printf '\x89\xef\x8b\x63')
printf '<H1>%s</H1>\r\n<B>bold</B>\r\n' "$title" >"$input"
title_shows() { [[ "$(/usr/bin/python3 "$here/title_box.py")" == "$1" ]]; }
# Without a display the launcher leaves the X server alone; Qt finds the bus
# through the session bus.
env -u DISPLAY /usr/libexec/at-spi-bus-launcher --launch-immediately & pids+=($!)

check "accessibility bus" gdbus wait --session --timeout 10 org.a11y.Bus
cd "$work"
"$prefix/morlavin" "$input" & pid=$! pids+=($!)
main=$(window '^Morlavin$')
check "window appears" test -n "$main"
check "settings file created beside the installed program" test -f "$prefix/Morlavin.ini"
check "an empty title box on the accessibility bus" eventually title_shows ""

alt g
# The button clicks after its short animation: Enter waits for the title.
check "Alt+G puts the first line into the title" eventually title_shows "会議"
xdotool key Return
page="$work/docs with space/会議 memo.htm"
check "Enter writes the page" eventually test -f "$page"
check "with the imported title" grep -qa "<TITLE>$title</TITLE>" "$page"
check "page handed to the desktop" eventually grep -qxF "$page" "$OPENED"

alt d
check "Alt+D deletes the page" eventually test ! -e "$page"
check "the text file stays" test -f "$input"
check "F1 opens the help viewer" test -n "$(press_until F1 "$main" 'Morlavin ヘルプ')"

menu x
check "File > Exit ends the program" eventually bash -c "! kill -0 $pid 2>/dev/null"
summary gui
