#!/bin/bash
# Takes the README's screenshots of the notice window, each on its own
# virtual X server:
#   docs/tarvik-linux-metacity.png   the Linux program under metacity, with
#                                    its title bar as a window manager draws it
#   docs/tarvik-windows-wine.png     Tarvik.exe under Wine in a fresh prefix,
#                                    in the frame Wine draws itself
#   docs/tarvik-linux-wayland.png    the Linux program on Wayland (Weston's
#                                    headless back end), in its own frame
# Each image is the window's outer frame and a margin of the desktop.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
margin=16

"$root/tools/setup.sh" weston qt6-wayland
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build" --parallel "$(nproc)" --target Tarvik
"$root/tools/build-windows.sh" >/dev/null
if ! command -v wine >/dev/null; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine wine32:i386 wine64 >/dev/null
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-shots.XXXXXX")
pids=()
cleanup() {
  if [[ -n "${WINEPREFIX:-}" ]]; then wineserver -k >/dev/null 2>&1 || true; fi
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

start_xvfb() { # sets DISPLAY to a new virtual X server
  exec {fd}<> <(:)
  # -noreset: the desktop colour set below stays when its client leaves.
  Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  pids+=($!)
  local number
  read -r -t 10 number <&"$fd"
  export DISPLAY=":$number"
  # A plain desktop colour behind the window.
  xsetroot -solid '#3a6ea5'
}

find_window() { # prints the id of the visible window titled Lathmere
  local window=""
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Lathmere$' 2>/dev/null | head -1 || true)
    [[ -n "$window" ]] && break
    sleep 0.1
  done
  [[ -n "$window" ]] || { echo "no window titled Lathmere appeared" >&2; return 1; }
  echo "$window"
}

shoot() { # shoot window left right top bottom out.png: the frame and a margin
  local info x y w h
  info=$(xwininfo -id "$1")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/.*Width: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  x=$((x - $2 - margin)); y=$((y - $4 - margin))
  w=$((w + $2 + $3 + 2 * margin)); h=$((h + $4 + $5 + 2 * margin))
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$scratch/shot.png"
  convert "$scratch/shot.png" -strip "$6"
  echo "Wrote $6 (${w}x${h})"
}

# ------------------------------------------------ Linux, under metacity
start_xvfb
metacity --replace --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
(cd "$root/demo" && exec "$root/build/launcher/Tarvik") &
tarvik=$!
pids+=($tarvik)
window=$(find_window)
extents=""
for _ in $(seq 50); do
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p')
  [[ -n "$extents" ]] && break
  sleep 0.1
done
IFS=', ' read -r left right top bottom <<<"${extents:-0, 0, 0, 0}"
sleep 1  # the frame and the window painted
shoot "$window" "$left" "$right" "$top" "$bottom" "$root/docs/tarvik-linux-metacity.png"
# Ended without OK, which would ask the desktop to open the workbook.
kill "$tarvik"

# ------------------------------------------- Windows, under Wine's own frame
start_xvfb
export WINEPREFIX="$scratch/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
# Without a window manager, Wine draws the frame and title bar itself only
# when it does not hand its windows to one.
cat >"$WINEPREFIX/drive_c/setup.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
wine regedit /S 'C:\setup.reg' >/dev/null 2>&1
wineserver -w
folder="$WINEPREFIX/drive_c/Lathmere"
mkdir -p "$folder"
cp "$root/build-win32/launcher/Tarvik.exe" "$root/demo/DemoLathmere.xls" "$folder/"
(cd "$folder" && exec wine Tarvik.exe) >/dev/null 2>&1 &
pids+=($!)
window=$(find_window)
sleep 2  # Wine paints the frame and the controls after mapping
shoot "$window" 0 0 0 0 "$root/docs/tarvik-windows-wine.png"
wineserver -k

# --------------------------------------------- Linux, on Wayland (Weston)
mkdir -m 700 "$scratch/run"
printf '[shell]\nbackground-color=0xff3a6ea5\npanel-position=none\nstartup-animation=none\nanimation=none\n' \
  >"$scratch/weston.ini"
export XDG_RUNTIME_DIR=$scratch/run WAYLAND_DISPLAY=tarvik-shots
weston --config="$scratch/weston.ini" --backend=headless-backend.so --use-pixman --debug \
  --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 --idle-time=0 >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] && break; sleep 0.1; done
(cd "$root/demo" && exec env -u DISPLAY QT_QPA_PLATFORM=wayland "$root/build/launcher/Tarvik") &
tarvik=$!
pids+=($tarvik)
sleep 2  # shown and painted
mkdir "$scratch/wayland"
(cd "$scratch/wayland" && weston-screenshooter >/dev/null)
shot=$(ls "$scratch/wayland"/*.png)
# The window is what is not the desktop colour.
read -r w h x y < <(convert "$shot" -fill black -opaque '#3a6ea5' -fill white +opaque black -trim info:- |
  sed -n 's/.* \([0-9]*\)x\([0-9]*\) [0-9]*x[0-9]*+\([0-9]*\)+\([0-9]*\).*/\1 \2 \3 \4/p')
x=$((x - margin)); y=$((y - margin)); w=$((w + 2 * margin)); h=$((h + 2 * margin))
convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -strip "$root/docs/tarvik-linux-wayland.png"
echo "Wrote $root/docs/tarvik-linux-wayland.png (${w}x${h})"
kill "$tarvik"
