#!/usr/bin/env bash
# morlavin-convert's help, version and usage errors, with their exit status,
# in the user's messages language: each row of tests/data/cli/usage_language.txt.
#
#   usage_language_test.sh MORLAVIN_CONVERT TABLE
set -uo pipefail
convert=$1
passed=0 failed=0
while IFS='|' read -r environment arguments want expected; do
  [[ "$environment" =~ ^# || -z "$environment" ]] && continue
  read -ra environment <<<"$environment"
  [[ "${environment[0]}" == - ]] && environment=()
  read -ra arguments <<<"$arguments"
  expected=${expected# } want=${want// /}
  output=$(env -u LC_ALL -u LC_MESSAGES -u LANG "${environment[@]}" "$convert" "${arguments[@]}" 2>&1 >/dev/null)
  status=$?
  ((want == 0)) && output=$(env -u LC_ALL -u LC_MESSAGES -u LANG "${environment[@]}" "$convert" "${arguments[@]}")
  first=${output%%$'\n'*}
  [[ $expected == '<'* ]] && first=$output\$ expected=$(cat "$(dirname "$2")/${expected#<}")\$
  if [[ $status == "$want" && "$first" == "$expected"* ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: ${environment[*]} ${arguments[*]}: status $status, got '$first', expected $want '$expected'" >&2
  fi
done <"$2"
echo "usage language: $passed passed, $failed failed"
((failed == 0 && passed > 0))
