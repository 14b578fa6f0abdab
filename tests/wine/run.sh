#!/bin/bash
# Builds the 32-bit Windows program and its tests with mingw-w64 and runs
# them under Wine on a private virtual X server, in a fresh Wine prefix:
# the core's and the form's unit tests, then the end-to-end driver.
# Prints "N passed, M failed" last; exits non-zero on any failure.
set -u
# Paths hold non-ASCII characters: Wine reads them from a UTF-8 locale.
export LC_ALL=C.UTF-8
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-win32}
passed=0
failed=0
result() { # result OK|FAIL what
  if [ "$1" = OK ]; then passed=$((passed + 1)); echo "PASS $2"
  else failed=$((failed + 1)); echo "FAIL $2"; fi
}

# ------------------------------------------------------------ packages
need=""
dpkg --print-foreign-architectures | grep -qx i386 || { dpkg --add-architecture i386; need=update; }
for package in wine wine32:i386 wine64 xvfb xdotool g++-mingw-w64-i686 cmake googletest; do
  dpkg -s "$package" >/dev/null 2>&1 || need="$need $package"
done
if [ -n "$need" ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${need//update/} >/dev/null
fi

# --------------------------------------------------------------- build
if "$root/tools/build-windows.sh" >"${TMPDIR:-/tmp}/tarvik-win32-build.log" 2>&1; then
  result OK "cross build of every target"
else
  # Keep going with whatever was built; the log says what did not.
  cmake --build "$build" -- -k >>"${TMPDIR:-/tmp}/tarvik-win32-build.log" 2>&1
  result FAIL "cross build of every target (see ${TMPDIR:-/tmp}/tarvik-win32-build.log)"
  grep -E "error:" "${TMPDIR:-/tmp}/tarvik-win32-build.log" | sort -u | head -5
fi
for exe in launcher/Tarvik.exe launcher/Tarvik-without-form.exe tests/wine/tarvik_wine_driver.exe \
           tests/wine/xls_recorder.exe tests/wine/probe.exe tests/wine/planted/uxtheme.dll; do
  [ -f "$build/$exe" ] || { result FAIL "built $exe"; echo "$passed passed, $failed failed"; exit 1; }
done

# Self-contained: the programs import system DLLs only.
for exe in Tarvik.exe Tarvik-without-form.exe; do
  imports=$(i686-w64-mingw32-objdump -p "$build/launcher/$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
  others=$(for dll in $imports; do
    case $dll in kernel32.dll|user32.dll|gdi32.dll|shell32.dll|ole32.dll|comctl32.dll|msvcrt.dll|advapi32.dll) ;; *) echo "$dll" ;; esac
  done)
  if [ -z "$others" ]; then result OK "$exe imports system DLLs only ($imports)"
  else result FAIL "$exe imports $others"; fi
done
echo "     Tarvik.exe: $(stat -c %s "$build/launcher/Tarvik.exe") bytes"

# ---------------------------------------------- X server and Wine prefix
display=77
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-wine.XXXXXX")
cleanup() {
  wineserver -k >/dev/null 2>&1
  kill "$xvfb" 2>/dev/null
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

# The program, its helpers and the planted DLLs in one folder, and two
# working directories, all with spaces in their names.
app="$WINEPREFIX/drive_c/Tarvik app"
work="$WINEPREFIX/drive_c/work dir"
empty="$WINEPREFIX/drive_c/empty dir"
intl="$WINEPREFIX/drive_c/dossier été Λ"
mkdir -p "$app" "$work" "$empty" "$intl"
cp "$build"/launcher/Tarvik.exe "$build"/launcher/Tarvik-without-form.exe \
   "$build"/tests/wine/xls_recorder.exe "$build"/tests/wine/probe.exe \
   "$build"/tests/wine/planted/uxtheme.dll "$app"/
printf 'not a real workbook\n' >"$work/DemoLathmere.xls"
cp "$work/DemoLathmere.xls" "$intl/"

# One import: no window-manager frames from the X11 driver (without a
# window manager each window close would otherwise wait about 2 s), and
# the .xls association, under HKEY_CLASSES_ROOT where the shell reads it;
# and, as on Windows, a DLL file found on the search path is taken before
# Wine's built-in one for the planted name (by default Wine would always
# take its own, and the planted-DLL check would prove nothing). The name is
# uxtheme.dll: Wine loads it by name at run time, after the program's
# start-up code. (version.dll is no use here: Wine's own DLLs import it, so
# a stand-in without its functions stops any program before it starts.)
cat >"$WINEPREFIX/drive_c/setup.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"uxtheme"="native,builtin"

[HKEY_CLASSES_ROOT\.xls]
@="TarvikTest.Workbook"

[HKEY_CLASSES_ROOT\TarvikTest.Workbook\shell\open\command]
@="\"C:\\Tarvik app\\xls_recorder.exe\" \"C:\\record.txt\" \"%1\""
EOF
wine regedit /S 'C:\setup.reg' >/dev/null 2>&1
wineserver -w

# ----------------------------------------------------------- unit tests
run_gtest() { # run_gtest exe [filter]
  local exe=$build/$1
  if [ ! -f "$exe" ]; then result FAIL "$1 was not built"; return; fi
  local log="${TMPDIR:-/tmp}/$(basename "$1").log"
  if wine "$exe" ${2:+--gtest_filter=$2} >"$log" 2>&1; then
    result OK "$1 ($(grep -Eo '\[  PASSED  \] [0-9]+ tests?' "$log" | grep -Eo '[0-9]+ tests?') passed)"
  else
    result FAIL "$1 (see $log)"
    grep -E '^\[  FAILED  \]' "$log" | sort -u | head -10
  fi
}
run_gtest vcl/tests/vcl_core_tests.exe
run_gtest tests/form/tarvik_form_tests.exe

# ------------------------------------------------------------ end to end
driver_log="${TMPDIR:-/tmp}/tarvik-wine-driver.log"
wine "$build/tests/wine/tarvik_wine_driver.exe" 'C:\Tarvik app' 'C:\work dir' 'C:\empty dir' \
  'C:\record.txt' 'C:\dossier été Λ' 2>&1 | tr -d '\r' | tee "$driver_log" | grep -v '^[0-9]* passed'
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$driver_log" | tail -1)
if [ -n "$summary" ]; then
  set -- $summary
  passed=$((passed + $1))
  failed=$((failed + $3))
else
  result FAIL "the end-to-end driver ran to the end"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
