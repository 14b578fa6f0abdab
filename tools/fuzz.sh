#!/bin/bash
# Fuzzes the form-description reader with libFuzzer for SECONDS (default 60),
# starting from the seed corpus; prints libFuzzer's figures and fails on any
# crash, leak or timeout. A long run: tools/fuzz.sh 3600
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
"$root/tools/setup.sh" clang libclang-rt-14-dev

build="$root/build-fuzz"
CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target dfm_reader_fuzz

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/tests/fuzz/corpus/* "$corpus"/
cd "$build"
"$build/tests/fuzz/dfm_reader_fuzz" "$corpus" "$root/tests/fuzz/corpus" \
  -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -malloc_limit_mb=256 \
  -print_final_stats=1 2>&1 | tail -25
