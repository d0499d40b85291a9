#!/usr/bin/env bash
# Converts a Shift-JIS sample and loads the page in headless Chromium: the
# Japanese text must decode under the page's "x-sjis" declaration, escaped tags
# must show as text, working tags must be elements, and the line breaks must
# sit where the marker lines put them. Then a UTF-8 and a Shift-JIS text with
# LF line ends must show exactly their lines, one per line.
set -uo pipefail
convert=$(realpath "$1")
sample=$2
lines=$(dirname "$sample")/lines_utf8.txt
chromium=$(command -v chromium || true)
if [[ -z "$chromium" ]]; then
  echo "chromium is not installed; skipping" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample" "$work/sample.txt"
cp "$lines" "$work/utf8.txt"
iconv -f UTF-8 -t CP932 "$lines" >"$work/sjis.txt"
for text in sample utf8 sjis; do
  "$convert" --quiet --title-from-first-line "$work/$text.txt" >/dev/null || exit 1
  timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --dump-dom "file://$work/$text.htm" >"$work/$text.dom" 2>"$work/chromium.log"
  # Chromium writes nothing useful on failure but its log.
  [[ -s "$work/$text.dom" ]] || { cat "$work/chromium.log" >&2; exit 1; }
done
# Line ends are folded away so that each check reads as the body does.
dom=$(tr -d '\n' <"$work/sample.dom")

passed=0 failed=0
expect() {  # expect NAME TEXT: the rendered DOM contains TEXT
  if [[ "$dom" == *"$2"* ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1: missing «$2»" >&2; fi
}
while IFS='|' read -r how name text; do
  [[ $how == \#* ]] && continue
  name=$(echo $name) text=${text# } text=${text%"${text##*[! ]}"}
  if [[ $how == has* ]]; then expect "$name" "$text"
  elif [[ "$dom" != *"$text"* ]]; then passed=$((passed + 1))
  else failed=$((failed + 1)); echo "FAIL: $name: found «$text»" >&2; fi
done <"$(dirname "$sample")/sample_dom.txt"

# The visible lines of the body: its text with each <br> ending a line.
visible_lines() {
  python3 - "$1" <<'PY'
import html.parser, sys
class Body(html.parser.HTMLParser):
    text, inside = "", False
    def handle_starttag(self, tag, attrs):
        self.inside |= tag == "body"
        if tag == "br": self.text += "\0"
    def handle_data(self, data):
        if self.inside: self.text += data
body = Body()
body.feed(open(sys.argv[1], encoding="utf-8").read())
print("\n".join(line.strip() for line in body.text.split("\0")[:-1]))
PY
}
for text in utf8 sjis; do
  if [[ "$(visible_lines "$work/$text.dom")" == "$(cat "$lines")" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAIL: $text page does not show the text's lines:" >&2; visible_lines "$work/$text.dom" >&2
  fi
  dom=$(tr -d '\n' <"$work/$text.dom")
  expect "$text title decoded" "<title>日本語のテキストです。</title>"
done

echo "browser: $passed passed, $failed failed"
((failed == 0))
