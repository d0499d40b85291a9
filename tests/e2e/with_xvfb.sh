#!/usr/bin/env bash
# Runs a command on a private Xvfb server. The server picks a free display
# itself and names it only once it accepts connections (-displayfd), so that
# neighbouring runs never race for a display number.
#
#   with_xvfb.sh COMMAND...
set -uo pipefail
. "$(dirname "$0")/../lib.sh"
dir=$(mktemp -d)
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" & server=$!
eventually test -s "$dir/display" || { echo "Xvfb did not start:" >&2; cat "$dir/log" >&2; exit 1; }
export DISPLAY=":$(head -1 "$dir/display")"
"$@"
status=$?
((status == 0)) || { echo "Xvfb on $DISPLAY said:" >&2; cat "$dir/log" >&2; }
exit $status
