#!/usr/bin/env bash
# Fuzzes the core with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   fuzz/run.sh [SECONDS] [TARGET...]     (default: 60 seconds, every target)
#
# Builds into build-fuzz/ with clang, keeps each target's growing corpus in
# build-fuzz/corpus/TARGET (seeded from fuzz/corpus/TARGET), and stops at the
# first finding, leaving the input as build-fuzz/crash-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
"$root/scripts/ensure-packages" clang libclang-rt-14-dev cmake ninja-build
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DMORLAVIN_LIBFUZZER=ON -DMORLAVIN_BUILD_TESTS=OFF \
  -DMORLAVIN_BUILD_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
targets=("$@")
((${#targets[@]})) || targets=(profile_file setting_number line_conversion output_name title_import encoding)
cmake --build "$root/build-fuzz" --target "${targets[@]/%/_fuzz}"
for target in "${targets[@]}"; do
  corpus="$root/build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target: $seconds s"
  (cd "$root/build-fuzz" && "./fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=4096 \
     -print_final_stats=1 "$corpus" 2>&1 | grep -E "^(stat::number_of_executed_units|stat::peak_rss|#.*DONE|==|SUMMARY|property)" )
done
