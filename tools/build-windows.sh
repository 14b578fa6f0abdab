#!/bin/sh
# Cross-builds the 32-bit Windows program (and, unless BUILD_TESTING=OFF,
# its tests) with mingw-w64 into build-win32/:
#   tools/build-windows.sh            # Release
#   BUILD_TYPE=Debug tools/build-windows.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-win32}

need=""
command -v i686-w64-mingw32-g++ >/dev/null 2>&1 || need="$need g++-mingw-w64-i686"
command -v cmake >/dev/null 2>&1 || need="$need cmake"
if [ "${BUILD_TESTING:-ON}" = ON ] && [ ! -f /usr/src/googletest/CMakeLists.txt ]; then
  need="$need googletest"
fi
if [ -n "$need" ]; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $need
fi

cmake -S "$root" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" \
  -DBUILD_TESTING="${BUILD_TESTING:-ON}"
cmake --build "$build" --parallel "$(nproc)"
