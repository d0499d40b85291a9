#!/usr/bin/env bash
# Pages as headless Chromium renders them: the Shift-JIS sample's page holds
# (or lacks) what sample_dom.txt lists, and one text with LF line ends in
# each encoding the program reads shows exactly its lines, one per line,
# under a decoded title.
set -uo pipefail
convert=$(realpath "$1")
. "$(dirname "$0")/../lib.sh"
have chromium || exit 77
lines=$data/conversion/lines_utf8.txt
cp "$data/conversion/sample.txt" "$lines" "$work/"
iconv -f UTF-8 -t CP932 "$lines" >"$work/sjis.txt"
iconv -f UTF-8 -t EUC-JP "$lines" >"$work/euc.txt"
iconv -f UTF-8 -t ISO-2022-JP-3 "$lines" >"$work/jis.txt"  # half-width katakana after ESC ( I
{ printf '\xFF\xFE'; iconv -f UTF-8 -t UTF-16LE "$lines"; } >"$work/utf16le.txt"
encodings=(lines_utf8 sjis euc jis utf16le)
for text in sample "${encodings[@]}"; do
  "$convert" --quiet --title-from-first-line "$work/$text.txt" >/dev/null || exit 1
  timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --dump-dom "file://$work/$text.htm" >"$work/$text.dom" 2>"$work/chromium.log"
  # Chromium writes nothing useful on failure but its log.
  [[ -s "$work/$text.dom" ]] || { cat "$work/chromium.log" >&2; exit 1; }
done

# has PAGE TEXT: the rendered DOM, line ends folded away as the body reads, holds TEXT.
has() { [[ "$(tr -d '\n' <"$work/$1.dom")" == *"$2"* ]]; }
lacks() { ! has "$@"; }
while IFS='|' read -r how name text; do
  [[ $how == \#* ]] && continue
  how=$(echo $how) name=$(echo $name) text=${text# } text=${text%"${text##*[! ]}"}
  check "$name: $how «$text»" $how sample "$text"
done <"$data/conversion/sample_dom.txt"

# The visible lines of the body: its text with each <br> ending a line.
visible_lines() {
  paste -sd '' "$1" | sed -e 's/.*<body[^>]*>//' -e 's/<br>/\n/g' |
    sed -e 's/<[^>]*>//g' -e 's/^ *//' -e 's/ *$//' | head -n -1
}
for text in "${encodings[@]}"; do
  check "$text page shows the text's lines" test "$(visible_lines "$work/$text.dom")" = "$(cat "$lines")"
  check "$text title decoded" has $text "<title>日本語のテキストです。</title>"
done
summary browser
