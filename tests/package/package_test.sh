#!/usr/bin/env bash
# The Debian package as a new user meets it. The package is built with cpack
# and installed: with apt-get when running as root on a machine that has no
# morlavin package, otherwise unpacked with dpkg -x into a scratch root (the
# output says which). The installed morlavin is started as an unprivileged
# user (nobody, when running as root) whose home is empty, in a Japanese
# session when that locale exists. It must start without a message box,
# show Qt's own dialogs in the session's language,
# create ~/.config/morlavin/Morlavin.ini with every key, open the installed
# help, write its preview page where that user can and remove it, and save
# the preferences where the batch converter of the same user reads them.
# The package is removed afterwards, every file with it.
#
#   package_test.sh BUILD_DIR     (run on Xvfb by ctest)
set -uo pipefail
build=$(realpath "$1")
. "$(dirname "$0")/../lib.sh"
data=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
chmod 755 "$work"
pid="" mode=""
cleanup() {
  [[ -n "$pid" ]] && kill $(pgrep -P "$pid") "$pid" 2>/dev/null
  [[ "$mode" == apt ]] && apt-get remove -y -qq -o DPkg::Lock::Timeout=300 morlavin >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
cpack -G DEB -B "$work/cpack" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
deb="$work/cpack/morlavin_1.62-1_$(dpkg --print-architecture).deb"
if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null && ! dpkg -s morlavin >/dev/null 2>&1; then
  mode=apt root=""
  apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; exit 1; }
else
  mode=extract root="$work/root"
  dpkg-deb -x "$deb" "$root"
fi
echo "package: installed with $( [[ $mode == apt ]] && echo "apt-get install" || echo "dpkg -x into $root")"

# The user's side: an empty home, and a folder of its own for texts and logs.
home="$work/home" user="$work/user" stub="$work/stub" run="$work/run"
mkdir -p "$home" "$user"
mkdir -m 700 "$run"
stub_opener "$stub"
printf 'memo\r\n' >"$user/memo.txt"
as_user=(env)
if [[ $(id -u) -eq 0 ]]; then
  chown 65534:65534 "$home" "$user" "$run"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env)
fi
lang=C.UTF-8
locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && lang=ja_JP.UTF-8
as_user+=(-u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u LC_ALL HOME="$home" XDG_RUNTIME_DIR="$run" LANG="$lang"
          OPENED="$user/opened.txt" PATH="$stub:/usr/bin:/bin")
trace=()
command -v strace >/dev/null && trace=(strace -f -qq -e trace=openat -o "$user/trace")

cd "$user"
"${as_user[@]}" "${trace[@]}" "$root/usr/bin/morlavin" & pid=$!
# A message box at start comes before the main window, with the same title;
# only the box is a dialog.
main="" box=""
for _ in $(seq 150); do
  for window in $(xdotool search --onlyvisible --name '^Morlavin$' 2>/dev/null); do
    if xprop -id "$window" _NET_WM_WINDOW_TYPE | grep -q DIALOG; then box=$window; else main=$window; fi
  done
  [[ -n "$main$box" ]] && break
  sleep 0.1
done
check "no message box at start" test -z "$box"
check "main window appears" test -n "$main"
settings="$home/.config/morlavin/Morlavin.ini"
check "settings file created in the user's config folder" test -f "$settings"
check "config folder is private" test "$(stat -c %a "$home/.config/morlavin" 2>/dev/null)" = 700
check "settings file holds every key with its default" cmp -s "$settings" "$data/settings/first_start.ini"
check "nothing written beside the installed program" test ! -e "$root/usr/bin/Morlavin.ini"

check "F1 opens the help viewer" test -n "$(press_until F1 "$main" 'Morlavin ヘルプ')"
if ((${#trace[@]})); then
  check "the help shown is the installed one" \
    grep -qE "\"$root/usr/share/morlavin/Morlavin\.hlp\", [^)]*\) = [0-9]" "$user/trace"
else
  echo "SKIP: strace is not installed; which help file opened is not checked" >&2
fi

# Qt's own dialogs speak the session's language: the file dialog's title.
xdotool windowfocus --sync "$main" 2>/dev/null
alt f
xdotool key o
title=$( [[ $lang == ja_JP.UTF-8 ]] && echo 開く || echo Open )
check "the file dialog is titled $title" eventually xdotool search --onlyvisible --name "^$title\$"
xdotool key Escape
check "the file dialog closes" eventually bash -c "! xdotool search --onlyvisible --name '^$title\$' >/dev/null 2>&1"

# 設定 is reached from the File menu: its Alt+S is shared with a button.
xdotool windowfocus --sync "$main" 2>/dev/null
alt f
xdotool key Right e
dialog=$(window '^環境設定$')
check "preferences dialog opens" test -n "$dialog"
xdotool windowfocus --sync "$dialog" 2>/dev/null
# From the translator box: four Tabs reach the .html option, eight more the
# preview button, one more OK.
xdotool key Tab Tab Tab Tab space Tab Tab Tab Tab Tab Tab Tab Tab space
preview="$run/morlavin/~mlvpre.htm"
check "preview page written in the user's runtime folder" eventually test -f "$preview"
check "preview page handed to the desktop" eventually grep -sqxF "$preview" "$user/opened.txt"
xdotool key Tab space
check "OK closes the dialog" eventually gone '^環境設定$'
check "preview page removed with the dialog" test ! -e "$preview"
check "OK saved the option in the user's settings file" grep -qa '^OutputExtHTML=1' "$settings"

"${as_user[@]}" "$root/usr/bin/morlavin-convert" --quiet memo.txt >/dev/null
check "the batch converter of the same user reads those settings" test -f "$user/memo.html"

xdotool windowfocus --sync "$main" 2>/dev/null
alt f
xdotool key x
check "File > Exit ends the program" eventually bash -c "! kill -0 $pid 2>/dev/null"
pid=""

if [[ $mode == apt ]]; then
  apt-get remove -y -qq -o DPkg::Lock::Timeout=300 morlavin >/dev/null 2>&1
  mode=""
  left=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }' | while read -r f; do
    [[ -e "$f" ]] && echo "$f"; done)
  check "apt-get remove removes every installed file" test -z "$left"
  check "the package is gone" bash -c "! dpkg -s morlavin >/dev/null 2>&1"
fi

summary package
