#!/bin/bash
# Builds Tarvik's two packages into build-package/:
#   tarvik_<version>_amd64.deb    the Linux program, desktop entry, icons and
#                                 metainfo, from a Release build (cpack)
#   Tarvik-<version>-win32.zip    Tarvik.exe, cross-built into build-win32/,
#                                 and README.txt
# Installs the Debian packages it needs first, as tools/setup.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-package

"$root/tools/setup.sh" dpkg-dev g++-mingw-w64-i686

# The .deb. Its Depends come from dpkg-shlibdeps on the stripped program.
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$out" --parallel "$(nproc)"
rm -f "$out"/tarvik_*.deb
(cd "$out" && cpack -G DEB)

# The Windows program, and the zip: Tarvik.exe and the read-me, at the top
# so both land beside the workbook when unzipped there.
"$root/tools/build-windows.sh"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
zip=$out/Tarvik-$version-win32.zip
rm -f "$zip"
python3 - "$zip" "$root/build-win32/launcher/Tarvik.exe" "$root/packaging/README-windows.txt" <<'PY'
import sys, zipfile
zip_path, exe, readme = sys.argv[1:]
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
    z.write(exe, "Tarvik.exe")
    z.write(readme, "README.txt")
PY
echo "Built:"
ls -l "$out"/tarvik_*.deb "$zip"
