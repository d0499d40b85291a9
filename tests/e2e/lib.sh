# Shared by the shell tests that drive the real programs on an X server.
# check NAME COMMAND...: counts COMMAND's success or failure, naming failures.
passed=0 failed=0
check() {
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name" >&2; fi
}
# eventually COMMAND...: the command succeeds within ten seconds (a slow machine
# or a sanitized build may take a while to act on a key).
eventually() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}
# window NAME: the id of the first window of that name, once one exists.
window() {
  for _ in $(seq 100); do
    xdotool search --name "$1" 2>/dev/null | head -1 | grep . && return
    sleep 0.1
  done
}
gone() { ! xdotool search --name "$1" >/dev/null 2>&1; }
alt() { xdotool keydown Alt_L key "$1" keyup Alt_L; }
# press_until KEY WINDOW NAME: a loaded machine may take a moment to give a new
# window the keyboard, so KEY is pressed in WINDOW again until a window NAME exists.
press_until() {
  local id
  for _ in $(seq 20); do
    xdotool windowfocus --sync "$2" 2>/dev/null
    xdotool key "$1"
    for _ in $(seq 10); do
      id=$(xdotool search --name "$3" 2>/dev/null | head -1)
      [[ -n "$id" ]] && { echo "$id"; return; }
      sleep 0.1
    done
  done
}
# stub_opener DIR: an xdg-open in DIR that records what it was asked to open in $OPENED.
stub_opener() {
  mkdir -p "$1"
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"$OPENED"\n' >"$1/xdg-open"
  chmod 755 "$1/xdg-open"
}
summary() { echo "$1: $passed passed, $failed failed"; ((failed == 0)); }
