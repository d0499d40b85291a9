# Shared by the shell tests.
# The test data, and a scratch folder. At exit, after the test's own tidy-up, the
# programs in $pids are ended (the X server waited for), then the folder goes.
data=$(cd "$(dirname "${BASH_SOURCE[0]}")/data" && pwd)
work=$(realpath "$(mktemp -d)")
pids=()
tidy() { :; }
trap 'tidy; kill "${pids[@]}" 2>/dev/null; [[ -z ${server-} ]] || wait $server; rm -rf "$work"' EXIT
# check NAME COMMAND...: counts COMMAND's success or failure, naming failures.
passed=0 failed=0
check() {
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name" >&2; fi
}
summary() { echo "$1: $passed passed, $failed failed"; ((failed == 0)); }
# have TOOL: TOOL is installed; otherwise says that what needs it is skipped.
have() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed" >&2; return 1; }; }
# eventually COMMAND...: the command succeeds within $tries tenths of a second,
# ten seconds unless told: a slow machine may take a while to act on a key.
eventually() {
  for _ in $(seq "${tries:-100}"); do "$@" && return 0; sleep 0.1; done
  return 1
}
# xvfb: a private X server for DISPLAY. It picks a free display itself and names it
# only once it accepts connections, so that neighbouring runs never race for one.
# It does not reset when its last client leaves: a program connecting just then
# would be refused.
xvfb() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" & server=$! pids+=($!)
  eventually test -s "$work/display" || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -1 "$work/display")"
}
# window NAME: the id of the first visible window of that name, once one exists
# (a search can succeed empty-handed while windows come and go).
found() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 | grep .; }
window() { eventually found "$1"; }
# alt KEY, menu KEY: Alt+KEY, or the File menu's entry KEY, in the window $main.
alt() { xdotool windowfocus --sync "$main" 2>/dev/null; xdotool keydown Alt_L key "$1" keyup Alt_L; }
menu() { alt f; xdotool key "$1"; }
