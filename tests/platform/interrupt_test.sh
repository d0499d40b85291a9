#!/usr/bin/env bash
# A conversion ended by a signal leaves its folder as it was: the text file,
# the earlier page whole (or the new one, had it just been put in place) and
# no temporary file. SIGKILL gives the program no chance to tidy up, so after
# it the next run in that folder must.
set -uo pipefail
convert=$(realpath "$1")
work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
cd "$work"
failed=0

# About 1 MB, written in some sixteen pieces, so that half way lies between two.
yes "$(printf '%0200d' 0)" | head -n 5000 >big.txt
mkdir reference && ln big.txt reference/big.txt
# Each run is started inside its folder, so that every page has the same title.
(cd reference && "$convert" --quiet big.txt >/dev/null) || { echo "FAIL: reference run" >&2; exit 1; }
half=$(($(stat -c %s reference/big.htm) / 2))

# A conversion takes milliseconds, too short to be caught by watching it. Each
# run is traced instead and held still after each system call until it has
# reached its moment: start (just after exec), writing (a page descriptor open
# in the folder; an unnamed file reads as "DIR/#NNN (deleted)"), half (more
# than half the page written) or named (the temporary page has a name, just
# before it is put in place). The signal is sent then and the run let go.
# Arguments: HALF CONVERTER and the folders SIGNAL-MOMENT-EARLIER; prints each
# folder with the status a shell would report for its run. One watcher for all
# runs, as starting the interpreter costs more than a run.
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
            if moment == "writing":
                return True
            with open(f"/proc/{pid}/fdinfo/{fd}") as info:
                return int(info.readline().split()[1]) > int(sys.argv[1])
    return moment == "start"

def interrupt(name, moment, folder):
    pid = os.fork()
    if pid == 0:
        os.chdir(folder)
        for caught in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGPIPE):
            signal.signal(caught, signal.SIG_DFL)
        if libc.ptrace(TRACEME, 0, 0, 0) != 0:
            sys.exit("cannot trace: " + os.strerror(ctypes.get_errno()))
        quiet = os.open(os.devnull, os.O_WRONLY)
        os.dup2(quiet, 1)
        os.dup2(quiet, 2)
        os.execv(sys.argv[2], [sys.argv[2], "--quiet", "big.txt"])
    _, status = os.waitpid(pid, 0)
    while os.WIFSTOPPED(status):
        if reached(pid, moment, folder):
            os.kill(pid, getattr(signal, "SIG" + name))
            libc.ptrace(DETACH, pid, 0, 0)
            _, status = os.waitpid(pid, 0)
            break
        stop = os.WSTOPSIG(status)
        libc.ptrace(SYSCALL, pid, 0, 0 if stop == signal.SIGTRAP else stop)
        _, status = os.waitpid(pid, 0)
    code = os.waitstatus_to_exitcode(status)
    return 128 - code if code < 0 else code

for row in sys.argv[3:]:
    name, moment, _ = row.split("-")
    print(row, interrupt(name, moment, os.path.abspath(row)), flush=True)
'

rows=()
for signal in INT TERM HUP KILL; do
  for moment in start writing half named; do
    for earlier in yes no; do
      dir=$signal-$moment-$earlier
      mkdir "$dir" && ln big.txt "$dir/big.txt"
      [ $earlier = yes ] && echo "earlier page" >"$dir/big.htm"
      rows+=("$dir")
    done
  done
done

python3 -c "$watcher" $half "$convert" "${rows[@]}" >statuses
while read -r dir status; do
  signal=${dir%%-*} earlier=${dir##*-}
  [ "$status" -eq $((128 + $(kill -l $signal))) ] || { echo "FAIL: $dir: ended with status $status" >&2; failed=$((failed + 1)); }
  if [ $signal = KILL ]; then
    echo x >"$dir/small.txt"
    "$convert" --quiet "$dir/small.txt" >/dev/null && rm "$dir/small.txt" "$dir/small.htm"
  fi
  expected="big.txt"
  if [ -e "$dir/big.htm" ]; then
    expected="big.htm big.txt"
    { [ $earlier = yes ] && [ "$(cat "$dir/big.htm")" = "earlier page" ]; } ||
      cmp -s "$dir/big.htm" reference/big.htm || { echo "FAIL: $dir: the page is not whole" >&2; failed=$((failed + 1)); }
  elif [ $earlier = yes ]; then
    echo "FAIL: $dir: the earlier page is gone" >&2; failed=$((failed + 1))
  fi
  left=$(ls -A "$dir" | tr '\n' ' ')
  [ "$left" = "$expected " ] || { echo "FAIL: $dir holds: $left" >&2; failed=$((failed + 1)); }
done <statuses
[ $(wc -l <statuses) -eq ${#rows[@]} ] || { echo "FAIL: the watcher stopped after $(wc -l <statuses) runs" >&2; failed=$((failed + 1)); }
echo "$failed failed"
[ $failed -eq 0 ]
