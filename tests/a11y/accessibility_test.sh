#!/usr/bin/env bash
# The main window and 環境設定 as a screen reader meets them: the program on a
# real X server with the accessibility bus of a desktop session, its windows
# walked over AT-SPI by check_tree.py.
#   accessibility_test.sh BUILD_DIR
set -uo pipefail
for tool in dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed" >&2; exit 77; }
# A session bus of its own, gone with the test.
[[ -n ${DBUS_OWN_SESSION-} ]] || exec dbus-run-session -- env DBUS_OWN_SESSION=1 bash "$0" "$@" 2>&1
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib.sh"
xvfb
export XDG_RUNTIME_DIR="$work/run" LANG=ja_JP.UTF-8 HOME="$work"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$work"
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null & pids+=($!)
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$build/bin/morlavin" & pids+=($!)
main=$(window '^Morlavin$')
check "window appears" test -n "$main"
check "main window: names, descriptions" /usr/bin/python3 "$here/check_tree.py" Morlavin
alt s; xdotool key e
check "環境設定 appears" test -n "$(window '^環境設定$')"
check "環境設定: names, descriptions" /usr/bin/python3 "$here/check_tree.py" 環境設定
summary accessibility
