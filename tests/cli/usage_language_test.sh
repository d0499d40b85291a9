#!/usr/bin/env bash
# morlavin-convert speaks the user's messages language in its help and usage
# errors: each row of tests/data/cli/usage_language.txt.
#
#   usage_language_test.sh MORLAVIN_CONVERT TABLE
set -uo pipefail
convert=$1
passed=0 failed=0
while IFS='|' read -r environment arguments expected; do
  [[ "$environment" =~ ^# || -z "$environment" ]] && continue
  read -ra environment <<<"$environment"
  [[ "${environment[0]}" == - ]] && environment=()
  read -ra arguments <<<"$arguments"
  expected=${expected# }
  if [[ "${arguments[0]:-}" == --help ]]; then
    first=$(env -u LC_ALL -u LC_MESSAGES -u LANG "${environment[@]}" "$convert" "${arguments[@]}" 2>/dev/null | head -1)
  else
    first=$(env -u LC_ALL -u LC_MESSAGES -u LANG "${environment[@]}" "$convert" "${arguments[@]}" 2>&1 >/dev/null | head -1)
  fi
  if [[ "$first" == "$expected"* ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: ${environment[*]} ${arguments[*]}: got '$first', expected '$expected'" >&2
  fi
done <"$2"
echo "usage language: $passed passed, $failed failed"
((failed == 0 && passed > 0))
