#!/usr/bin/env bash
# The program on Wayland, as Qt's own Wayland platform runs it:
# - natively on a headless Weston with no X server at all, converting the file
#   named on its command line (its button pressed over AT-SPI, as there is no
#   keyboard);
# - in a Weston window on Xvfb, where a click on the maximise button of Qt's
#   own title bar must leave the window as it was.
# The same click on 環境設定's title bar leaves it running too.
#   wayland_test.sh BUILD_DIR
set -uo pipefail
for tool in weston dbus-run-session /usr/libexec/at-spi-bus-launcher import; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed" >&2; exit 77; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "SKIP: qt6-wayland is not installed" >&2; exit 77; }
[[ -n ${DBUS_OWN_SESSION-} ]] || exec dbus-run-session -- env DBUS_OWN_SESSION=1 bash "$0" "$@" 2>&1
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib.sh"
export XDG_RUNTIME_DIR="$work/run" LANG=ja_JP.UTF-8 HOME="$work" QT_QPA_PLATFORM=wayland
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$work"
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null & pids+=($!)
install -D -m 755 <(printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"$OPENED"\n') "$work/stub/xdg-open"
export OPENED="$work/opened.txt" PATH="$work/stub:$PATH"
printf 'memo\r\n' >memo.txt
# weston SOCKET BACKEND [OPTIONS...]: a compositor, once it takes clients.
weston_on() {
  local socket=$1; shift
  weston --socket="$socket" --backend="$@" --idle-time=0 >"$work/$socket.log" 2>&1 & pids+=($!)
  eventually test -S "$XDG_RUNTIME_DIR/$socket"
}

check "headless Weston starts" weston_on headless headless-backend.so
env -u DISPLAY WAYLAND_DISPLAY=headless QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  "$build/bin/morlavin" "$work/memo.txt" 2>"$work/headless.err" & app=$! pids+=($!)
check "convert pressed over AT-SPI" /usr/bin/python3 "$here/../a11y/press.py" Morlavin "変換開始(C)"
check "the file from the command line converts" eventually test -f memo.htm
check "and the page goes to the desktop" eventually grep -qxF "$work/memo.htm" "$OPENED"
check "natively, no X: still running" kill -0 $app
kill $app

# Nested: Weston draws into an X window, so xdotool can click its title bars.
xvfb
check "nested Weston starts" weston_on nested x11-backend.so --width=800 --height=600
# Weston draws the pointer into its picture: it waits on the panel, which is
# left out, away from the launcher, whose tooltip would not be.
shot() { xdotool mousemove 400 5; sleep 0.5; import -window root "$work/$1.png"; }
# The box around what changed between two screenshots, below the panel: "W H X Y".
changed() {
  convert "$work/$1.png" "$work/$2.png" -compose difference -composite -crop 800x560+0+40 +repage \
    -threshold 0 -format '%@\n' info: | tr 'x+' '  '
}
# Weston fades its desktop in: the picture without the window is the one that stays.
still() { shot empty && shot again && [[ $(compare -metric AE "$work/empty.png" "$work/again.png" null: 2>&1) == 0 ]]; }
check "nested Weston has drawn its desktop" eventually still
WAYLAND_DISPLAY=nested "$build/bin/morlavin" 2>"$work/nested.err" & app=$! pids+=($!)
drawn() { shot shown && read -r width height left top < <(changed empty shown 2>/dev/null) && ((width > 300)); }
check "the window is drawn" eventually drawn
# Qt's title bar: close, maximise and minimise from the right, 18 pixels wide
# and 5 apart, 8 from the window's right edge, centred in the top 30 pixels.
xdotool mousemove $((left + width - 40)) $((40 + top + 15)) click 1
sleep 2
check "a maximise leaves the program running" kill -0 $app
shot after
read -r width2 height2 _ < <(changed empty after 2>/dev/null)
check "and the window at its size" test "${width2:-0}x${height2:-0}" = "${width}x${height}"

# 環境設定 on top: what changed is the dialog, and the main window turning
# inactive, which is left out. The dialog is wider and taller than the main
# window, so each of its edges shows outside it.
xdotool key alt+s && sleep 0.5 && xdotool key e
opened() {
  shot dialog && read -r dwidth dheight dleft dtop < <(convert "$work/after.png" "$work/dialog.png" \
    -compose difference -composite -crop 800x560+0+40 +repage -threshold 0 -fill black \
    -draw "rectangle $left,$top $((left + width)),$((top + height))" -format '%@\n' info: 2>/dev/null | tr 'x+' '  ') &&
    ((dwidth > 400 && dheight > 300))
}
check "環境設定 is drawn" eventually opened
xdotool mousemove $((dleft + dwidth - 40)) $((40 + dtop + 15)) click 1
sleep 2
check "a maximise of 環境設定 leaves the program running" kill -0 $app
summary wayland
