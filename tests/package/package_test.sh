#!/usr/bin/env bash
# The Debian package as a distribution checks it (a linter that is missing is
# skipped with a message) and as a new user meets it: installed with apt-get as
# root on a machine without it, otherwise unpacked with dpkg -x, and started as
# an unprivileged user (nobody, as root) with an empty home, in a Japanese
# session when that locale exists. apt-get remove must take every file with it.
#   package_test.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
. "$(dirname "$0")/../lib.sh"
chmod 755 "$work"
mode=""
tidy() { [[ "$mode" != apt ]] || apt-get remove -y -qq -o DPkg::Lock::Timeout=300 morlavin >/dev/null 2>&1; }
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

share="$root/usr/share"
if have lintian; then
  # Kept warning: initial-upload-closes-no-bugs (never uploaded, no bug to close).
  # lintian leaves files of its own in TMPDIR: those go with $work.
  TMPDIR="$work" lintian --fail-on error "$deb" 2>/dev/null | tee "$work/lintian" >&2
  check "lintian finds no errors, and no warning but the one kept" test "${PIPESTATUS[0]}" -eq 0 \
    -a -z "$(grep -v '^W: morlavin: initial-upload-closes-no-bugs' "$work/lintian")"
fi
have desktop-file-validate &&
  check "desktop entry is valid" desktop-file-validate "$share/applications/morlavin.desktop"
check "desktop entry starts the program on the search path" \
  grep -qx 'Exec=morlavin %f' "$share/applications/morlavin.desktop"
have appstreamcli &&
  check "AppStream metainfo is valid" appstreamcli validate --no-net \
    "$share/metainfo/org.example.morlavin.metainfo.xml"
# lintian runs lexgrog and man --warnings on the manual pages; mandoc is stricter.
for page in "$share"/man/{,ja/}man1/morlavin{,-convert}.1.gz; do
  have mandoc && check "${page#"$share/man/"} passes mandoc -T lint" mandoc -T lint -W warning "$page"
done
have lexgrog && check "Japanese manual pages name themselves" \
  test "$(lexgrog "$share"/man/ja/man1/*.1.gz | grep -c ': "morlavin')" -eq 2
# What comes with the program unless the user declines recommendations.
check "recommends Qt's Japanese texts, Wayland, CJK fonts and a browser" test "$(dpkg-deb -f "$deb" Recommends)" = \
  "qt6-translations-l10n, qt6-wayland, fonts-noto-cjk, firefox-esr | chromium | www-browser"
abi=$(sed -n 's/^MORLAVIN_QT_ABI:INTERNAL=//p' "$build/CMakeCache.txt")
check "depends on the very Qt its title bar plugin was built with" \
  grep -qF "qt6-base-abi (= ${abi:-none})" <(dpkg-deb -f "$deb" Depends)
check "the title bar plugin lies in the program's own library folder" \
  test -f "$root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/morlavin/wayland-decoration-client/libmorlavin-title-bar.so"
check "licensed MIT" grep -qx 'License: MIT' "$share/doc/morlavin/copyright"
# The installed program looks for them in ../share/morlavin from its own folder.
check "help and read-me installed" test -f "$share/morlavin/Morlavin.hlp" -a -f "$share/morlavin/Morlavin.txt"

# The user's side: an empty home, and a folder of its own for its text.
home="$work/home" user="$work/user" run="$work/run"
mkdir -m 700 "$home" "$user" "$run"
printf 'memo\r\n' >"$user/memo.txt"
as_user=(env)
if [[ $(id -u) -eq 0 ]]; then
  chown 65534:65534 "$home" "$user" "$run"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env)
fi
lang=C.UTF-8 title=Open
locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && lang=ja_JP.UTF-8 title=開く
as_user+=(-u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u LC_ALL HOME="$home" XDG_RUNTIME_DIR="$run" LANG="$lang"
          PATH=/usr/bin:/bin)

cd "$user"
xvfb
"${as_user[@]}" "$root/usr/bin/morlavin" & pids+=($!)
# A message box at start comes before the main window, with the same title.
main=$(window '^Morlavin$')
check "main window appears" test -n "$main"
check "no message box at start" bash -c "! xprop -id '$main' _NET_WM_WINDOW_TYPE | grep -q DIALOG"
settings="$home/.config/morlavin/Morlavin.ini"
check "settings file created in the user's config folder" test -f "$settings"
check "config folder is private" test "$(stat -c %a "$home/.config/morlavin" 2>/dev/null)" = 700
check "settings file holds every key with its default" cmp -s "$settings" "$data/settings/first_start.ini"

# Qt's own dialogs speak the session's language: the file dialog's title.
menu o
check "the file dialog is titled $title" test -n "$(window "^$title\$")"

# The window and the batch converter of the same user share that file.
"${as_user[@]}" sed -i 's/^OutputExtHTML=0\r$/OutputExtHTML=1\r/' "$settings"
"${as_user[@]}" "$root/usr/bin/morlavin-convert" --quiet memo.txt >/dev/null
check "the batch converter of the same user reads the window's settings" test -f "$user/memo.html"

# Under Wayland (a headless Weston of the same user) the installed program
# draws its title bars with its own plugin.
if have weston && ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1; then
  "${as_user[@]}" weston --socket=wayland-test --backend=headless-backend.so --idle-time=0 >"$work/weston.log" 2>&1 &
  pids+=($!)
  eventually test -S "$run/wayland-test"
  "${as_user[@]}" WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland QT_DEBUG_PLUGINS=1 "$root/usr/bin/morlavin" \
    2>"$work/wayland.err" & pids+=($!)
  check "under Wayland it loads its own title bar" \
    eventually grep -qF 'morlavin/wayland-decoration-client/libmorlavin-title-bar.so" loaded library' "$work/wayland.err"
fi

if [[ $mode == apt ]]; then
  tidy && mode=""
  left=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }' | xargs -r ls -d 2>/dev/null)
  check "apt-get remove removes every installed file" test -z "$left"
  check "the package is gone" bash -c "! dpkg -s morlavin >/dev/null 2>&1"
fi
summary package
