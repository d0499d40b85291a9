#!/usr/bin/env bash
# The batch converter driven as a user drives it: its options and usage, exit codes,
# the lines it prints and the pages it writes (why a file is refused is the core's).
set -uo pipefail
convert=$(realpath "$1")
. "$(dirname "$0")/../lib.sh"
cd "$work"
# run ARGS...: runs the converter, keeping out.txt, err.txt and status; refused TEXT: it failed, saying TEXT.
run() { "$convert" "$@" >out.txt 2>err.txt; status=$?; }
refused() { ((status == 1)) && grep -qF -- "$1" err.txt; }

# Help, version and usage errors with their exit status, in the user's messages
# language: each row of tests/data/cli/usage_language.txt.
usage() {  # usage ENVIRONMENT ARGUMENTS STATUS EXPECTED
  local environment arguments status stream=err.txt first expected=${4# }
  read -ra environment <<<"${1/#-/}"
  read -ra arguments <<<"$2"
  env -u LC_ALL -u LC_MESSAGES -u LANG "${environment[@]}" "$convert" "${arguments[@]}" >out.txt 2>err.txt
  status=$?
  ((status == 0)) && stream=out.txt
  first=$(head -1 $stream)
  [[ $expected == '<'* ]] && first=$(cat $stream)\$ expected=$(cat "$data/cli/${expected#<}")\$
  [[ $status == "${3// /}" && "$first" == "$expected"* ]]
}
while IFS='|' read -r environment arguments want expected; do
  [[ "$environment" =~ ^# || -z "$environment" ]] && continue
  check "usage: $environment $arguments" usage "$environment" "$arguments" "$want" "$expected"
done <"$data/cli/usage_language.txt"

# Each way in and out: pipes, a chosen output, folders. Each row of
# tests/data/cli/conversions.txt runs in a fresh copy of one folder.
mkdir -p tree/sub/deeper outside
printf '<H1>題名</H1>\r\n本文\r\n' >memo.txt
printf 'notes\r\n' | tee notes.md tree/B.TXT tree/a.txt tree/old.txt tree/notes.md tree/sub/c.txt \
  tree/sub/deeper/d.txt outside/e.txt >/dev/null
echo earlier >tree/old.htm
ln -s ../outside tree/link
ln -s ../memo.txt tree/linked.txt
tar -cf folder.tar memo.txt notes.md tree outside && rm -r memo.txt notes.md tree outside
C() { LC_ALL=C.UTF-8 "$convert" "$@"; }  # usage errors in English
page() { head -1 "$1" | grep -q '^<!DOCTYPE' && grep -qF "<TITLE>$2</TITLE>" "$1" && test "$(tail -1 "$1")" = $'</HTML>\r'; }
said() { grep -qxF -- "$2" "$1"; }
reported() { cut -d: -f1 ../out.txt | tr '\n' ' '; }
listing() { find . -printf '%p %y %s %T@\n' | sort; }
same() { test "$(listing)" = "$before"; }
while IFS='|' read -r name command want holds; do
  [[ "$name" =~ ^# || -z "$name" ]] && continue
  rm -rf row && mkdir row && tar -xf folder.tar -C row
  before=$(cd row && listing)
  (cd row && eval "$command") >out.txt 2>err.txt
  status=$?
  check "run: $name" eval "((status == $want)) && (cd row && eval \"\$holds\")"
done <"$data/cli/conversions.txt"
if ((EUID != 0)); then
  rm -rf row && mkdir row && tar -xf folder.tar -C row && chmod 0 row/tree/sub
  (cd row && C -r tree) >out.txt 2>err.txt; status=$?
  chmod 755 row/tree/sub
  check "-r, an unreadable folder: the others converted" test $status -eq 1 -a -e row/tree/a.htm
  check "-r, an unreadable folder: said" said err.txt "tree/sub: フォルダを開けません (アクセスが拒否されました)"
else
  echo "root reads every folder: the unreadable-folder case is not run" >&2
fi
rm -rf row folder.tar

# The golden page: every byte, with the options of a settings file.
cp "$data"/conversion/sample.{txt,ini} .
run --settings sample.ini --title-from-first-line sample.txt
check "sample page bytes" cmp -s sample.html "$data/conversion/sample.html"
check "success line" test "$(cat out.txt)" = "sample.html: テキストを変換しました。(変換後のサイズ:$(stat -c %s sample.html)bytes)"
run --encoding utf-8 sample.txt; check "--encoding utf-8" grep -qF "charset=UTF-8" sample.htm
mkdir bin && cp "$convert" bin/
convert=bin/morlavin-convert run --quiet sample.txt
check "without --settings it reads beside the program and never creates the file" test $status -eq 0 -a ! -e bin/Morlavin.ini
run --settings missing.ini sample.txt
check "missing settings file means defaults" test $status -eq 0 -a -e sample.htm -a ! -e missing.ini

# The reasons for a refusal are the core's; an empty name has none of its own.
run ""; check "empty name: refused without a reason" test $status -eq 1 -a "$(cat err.txt)" = ": 変換に失敗しました。"

head -c 100000000 /dev/zero | tr '\0' 'a' > long.txt
run --quiet long.txt
check "100 MB single line converts" test $status -eq 0 -a "$(stat -c %s long.htm)" -gt 100000000

# A line larger than the memory the converter may use is refused, not a crash.
if (ulimit -v 150000 && "$convert" --version >/dev/null 2>&1); then
  (ulimit -v 150000; "$convert" --quiet long.txt >out.txt 2>err.txt); status=$?
  check "line larger than memory: refused" refused "long.txt: ファイルを読み込めません (メモリが足りません)"
  (ulimit -v 150000; "$convert" --quiet --title-from-first-line long.txt >out.txt 2>err.txt); status=$?
  check "first line larger than memory: no title, refused" test $status -eq 1
else
  echo "a sanitized build cannot run with a memory limit: the out-of-memory case is not run" >&2
fi

# A settings file the program never wrote is read, never changed.
printf 'k\r\n' > s.txt
printf '\xff\x00\x1b[\x01=\r\r\n\x95' > garbage.ini
cp garbage.ini garbage.ini.before
run --settings garbage.ini --title 'My page' s.txt
check "settings file never written: converts" test $status -eq 0 && check "--title" grep -q "<TITLE>My page</TITLE>" s.htm
check "settings file never written: unchanged" cmp -s garbage.ini garbage.ini.before

# Progress shows on a terminal only, and never with --quiet; it is cleared before the result.
terminal() { script -qec "$(printf '%q ' "$convert" "$@")" /dev/null; }
progress() { terminal "$@" | grep -c 行数をチェックしています; }
check "progress on a terminal" test "$(progress s.txt)" -gt 0
check "--quiet: no progress" test "$(progress --quiet s.txt)" -eq 0
check "-q: no progress" test "$(progress -q s.txt)" -eq 0
cleared() { [[ "$(terminal s.txt)" == *$'\e[Ks.htm: '* ]]; }
check "progress line cleared before the result" cleared
check "no progress into a file" test "$(grep -c 行数 err.txt)" -eq 0

# Several files: a failure does not stop the others (both pages, both lines), and sets the exit status.
printf 'a\r\n' | tee one.txt > two.txt
run one.txt missing.txt two.txt
check "mixed run" test $status -eq 1 -a -e one.htm -a -e two.htm -a "$(wc -l < out.txt)" -eq 2

# Names a shell would read: nothing of them is executed, every page lands.
for name in 'with space.txt' "quote'and\"double.txt" '$(touch pwned).txt' 'semi;colon.txt' '`touch pwned`.txt' '日本語 メモ.txt' '-dash.txt'; do
  printf 'x\r\n' > "./$name"
  run -- "$name"
  check "name: $name" test $status -eq 0 -a -e "${name%.txt}.htm"
done
check "no shell ran" test ! -e pwned

# Names with control bytes or bytes that are no UTF-8 are printed quoted.
printf 'x' | tee $'e\e[31m.txt' > $'s\x95\x5c.txt'
run $'missing\nb.txt' $'e\e[31m.txt' $'s\x95\x5c.txt'
check "quoted name on stderr" test "$(cat err.txt)" = "\$'missing\\nb.txt': ファイルを開けません (ファイルまたはフォルダが見つかりません)"
check "quoted names on stdout" test "$(cut -d: -f1 out.txt | tr '\n' ' ')" = "\$'e\\e[31m.htm' \$'s\\x95\\\\.htm' "
printf 'x' > "q'x.txt" && printf 'old' > "q'x.htm" && chmod 444 "q'x.htm"
run "q'x.txt"; check "a name inside a message keeps its quote" grep -qF ": q'x.htm (" err.txt

# Reports that cannot be written make the run fail.
if [[ -w /dev/full ]]; then
  "$convert" one.txt >/dev/full 2>err.txt; status=$?
  check "stdout full: refused" refused "標準出力に書き込めません (ディスクの空き容量が足りません)"
  "$convert" -o - one.txt >/dev/full 2>err.txt; status=$?
  check "a page to a full stdout: refused" refused "one.txt: 書き込めません: 標準出力 (ディスクの空き容量が足りません)"
else
  echo "/dev/full cannot be written here: the full-stdout case is not run" >&2
fi
"$convert" one.txt >&- 2>err.txt; status=$?
check "stdout closed: refused" refused "標準出力に書き込めません (閉じられています)" && check "stdout closed: page" test -e one.htm
"$convert" - <one.txt >&- 2>err.txt; status=$?
check "a page to a closed stdout: refused" refused "-: 書き込めません: 標準出力 (ファイルが開かれていません)"
rm one.htm; "$convert" one.txt <&- >out.txt; status=$?  # the text is then file 0
check "stdin closed: converts" grep -q "^a<BR>" one.htm

# Bash completes options, encodings and file names (each row of tests/data/cli/completion.txt).
if [[ -r /usr/share/bash-completion/bash_completion ]]; then
  offered() {  # offered LINE: the words completion offers at the end of LINE
    bash -c '. /usr/share/bash-completion/bash_completion; . "$1"; compopt() { :; }
      COMP_LINE="morlavin-convert $2" COMP_POINT=${#COMP_LINE}; read -ra COMP_WORDS <<<"$COMP_LINE"
      [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      _morlavin_convert morlavin-convert "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
      ((${#COMPREPLY[@]} == 0)) || printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | tr "\n" " "' _ "$data/../../data/morlavin-convert.bash-completion" "$1"
  }
  mkdir complete && printf 'x' | tee complete/memo.txt >complete/notes.md
  while IFS='|' read -r line words; do
    [[ "$line" =~ ^# || -z "$line" ]] && continue
    read -r line <<<"$line" && read -r words <<<"$words"
    got=$(cd complete && PATH="$(dirname "$convert"):$PATH" offered "${line//␣/ }")
    check "completion: $line" test "$got" = "${words:+$words }"
  done <"$data/cli/completion.txt"
else
  echo "SKIP: bash-completion is not installed: completion is not tried" >&2
fi

# --open hands each page to the desktop (how, the launcher's own test checks).
install -D -m 755 <(printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened"\n' "$work") stub/xdg-open
PATH="$work/stub:$PATH" run --open one.txt two.txt
both_opened() { test "$(sort opened 2>/dev/null | tr '\n' ' ')" = "$work/one.htm $work/two.htm "; }
check "--open" eventually both_opened
# A desktop without a handler: the page stays, stderr says so, the run fails.
install -m 755 <(printf '#!/bin/sh\nexit 3\n') stub/xdg-open
rm one.htm; PATH="$work/stub:$PATH" run --open one.txt
check "--open without a handler: refused" \
  refused "one.txt: HTMLファイルは作成しましたが、開けませんでした: one.htm (開くためのアプリケーションが見つかりません)"
check "--open without a handler: page and its line" test -e one.htm -a "$(cut -d: -f1 out.txt)" = one.htm
summary cli
