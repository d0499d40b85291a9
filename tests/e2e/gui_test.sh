#!/usr/bin/env bash
# The real program on a real X server, driven by key presses as a user drives
# it: start with a file, Alt+G imports the title, Enter converts, Alt+D deletes
# the page, the File menu's exit ends the program. The window's texts are read
# on the accessibility bus. The desktop's document opener is replaced by a
# recorder, so no browser starts.
#
#   gui_test.sh BIN_DIR     (run on Xvfb and under dbus-run-session by ctest)
set -uo pipefail
bin=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib.sh"
work=$(mktemp -d)
mkdir -p "$work/program" "$work/docs with space"
cp "$bin/morlavin" "$bin/Morlavin.hlp" "$bin/Morlavin.txt" "$work/program/"
stub_opener "$work/stub"
export OPENED="$work/opened.txt" PATH="$work/stub:$PATH" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
input="$work/docs with space/会議 memo.txt"
title=$(printf '\x89\xef\x8b\x63')
printf '<H1>%s</H1>\r\n<B>bold</B>\r\n' "$title" >"$input"
shows() { [[ "$(/usr/bin/python3 "$here/status_line.py" "${@:2}")" == "$1" ]]; }
# Without a display the launcher leaves the X server alone; Qt finds the bus
# through the session bus.
env -u DISPLAY /usr/libexec/at-spi-bus-launcher --launch-immediately & bus=$!
pid=""
trap 'kill $pid $bus 2>/dev/null; rm -rf "$work"' EXIT
bus_ready() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; }

check "accessibility bus" eventually bus_ready
cd "$work"
"$work/program/morlavin" "$input" & pid=$!
main=$(window '^Morlavin$')
check "window appears" test -n "$main"
xdotool windowfocus --sync "$main" 2>/dev/null
check "settings file created beside the program" test -f "$work/program/Morlavin.ini"
check "status line at start" eventually shows "ファイル名を指定して変換キーを押してください。D&Dに対応しています。"

alt g
# The button clicks after its short animation: Enter waits for the title.
check "Alt+G puts the first line into the title" eventually shows "会議" title
xdotool key Return
page="$work/docs with space/会議 memo.htm"
check "Enter writes the page" eventually test -f "$page"
check "with the imported title" grep -qa "<TITLE>$title</TITLE>" "$page"
check "page body" grep -qa '^<B>bold</B><BR>' "$page"
check "page handed to the desktop" eventually grep -qxF "$page" "$OPENED"
check "status line gives the page's size" eventually shows "テキストを変換しました。(変換後のサイズ:$(stat -c %s "$page")bytes)"

alt d
check "Alt+D deletes the page" eventually test ! -e "$page"
check "status line confirms the deletion" eventually shows "変換したHTMLファイルを消去しました."
check "the text file stays" test -f "$input"

alt f
xdotool key x
check "File > Exit ends the program" eventually bash -c "! kill -0 $pid 2>/dev/null"
summary gui
