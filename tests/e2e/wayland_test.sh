#!/usr/bin/env bash
# The program on Wayland, as Qt's own Wayland platform runs it:
# - natively on a headless Weston with no X server at all, converting the file
#   named on its command line (its button pressed over AT-SPI, as there is no
#   keyboard);
# - in a Weston window on Xvfb, where the title bars of the main window and
#   環境設定 offer no maximise button, and Weston's own maximise key (and a
#   drag of the main window's edge) leaves them as they were; the same key
#   does maximise the help, which may take any size.
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

# Nested: Weston draws into an X window, where its picture can be looked at.
xvfb
check "nested Weston starts" weston_on nested x11-backend.so --width=800 --height=600
# Weston draws the pointer into its picture: it waits on the panel, which is
# left out, away from the launcher, whose tooltip would not be.
shot() { xdotool mousemove 400 5; sleep 0.5; import -window root "$work/$1.png"; }
# The box around what changed between two screenshots, below the panel: "W H X Y",
# Y counted from the panel's foot. A third argument leaves out a box "W H X Y".
# The border of what did not change lets a change that fills the picture show.
changed() {
  local -a hidden=(${3:-0 0 0 0})
  convert "$work/$1.png" "$work/$2.png" -compose difference -composite -crop 800x560+0+40 +repage \
    -threshold 0 -fill black -draw "rectangle ${hidden[2]},${hidden[3]} $((hidden[2] + hidden[0])),$((hidden[3] + hidden[1]))" \
    -bordercolor black -border 1 -format '%@\n' info: | tr 'x+' '  ' | awk '{ print $1, $2, $3 - 1, $4 - 1 }'
}
# Weston fades its desktop in: the picture without the window is the one that stays.
still() { shot empty && shot again && [[ $(compare -metric AE "$work/empty.png" "$work/again.png" null: 2>&1) == 0 ]]; }
check "nested Weston has drawn its desktop" eventually still
WAYLAND_DISPLAY=nested "$build/bin/morlavin" 2>"$work/nested.err" & app=$! pids+=($!)
drawn() { shot shown && read -r width height left top < <(changed empty shown 2>/dev/null) && ((width > 300)); }
check "the window is drawn" eventually drawn
# buttons SHOT W H X Y: the most buttons one row across the top of a window's
# title bar meets in its right half, as runs of another colour than the bar's.
buttons() {
  local most=0 runs y
  for y in $(seq $((40 + $5 + 2)) $((40 + $5 + 20))); do
    runs=$(convert "$work/$1.png" -crop $(($2 / 2 - 2))x1+$(($4 + $2 / 2))+$y +repage -depth 8 txt:- |
      awk 'NR > 1 { if (NR == 2) bar = $3; else if ($3 != bar && last == bar) runs++; last = $3 } END { print runs + 0 }')
    ((runs > most)) && most=$runs
  done
  echo "$most"
}
check "the main window's title bar offers minimise and close only" test "$(buttons shown $width $height $left $top)" = 2
# Weston's own key for a maximise (Super+Shift+M), on the window a click on its title made active.
maximise() { xdotool mousemove $((left + 40)) $((40 + top + 8)) click 1 sleep 0.5 key super+shift+m; sleep 2; }
maximise
check "a maximise leaves the program running" kill -0 $app
shot after
read -r width2 height2 _ < <(changed empty after 2>/dev/null)
check "and the window at its size" test "${width2:-0}x${height2:-0}" = "${width}x${height}"
middle=$((40 + top + height / 2))
xdotool mousemove $((left + width - 2)) $middle mousedown 1 mousemove $((left + width + 40)) $middle \
  sleep 0.3 mousemove $((left + width + 80)) $middle sleep 0.3 mouseup 1
shot after
read -r width2 height2 _ < <(changed empty after 2>/dev/null)
check "as it stays at a drag of its edge" test "${width2:-0}x${height2:-0}" = "${width}x${height}"

# 環境設定 on top: what changed is the dialog, and the main window turning
# inactive, which is left out. The dialog is wider and taller than the main
# window, so each of its edges shows outside it.
xdotool key alt+s && sleep 0.5 && xdotool key e
opened() {
  shot "$1" && read -r dwidth dheight dleft dtop < <(changed after "$1" "$width $height $left $top" 2>/dev/null) &&
    ((dwidth > 400 && dheight > 300))
}
check "環境設定 is drawn" eventually opened dialog
check "環境設定's title bar offers close only" test "$(buttons dialog $dwidth $dheight $dleft $dtop)" = 1
shown="$dwidth $dheight"
left=$dleft top=$dtop maximise
check "a maximise of 環境設定 leaves the program running" kill -0 $app
check "and 環境設定 at its size" eventually opened again
check "as it was" test "$dwidth $dheight" = "$shown"
# Its close button, at the right of its title bar: Escape leaves it open.
xdotool mousemove $((dleft + dwidth - 10)) $((40 + dtop + 10)) click 1
closed() { shot base && read -r dwidth _ < <(changed after base "$width $height $left $top" 2>/dev/null) && ((dwidth < 400)); }
check "its close button closes 環境設定" eventually closed

# The same key on the help, which may take any size, fills the screen with it.
xdotool key F1
# help WIDTH HEIGHT: the help is drawn, at least that wide and high.
help() { shot help && read -r hwidth hheight _ < <(changed base help 2>/dev/null) && ((hwidth >= $1 && hheight >= $2)); }
check "the help is drawn" eventually help 300 300
check "not filling the screen" test "$hwidth $hheight" != "800 560"
xdotool key super+shift+m
check "the same key maximises the help" eventually help 800 560
summary wayland
