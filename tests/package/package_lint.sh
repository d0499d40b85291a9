#!/usr/bin/env bash
# The Debian package passes the checks a distribution applies: lintian (no
# errors), desktop-file-validate, appstreamcli and the manual-page linters.
# A check whose tool is missing is skipped with a message.
#
#   package_lint.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../lib.sh"
skipped=0
have() {
  command -v "$1" >/dev/null && return
  echo "SKIP: $1 is not installed" >&2
  skipped=$((skipped + 1))
  return 1
}

cpack -G DEB -B "$work/cpack" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
deb="$work/cpack/morlavin_1.62-1_$(dpkg --print-architecture).deb"
check "cpack names the package" test -f "$deb"
dpkg-deb -x "$deb" "$work/root"
share="$work/root/usr/share"

if have lintian; then
  # Kept warning: initial-upload-closes-no-bugs (the package is not uploaded
  # to Debian, so there is no bug to close).
  # lintian leaves files of its own in TMPDIR: give it one that goes with $work.
  mkdir "$work/tmp"
  TMPDIR="$work/tmp" lintian --fail-on error "$deb" 2>/dev/null | tee "$work/lintian" >&2
  check "lintian finds no errors" test "${PIPESTATUS[0]}" -eq 0
  check "lintian's only warning is the one kept" \
    test -z "$(grep -v '^W: morlavin: initial-upload-closes-no-bugs' "$work/lintian")"
fi
if have desktop-file-validate; then
  check "desktop entry is valid" desktop-file-validate "$share/applications/morlavin.desktop"
  check "desktop entry starts the program on the search path" \
    grep -qx 'Exec=morlavin %f' "$share/applications/morlavin.desktop"
fi
if have appstreamcli; then
  check "AppStream metainfo is valid" \
    appstreamcli validate --no-net "$share/metainfo/org.example.morlavin.metainfo.xml"
fi
for page in morlavin morlavin-convert; do
  file="$share/man/man1/$page.1.gz"
  if have mandoc; then
    check "$page(1) passes mandoc -T lint" mandoc -T lint -W warning "$file"
  fi
  if have lexgrog; then
    check "$page(1) has a whatis entry" lexgrog "$file" >/dev/null
  fi
  if have man; then
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" >"$work/page" 2>"$work/warnings"
    check "$page(1) renders with man -l" grep -q "^NAME" "$work/page"
    check "$page(1) renders without warnings" test ! -s "$work/warnings"
  fi
done

echo "package lint: $passed passed, $failed failed, $skipped skipped"
((failed == 0)) || exit 1
((passed > 1)) || exit 77
