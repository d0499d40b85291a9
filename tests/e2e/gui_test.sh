#!/usr/bin/env bash
# The real program on a real X server, driven by key presses as a user drives
# it: start with a file, Alt+G imports the title, Enter converts, Alt+D deletes
# the page, the File menu's exit ends the program. The status line is read on
# the accessibility bus. The desktop's document opener is replaced by a
# recorder, so no browser starts.
#
#   gui_test.sh BIN_DIR     (run on Xvfb and under dbus-run-session by ctest)
set -uo pipefail
bin=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/docs with space" "$work/stub"
cp "$bin/morlavin" "$bin/Morlavin.hlp" "$bin/Morlavin.txt" "$work/program/"
cat >"$work/stub/xdg-open" <<'STUB'
#!/bin/sh
printf '%s\n' "$*" >>"$OPENED"
STUB
chmod +x "$work/stub/xdg-open"
export OPENED="$work/opened.txt" PATH="$work/stub:$PATH"
input="$work/docs with space/会議 memo.txt"
printf '<H1>\x89\xef\x8b\x63</H1>\r\n<B>bold</B>\r\n' >"$input"

passed=0 failed=0
check() {
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name" >&2; fi
}
# eventually COMMAND...: the command succeeds within ten seconds (a slow machine
# or a sanitized build may take a while to act on a key).
eventually() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}
status_is() { [[ "$(status)" == "$1" ]]; }
key() { xdotool keydown Alt_L key "$1" keyup Alt_L; sleep 0.4; }
status() { /usr/bin/python3 "$here/status_line.py"; }
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# Without a display the launcher leaves the X server alone; Qt finds the bus
# through the session bus.
env -u DISPLAY /usr/libexec/at-spi-bus-launcher --launch-immediately & bus=$!
trap 'kill $pid $bus 2>/dev/null; rm -rf "$work"' EXIT
bus_ready() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; }

check "accessibility bus" eventually bus_ready
cd "$work"
"$work/program/morlavin" "$input" & pid=$!
for _ in $(seq 100); do
  window=$(xdotool search --name '^Morlavin$' 2>/dev/null | head -1)
  [[ -n "$window" ]] && break
  sleep 0.1
done
check "window appears" test -n "$window"
xdotool windowfocus --sync "$window" 2>/dev/null
sleep 0.3
check "settings file created beside the program" test -f "$work/program/Morlavin.ini"
check "status line at start" eventually status_is "ファイル名を指定して変換キーを押してください。D&Dに対応しています。"

key g
xdotool key Return
page="$work/docs with space/会議 memo.htm"
check "Enter writes the page" eventually test -f "$page"
check "Alt+G put the first line into the title" grep -qa "<TITLE>$(printf '\x89\xef\x8b\x63')</TITLE>" "$page"
check "page body" grep -qa '^<B>bold</B><BR>' "$page"
check "page handed to the desktop" eventually grep -qxF "$page" "$OPENED"
check "status line gives the page's size" eventually status_is "テキストを変換しました。(変換後のサイズ:$(stat -c %s "$page")bytes)"

key d
check "Alt+D deletes the page" eventually test ! -e "$page"
check "status line confirms the deletion" eventually status_is "変換したHTMLファイルを消去しました."
check "the text file stays" test -f "$input"

key f
xdotool key x
check "File > Exit ends the program" eventually bash -c "! kill -0 $pid 2>/dev/null"

echo "gui: $passed passed, $failed failed"
((failed == 0))
