#!/bin/bash
# Sets up everything and runs every test: the layer's and the program's unit
# tests, the widget tests, the end-to-end tests on a virtual X server (once
# plain, once under AddressSanitizer and UndefinedBehaviorSanitizer), a short
# fuzzing run of the form-description reader, and the Windows build's tests
# under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/setup.sh"
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-test" --parallel "$(nproc)"
ctest --test-dir "$root/build-test" --output-on-failure --parallel "$(nproc)"

# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Sanitize >/dev/null
cmake --build "$root/build-asan" --parallel "$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure --parallel "$(nproc)"

# A short run of the form-description fuzzer.
"$root/tools/fuzz.sh" 60

if [[ -x "$root/tests/wine/run.sh" ]]; then
  "$root/tests/wine/run.sh"
fi

# The Linux package and the Windows zip, built and checked.
"$root/tests/packaging/check.sh"

# The Linux program on Wayland, under a headless Weston.
"$root/tests/wayland/check.sh"
