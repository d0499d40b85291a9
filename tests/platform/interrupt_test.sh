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

# About 36 MB: long enough to be caught half way.
yes "$(printf '%0600d' 0)" | head -n 60000 >big.txt
mkdir reference && ln big.txt reference/big.txt
# Each run is started inside its folder, so that every page has the same title.
(cd reference && "$convert" --quiet big.txt >/dev/null) || { echo "FAIL: reference run" >&2; exit 1; }

# writingFd PID DIR: the descriptor through which PID writes into DIR, if any.
writingFd() {
  local fd
  for fd in /proc/"$1"/fd/*; do
    case $(readlink "$fd" 2>/dev/null) in "$work/$2/big.txt") ;; "$work/$2/"*) echo "$fd"; return 0 ;; esac
  done
  return 1
}

# waitFor MOMENT PID DIR: returns once the run has reached MOMENT, or has
# ended. A signal sent before the converter has replaced the shell's child
# would end that shell instead (and run its EXIT trap).
waitFor() {
  local fd key position
  while kill -0 "$2" 2>/dev/null; do
    case $1 in
      start) [ "$(readlink /proc/"$2"/exe)" = "$convert" ] && return ;;
      writing) writingFd "$2" "$3" >/dev/null && return ;;
      half)
        # The page grows by a gigabyte a second: watched without a process
        # started per look, it is caught with a megabyte written.
        if fd=$(writingFd "$2" "$3"); then
          while read -r key position <"/proc/$2/fdinfo/${fd##*/}"; do ((position > 1000000)) && return; done 2>/dev/null
          return
        fi ;;
    esac
    sleep 0.005
  done
}

for signal in INT TERM HUP KILL; do
  for moment in start writing half; do
    for earlier in yes no; do
      dir=$signal-$moment-$earlier
      mkdir "$dir" && ln big.txt "$dir/big.txt"
      [ $earlier = yes ] && echo "earlier page" >"$dir/big.htm"
      # Background jobs of a script ignore SIGINT unless told otherwise.
      (cd "$dir" && exec env --default-signal=INT,TERM,HUP "$convert" --quiet big.txt >/dev/null 2>&1) &
      pid=$!
      waitFor start $pid "$dir"
      waitFor $moment $pid "$dir"
      kill -s $signal $pid 2>/dev/null
      wait $pid 2>/dev/null
      status=$?
      # Only a run caught at the end may have finished first.
      if [ $moment != half ] && [ $status -ne $((128 + $(kill -l $signal))) ]; then
        echo "FAIL: $dir: ended with status $status" >&2; failed=$((failed + 1))
      fi
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
      rm -rf "$dir"
    done
  done
done
echo "$failed failed"
[ $failed -eq 0 ]
