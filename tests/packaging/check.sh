#!/bin/bash
# Builds both packages with tools/package.sh and checks them: lintian has no
# error on the .deb, its dependencies resolve here, the .deb installed by
# dpkg into a scratch root holds the program, the desktop entry, the icon at
# every size and the metainfo (which validate), the installed program's
# window class is the desktop entry's, purging it leaves nothing behind, and
# the zip holds Tarvik.exe and its read-me. Prints "N passed, M failed" last;
# exits non-zero on any failure.
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

"$root/tools/setup.sh" lintian appstream desktop-file-utils dpkg-dev xvfb x11-utils xdotool >/dev/null
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
check "Depends on the program's libraries and the open service: $depends" \
  bash -c '[[ $1 == *libqt6widgets6* && $1 == *libqt6gui6* && $1 == *libc6* && $1 == *libstdc++6* && $1 == *xdg-utils* ]]' _ "$depends"
check "Recommends the layout's font and the Wayland platform: $(field Recommends)" \
  test "$(field Recommends)" = "fonts-liberation, qt6-wayland"
check "a maintainer and a long description" \
  bash -c '[[ -n $(dpkg-deb -f "$1" Maintainer) && $(dpkg-deb -f "$1" Description | wc -l) -ge 3 ]]' _ "$deb"

# Every dependency is satisfied on this machine, or can be from the archive.
check "apt can satisfy the package's dependencies" \
  bash -c 'apt-get install -s -q "$1" >"$2/apt.txt" 2>&1 || { tail -5 "$2/apt.txt"; false; }' _ "$deb" "$scratch"

# ---------------------------------------------- installed into a scratch root
# dpkg installs into its own database there; the libraries the package
# depends on are this machine's, not the scratch root's, hence force-depends.
dest=$scratch/root
mkdir -p "$dest/var/lib/dpkg/info" "$dest/var/lib/dpkg/updates"
: >"$dest/var/lib/dpkg/status"
if out=$(dpkg --root="$dest" --force-depends --force-script-chrootless -i "$deb" 2>&1); then
  result OK "dpkg installs the package into a scratch root"
else
  result FAIL "dpkg installs the package into a scratch root"; echo "$out" | tail -5
fi
check "dpkg knows it installed" \
  test "$(dpkg-query --admindir="$dest/var/lib/dpkg" -W -f='${Status}' tarvik 2>/dev/null)" = "install ok installed"
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

metainfo=$dest/usr/share/metainfo/org.lathmere.tarvik.metainfo.xml
# The component has a reverse-DNS id, as AppStream asks of desktop
# applications; its launchable is tarvik.desktop, whose name is also the
# Wayland app id and the X11 window class the program announces.
check "appstreamcli validate accepts the metainfo, pedantic notes included" \
  bash -c 'out=$(appstreamcli validate --no-net --pedantic "$1") && ! grep -q "^[EWIP]:" <<<"$out"' _ "$metainfo"
check "metainfo: id org.lathmere.tarvik, launchable tarvik.desktop, content rating, release $version" \
  python3 - "$metainfo" "$version" <<'PY'
import sys, xml.etree.ElementTree as ET
c = ET.parse(sys.argv[1]).getroot()
launch = c.find("launchable")
assert c.get("type") == "desktop-application", c.get("type")
assert c.findtext("id") == "org.lathmere.tarvik"
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

# The installed program's window has the desktop entry's window class, so
# the desktop shows the entry's name and icon for it.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$scratch/display")
mkdir "$scratch/work"
(cd "$scratch/work" && exec "$dest/usr/bin/$exec_line" >/dev/null 2>&1) &
program=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Lathmere$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
class=$( [ -n "$window" ] && xprop -id "$window" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"$/\1 \2/p')
check "installed program's window class ($class) is the entry's StartupWMClass ($(key StartupWMClass))" \
  test "${class#* }" = "$(key StartupWMClass)"
kill "$program" "$xvfb" 2>/dev/null
wait "$program" "$xvfb" 2>/dev/null
unset DISPLAY

# Purged, the package leaves no file of its own behind.
dpkg --root="$dest" --force-depends --force-script-chrootless --purge tarvik >/dev/null 2>&1
check "dpkg --purge leaves no file behind" \
  test -z "$(find "$dest" -path "$dest/var/lib/dpkg" -prune -o ! -type d -print)"

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
