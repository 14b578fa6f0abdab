#!/bin/bash
# Sets up everything and runs every test: the layer's and the program's unit
# tests, the widget tests, the end-to-end tests on a virtual X server, and
# the Windows build's tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/setup.sh"
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-test" --parallel "$(nproc)"
ctest --test-dir "$root/build-test" --output-on-failure --parallel "$(nproc)"

if [[ -x "$root/tests/wine/run.sh" ]]; then
  "$root/tests/wine/run.sh"
fi
