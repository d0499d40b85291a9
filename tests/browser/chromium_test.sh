#!/usr/bin/env bash
# Converts a Shift-JIS sample and loads the page in headless Chromium: the
# Japanese text must decode under the page's "x-sjis" declaration, escaped tags
# must show as text, working tags must be elements, and the line breaks must
# sit where the marker lines put them.
set -uo pipefail
convert=$(realpath "$1")
sample=$2
chromium=$(command -v chromium || true)
if [[ -z "$chromium" ]]; then
  echo "chromium is not installed; skipping" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample" "$work/sample.txt"
"$convert" --quiet --title-from-first-line "$work/sample.txt" >/dev/null || exit 1

timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --dump-dom "file://$work/sample.htm" >"$work/dom.html" 2>"$work/chromium.log"
# Chromium writes nothing useful on failure but its log.
[[ -s "$work/dom.html" ]] || { cat "$work/chromium.log" >&2; exit 1; }
# Line ends are folded away so that each check reads as the body does.
dom=$(tr -d '\n' <"$work/dom.html")

passed=0 failed=0
expect() {  # expect NAME TEXT: the rendered DOM contains TEXT
  if [[ "$dom" == *"$2"* ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1: missing «$2»" >&2; fi
}
refuse() {  # refuse NAME TEXT: the rendered DOM does not contain TEXT
  if [[ "$dom" != *"$2"* ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1: found «$2»" >&2; fi
}
expect "title decoded" "<title>表示テスト</title>"
expect "heading is an element, Japanese decoded" "<h1><font size=\"+2\">表示テスト</font></h1><br>"
expect "0x5C trail bytes decode, backslashes stay" "表・ソ・能・予 (0x5C trail bytes) と C:\\doc\\memo.txt<br>"
expect "working tag is an element" "<b>太字</b> works &amp; stays<br>"
expect "escaped tag shows as text" "&lt;B&gt;not bold&lt;/B&gt; shows as text<br>"
expect "escaping ends at the END marker" "<i>italic again</i><br>"
expect "no BR inside the NOBR stretch" "<i>italic again</i><br>onetwo三<br><br>  spaced  <br>"
refuse "markers never reach the page" "MORLAVIN"
refuse "no replacement characters" "�"
expect "body colours" "<body bgcolor=\"white\" text=\"black\">"

echo "browser: $passed passed, $failed failed"
((failed == 0))
