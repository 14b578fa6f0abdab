#!/bin/bash
# Builds both packages with tools/package.sh and checks them: lintian has no
# error on the .deb, the desktop entry and metainfo validate, the .deb
# unpacked into a scratch root holds the program, the desktop entry, the
# icon at every size and the metainfo, and the zip holds Tarvik.exe and its
# read-me. Prints "N passed, M failed" last; exits non-zero on any failure.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build-package
passed=0
failed=0
result() { # result OK|FAIL what
  if [ "$1" = OK ]; then passed=$((passed + 1)); echo "PASS $2"
  else failed=$((failed + 1)); echo "FAIL $2"; fi
}
check() { # check what command...
  local what=$1; shift
  if "$@"; then result OK "$what"; else result FAIL "$what"; fi
}

"$root/tools/setup.sh" lintian appstream desktop-file-utils dpkg-dev >/dev/null
log=${TMPDIR:-/tmp}/tarvik-package.log
if ! bash "$root/tools/package.sh" >"$log" 2>&1; then
  result FAIL "tools/package.sh (see $log)"
  tail -20 "$log"
  echo "$passed passed, $failed failed"
  exit 1
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
deb=$out/tarvik_${version}_amd64.deb
zip=$out/Tarvik-$version-win32.zip
check "tools/package.sh built $(basename "$deb") and $(basename "$zip")" test -f "$deb" -a -f "$zip"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# ------------------------------------------------------------- lintian
lintian --no-tag-display-limit "$deb" >"$scratch/lintian.txt" 2>&1
if grep -q '^E: ' "$scratch/lintian.txt"; then
  result FAIL "lintian reports no error"
  grep '^E: ' "$scratch/lintian.txt"
else
  result OK "lintian reports no error$(grep -c '^W: ' "$scratch/lintian.txt" | sed 's/^0$//; s/.\+/ (& warnings)/')"
fi
grep '^W: ' "$scratch/lintian.txt"

# ------------------------------------------------------ the package's fields
field() { dpkg-deb -f "$deb" "$1"; }
check "package tarvik $version, section misc" \
  test "$(field Package) $(field Version) $(field Section)" = "tarvik $version misc"
depends=$(field Depends)
check "Depends from the program's libraries: $depends" \
  bash -c '[[ $1 == *libqt6widgets6* && $1 == *libqt6gui6* && $1 == *libc6* && $1 == *libstdc++6* ]]' _ "$depends"
check "a maintainer and a long description" \
  bash -c '[[ -n $(dpkg-deb -f "$1" Maintainer) && $(dpkg-deb -f "$1" Description | wc -l) -ge 3 ]]' _ "$deb"

# ---------------------------------------------- unpacked into a scratch root
dest=$scratch/root
dpkg-deb -x "$deb" "$dest"
check "usr/bin/Tarvik is a stripped executable" \
  bash -c 'test -x "$1" && file -b "$1" | grep -q "ELF 64-bit.*, stripped"' _ "$dest/usr/bin/Tarvik"
check "usr/bin/tarvik is a link to Tarvik" test "$(readlink "$dest/usr/bin/tarvik")" = Tarvik
check "usr/share/doc/tarvik holds copyright and changelog.gz" \
  bash -c 'test -s "$1/copyright" && gzip -t "$1/changelog.gz"' _ "$dest/usr/share/doc/tarvik"

desktop=$dest/usr/share/applications/tarvik.desktop
check "desktop-file-validate accepts tarvik.desktop" desktop-file-validate "$desktop"
key() { sed -n "s/^$1=//p" "$desktop"; }
check "desktop entry: Name=Tarvik Icon=tarvik StartupWMClass=Tarvik, Office" \
  test "$(key Name) $(key Icon) $(key StartupWMClass) $(key Categories)" = "Tarvik tarvik Tarvik Office;"
exec_line=$(key Exec)
check "desktop entry's Exec ($exec_line) names the packaged program and no field code" \
  bash -c '[[ -x $2/usr/bin/$1 && $1 != *%* ]]' _ "$exec_line" "$dest"

metainfo=$dest/usr/share/metainfo/tarvik.metainfo.xml
# The id is tarvik, the desktop file name and Wayland app id the program
# announces; AppStream 0.16 would have a reverse-DNS name, a warning it
# counts as failure, here shown as a note instead.
check "appstreamcli validate accepts tarvik.metainfo.xml" \
  bash -c 'appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info "$1" >/dev/null' _ "$metainfo"
check "metainfo: id tarvik, launchable tarvik.desktop, content rating, release $version" \
  python3 - "$metainfo" "$version" <<'PY'
import sys, xml.etree.ElementTree as ET
c = ET.parse(sys.argv[1]).getroot()
launch = c.find("launchable")
assert c.get("type") == "desktop-application", c.get("type")
assert c.findtext("id") == "tarvik"
assert launch.get("type") == "desktop-id" and launch.text == "tarvik.desktop"
assert c.find("content_rating") is not None
assert c.find("releases/release").get("version") == sys.argv[2]
PY

for size in 32 48 64 128 256; do
  png=$dest/usr/share/icons/hicolor/${size}x${size}/apps/tarvik.png
  check "hicolor ${size}x${size} icon is a ${size}x${size} PNG with transparency" \
    bash -c '[[ $(identify -format "%m %w %h %A" "$1" 2>/dev/null) =~ ^"PNG $2 $2 "(True|Blend)$ ]]' _ "$png" "$size"
  # Each size is the program's own icon, enlarged pixel by pixel: scaled
  # back to 32x32 by sampling, it is the .ico's image exactly.
  diff=$(convert "$png" -sample 32x32 png:- | compare -metric AE "$root/launcher/Tarvik.ico" png:- null: 2>&1)
  check "${size}x${size} icon is the program's icon, nearest-neighbour ($diff pixels differ)" test "$diff" = 0
done

# ------------------------------------------------------------- the zip
contents=$(python3 -m zipfile -l "$zip" | awk 'NR > 1 { print $1 }' | sort | tr '\n' ' ')
echo "     $(basename "$zip"): $contents"
check "the zip holds Tarvik.exe and README.txt" test "$contents" = "README.txt Tarvik.exe "
mkdir "$scratch/zip"
python3 -m zipfile -e "$zip" "$scratch/zip"
check "the zip's Tarvik.exe is the 32-bit Windows GUI program" \
  bash -c 'file -b "$1" | grep -q "^PE32 executable (GUI) Intel 80386" && cmp -s "$1" "$2"' _ \
  "$scratch/zip/Tarvik.exe" "$root/build-win32/launcher/Tarvik.exe"
check "the zip's README.txt has Windows line ends" \
  bash -c 'test "$(grep -c $'"'"'\r$'"'"' "$1")" = "$(wc -l <"$1")"' _ "$scratch/zip/README.txt"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
