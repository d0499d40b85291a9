#!/usr/bin/env bash
# The batch converter driven as a user drives it: exit codes, the lines it
# prints, the pages it writes, and that bad input never costs the user a file.
set -uo pipefail
convert=$(realpath "$1")
data=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
chmod 755 "$work"
trap 'umount "$work/full" 2>/dev/null; chmod -R u+rwX "$work"; rm -rf "$work"' EXIT
cd "$work"
passed=0 failed=0

check() {  # check NAME COMMAND...: the command must succeed
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name" >&2; fi
}
# run ARGS...: runs the converter, keeping stdout, stderr and the exit status.
run() { "$convert" "$@" >out.txt 2>err.txt; status=$?; }
has() { grep -qF -- "$2" "$1"; }
no() { ! "$@"; }

# The golden page: every byte, with options from a settings file that is only read.
cp "$data/conversion/sample.txt" sample.txt
cp "$data/conversion/sample.ini" settings.ini
chmod 444 settings.ini
run --settings settings.ini --title-from-first-line sample.txt
check "sample page bytes" cmp -s sample.html "$data/conversion/sample.html"
size=$(stat -c %s sample.html)
check "success line" test "$(cat out.txt)" = "sample.html: テキストを変換しました。(変換後のサイズ:${size}bytes)"
# CR and LF line ends give the same page, byte for byte.
for ends in '\n' '\r'; do
  tr -d "$ends" <"$data/conversion/sample.txt" >sample.txt
  run --settings settings.ini --title-from-first-line sample.txt
  check "sample without $ends: same page" cmp -s sample.html "$data/conversion/sample.html"
done
cp "$data/conversion/sample.txt" sample.txt
run --encoding utf-8 sample.txt; check "--encoding utf-8" has sample.htm "charset=UTF-8"
check "settings file untouched" cmp -s settings.ini "$data/conversion/sample.ini"
mkdir bin && cp "$convert" bin/
bin/morlavin-convert --quiet sample.txt >/dev/null 2>&1
check "without --settings it reads beside the program and never creates the file" test ! -e bin/Morlavin.ini -a -e sample.htm
run --settings missing.ini sample.txt
check "missing settings file means defaults" test $status -eq 0 -a -e sample.htm -a ! -e missing.ini

# Bad input: each gives its message and exit status, and nothing else changes.
# The reasons themselves are the core's; here the report line and status.
run ""; check "empty name: refused without a reason" test $status -eq 1 -a "$(cat err.txt)" = ": 変換に失敗しました。"

mkdir notes.txt.d site.txt && printf 'x\r\n' > notes.txt.d/a.txt && printf 'x\r\n' > site.txt/Makefile
run notes.txt.d/a.txt; check "the page is written beside its text" test $status -eq 0 -a -e notes.txt.d/a.htm
run site.txt/Makefile; check "no .txt in the file name" has err.txt "site.txt/Makefile: このファイルは変換できません。"

printf 'x\r\n' > secret.txt && chmod 000 secret.txt
if [[ $(id -u) -eq 0 ]]; then
  # root reads every file; the case is what an ordinary user meets.
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$convert" secret.txt >out.txt 2>err.txt; status=$?
else
  run secret.txt
fi
check "unreadable file: status, no page" test $status -eq 1 -a ! -e secret.htm
check "unreadable file: message" has err.txt "secret.txt: ファイルを開けません (アクセスが拒否されました)"

head -c 100000000 /dev/zero | tr '\0' 'a' > long.txt
run --quiet long.txt
check "100 MB single line converts" test $status -eq 0
check "100 MB single line: page size" test "$(stat -c %s long.htm)" -gt 100000000

# A line larger than the memory the converter may use is refused, not a crash.
if (ulimit -v 150000 && "$convert" --version >/dev/null 2>&1); then
  (ulimit -v 150000; "$convert" --quiet long.txt >out.txt 2>err.txt); status=$?
  check "line larger than memory: refused" test $status -eq 1 && check "line larger than memory: message" has err.txt "long.txt: ファイルを読み込めません (メモリが足りません)"
  check "line larger than memory: earlier page kept" test "$(stat -c %s long.htm)" -gt 100000000
  (ulimit -v 150000; "$convert" --quiet --title-from-first-line long.txt >out.txt 2>err.txt); status=$?
  check "first line larger than memory: no title, refused" test $status -eq 1
else
  echo "a sanitized build cannot run with a memory limit: the out-of-memory case is not run" >&2
fi

# Settings files the program never wrote are read, never changed.
printf 'k\r\n' > s.txt
printf '\xff\x00\x1b[\x01=\r\r\n\x95' > garbage.ini
head -c 1048576 /dev/zero | tr '\0' 'k' > long.ini
awk 'BEGIN { for (i = 0; i < 10000; i++) printf "[S%d]\r\nk=v\r\n", i }' > sections.ini
for ini in garbage.ini long.ini sections.ini; do
  cp $ini $ini.before
  run --settings $ini s.txt
  check "settings $ini: converts with defaults" test $status -eq 0
  check "settings $ini: unchanged" cmp -s $ini $ini.before
done

# A full disk: the earlier page stays whole and no temporary file is left.
mkdir full
if mount -t tmpfs -o size=65536 tmpfs full 2>/dev/null; then
  printf 'earlier page' > full/big.htm
  head -c 40000 /dev/zero | tr '\0' 'a' > full/big.txt
  run full/big.txt
  check "full disk: message" has err.txt "full/big.txt: 書き込めません: full/big.htm (ディスクの空き容量が足りません)"
  check "full disk: earlier page kept" test "$(cat full/big.htm)" = "earlier page"
  check "full disk: nothing left behind" test "$(ls -A full | wc -l)" -eq 2
else
  echo "cannot mount a tmpfs here: full-disk case not run" >&2
fi

# Progress shows on a terminal only, and never with --quiet.
progress() { [[ $(script -qec "$(printf '%q ' "$convert" "$@")" /dev/null) == *行数をチェックしています* ]]; }
check "progress on a terminal" progress s.txt
check "--quiet: no progress" no progress --quiet s.txt
check "no progress into a file" test "$(grep -c 行数 err.txt)" -eq 0

# Several files: a failure does not stop the others, and sets the exit status.
printf 'a\r\n' > one.txt
printf 'b\r\n' > two.txt
run one.txt missing.txt two.txt
check "mixed run: status 1, both good pages" test $status -eq 1 -a -e one.htm -a -e two.htm
check "mixed run: two success lines" test "$(wc -l < out.txt)" -eq 2

# Names a shell would read: nothing of them is executed, every page lands.
for name in 'with space.txt' "quote'and\"double.txt" '$(touch pwned).txt' 'semi;colon.txt' '`touch pwned`.txt' '日本語 メモ.txt' '-dash.txt'; do
  printf 'x\r\n' > "./$name"
  run -- "$name"
  check "name: $name" test $status -eq 0 -a -e "${name%.txt}.htm"
done
check "no shell ran" test ! -e pwned

# Names with control bytes or bytes that are no UTF-8 are printed quoted.
printf 'x' > $'e\e[31m.txt'
printf 'x' > $'s\x95\x5c.txt'
run $'missing\nb.txt' $'e\e[31m.txt' $'s\x95\x5c.txt'
check "quoted name on stderr" test "$(cat err.txt)" = "\$'missing\\nb.txt': ファイルを開けません (ファイルまたはフォルダが見つかりません)"
check "quoted names on stdout" test "$(cut -d: -f1 out.txt | tr '\n' ' ')" = "\$'e\\e[31m.htm' \$'s\\x95\\\\.htm' "

# Reports that cannot be written make the run fail.
"$convert" one.txt >/dev/full 2>err.txt; status=$?
check "stdout full" test $status -eq 1 && check "stdout full: message" has err.txt "標準出力に書き込めません (ディスクの空き容量が足りません)"
"$convert" one.txt >&- 2>err.txt; status=$?
check "stdout closed" test $status -eq 1 -a -e one.htm && check "stdout closed: message" has err.txt "標準出力に書き込めません (閉じられています)"

# --open hands each page to the desktop (how, the launcher's own test checks).
mkdir stub
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s/opened"\n' "$work" > stub/xdg-open
chmod +x stub/xdg-open
PATH="$work/stub:$PATH" run --open one.txt two.txt
for ((i = 0; i < 100 && $(cat opened 2>/dev/null | wc -l) < 2; i++)); do sleep 0.1; done
check "--open" test "$(sort opened | tr '\n' ' ')" = "$work/one.htm $work/two.htm "

echo "cli: $passed passed, $failed failed"
((failed == 0))
