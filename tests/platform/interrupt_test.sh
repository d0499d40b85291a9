#!/usr/bin/env bash
# A conversion ended by a signal leaves its folder as it was: the text file,
# the earlier page whole (or the new one, had it just been put in place) and
# no temporary file. SIGKILL gives the program no chance to tidy up, so after
# it the next run in that folder must.
set -uo pipefail
convert=$(realpath "$1")
. "$(dirname "$0")/../lib.sh"
cd "$work"

# About 1 MB, written in some sixteen pieces, so that half way lies between two.
# Each run starts inside its folder, so that every page has the same title.
yes "$(printf '%0200d' 0)" | head -n 5000 >big.txt
mkdir reference && ln big.txt reference/big.txt
(cd reference && "$convert" --quiet big.txt >/dev/null) || { echo "FAIL: reference run" >&2; exit 1; }
half=$(($(stat -c %s reference/big.htm) / 2))

# A run is too short to catch by watching: each is traced and held after each
# system call until its moment, start (just after exec), writing (a page open
# in the folder; an unnamed file reads "DIR/#NNN (deleted)"), half (over half
# the page written) or named (the temporary page has a name, just before it is
# put in place); then it gets the signal and is let go. A row whose third part
# is "many" converts a whole folder of small texts (-r) instead of big.txt.
# Arguments: HALF CONVERTER SIGNAL-MOMENT-EARLIER...; one watcher for all, as
# Python starts slower than a run.
watcher='
import ctypes, os, signal, sys
libc = ctypes.CDLL(None, use_errno=True)
libc.ptrace.argtypes = [ctypes.c_long] * 4
TRACEME, DETACH, SYSCALL = 0, 17, 24

def reached(pid, moment, folder):
    if moment == "named":
        return any(entry.startswith(".morlavin-") for entry in os.listdir(folder))
    for fd in os.listdir(f"/proc/{pid}/fd"):
        target = os.readlink(f"/proc/{pid}/fd/{fd}")
        if target.startswith(folder + "/") and target != folder + "/big.txt":
            with open(f"/proc/{pid}/fdinfo/{fd}") as info:
                return moment == "writing" or int(info.readline().split()[1]) > int(sys.argv[1])
    return moment == "start"

def interrupt(name, moment, folder, arguments):
    pid = os.fork()
    if pid == 0:
        os.chdir(folder)
        os.dup2(os.open(os.devnull, os.O_WRONLY), 1)
        for caught in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGPIPE):
            signal.signal(caught, signal.SIG_DFL)
        if libc.ptrace(TRACEME, 0, 0, 0) != 0:
            sys.exit("cannot trace: " + os.strerror(ctypes.get_errno()))
        os.execv(sys.argv[2], [sys.argv[2], "--quiet", *arguments])
    _, status = os.waitpid(pid, 0)
    while os.WIFSTOPPED(status) and not reached(pid, moment, folder):
        stop = os.WSTOPSIG(status)
        libc.ptrace(SYSCALL, pid, 0, 0 if stop == signal.SIGTRAP else stop)
        _, status = os.waitpid(pid, 0)
    if os.WIFSTOPPED(status):
        os.kill(pid, getattr(signal, "SIG" + name))
        libc.ptrace(DETACH, pid, 0, 0)
        _, status = os.waitpid(pid, 0)
    code = os.waitstatus_to_exitcode(status)
    return 128 - code if code < 0 else code

for row in sys.argv[3:]:
    name, moment, kind = row.split("-")
    arguments = ["--title", "x", "-r", "."] if kind == "many" else ["big.txt"]
    print(row, interrupt(name, moment, os.path.abspath(row), arguments), flush=True)
'

echo "earlier page" >earlier.htm
rows=({INT,TERM,HUP,KILL}-{start,writing,half,named}-{yes,no})
for dir in "${rows[@]}"; do
  mkdir "$dir" && ln big.txt "$dir/big.txt"
  [[ $dir == *-yes ]] && cp earlier.htm "$dir/big.htm"
done
# A folder of many small texts, ended as its first page gets its name: the
# pages written are whole and a signal leaves no temporary file; what SIGKILL
# leaves, the next run over the folder removes, once, before its own pages.
mkdir many && printf 'small\r\n' >many/t0000.txt
for i in $(seq 1 999); do ln many/t0000.txt "many/t$(printf %04d "$i").txt"; done
(cd many && "$convert" --quiet --title x t0000.txt >/dev/null && mv t0000.htm ../small.htm)
many=({INT,TERM,HUP,KILL}-named-many)
for dir in "${many[@]}"; do cp -r many "$dir"; done
# whole PAGE: no page, the earlier one untouched, or the new one entire.
whole() { [ ! -e "$1" ] || cmp -s "$1" earlier.htm || cmp -s "$1" reference/big.htm; }

python3 -c "$watcher" $half "$convert" "${rows[@]}" "${many[@]}" >statuses
pages_whole() { for page in "$1"/*.htm; do [ ! -e "$page" ] || cmp -s "$page" small.htm || return 1; done; }
while read -r dir status; do
  if [[ $dir == *-many ]]; then
    check "$dir: ended with status $status" test "$status" -eq $((128 + $(kill -l ${dir%%-*})))
    check "$dir: the pages written are whole" pages_whole "$dir"
    if [ ${dir%%-*} = KILL ]; then
      check "$dir: the killed run left its temporary file" test "$(ls -A "$dir" | grep -c '^\.morlavin-')" -eq 1
      (cd "$dir" && "$convert" --quiet --title x -r . >/dev/null)
      check "$dir: the next run wrote every page" test "$(ls "$dir" | grep -c '\.htm$')" -eq 1000
      check "$dir: ... whole" pages_whole "$dir"
    fi
    check "$dir: no temporary file" test -z "$(ls -A "$dir" | grep '^\.morlavin-')"
    continue
  fi
  signal=${dir%%-*} earlier=${dir##*-}
  check "$dir: ended with status $status" test "$status" -eq $((128 + $(kill -l $signal)))
  if [ $signal = KILL ]; then
    echo x >"$dir/small.txt"
    "$convert" --quiet "$dir/small.txt" >/dev/null && rm "$dir/small.txt" "$dir/small.htm"
  fi
  check "$dir: the page is whole" whole "$dir/big.htm"
  left=$(ls -A "$dir" | tr '\n' ' ')
  # An earlier page stays; without one, the new page is there or not.
  check "$dir holds: $left" test "$left" = "big.htm big.txt " -o "$earlier$left" = "nobig.txt "
done <statuses
check "the watcher ran every run" test $(wc -l <statuses) -eq $((${#rows[@]} + ${#many[@]}))
summary interrupted
