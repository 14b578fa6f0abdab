#!/bin/bash
# Runs the Linux program natively on Wayland: Weston on its headless back
# end, Qt's wayland platform, no X server. From the client's own protocol log
# (WAYLAND_DEBUG) it checks that the top-level window announces the app id
# tarvik (the desktop entry's name, so docks find its icon) and the title
# Lathmere, keeps the outer size it has under an X window manager, and is
# painted. From a screenshot of the compositor's output it checks the title
# bar: the title, and no minimise, maximise or close button, as the window
# has no window menu. Prints "N passed, M failed" last; exits non-zero on
# any failure.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-test}
tarvik=$build/launcher/Tarvik
passed=0
failed=0
result() { # result OK|FAIL what
  if [ "$1" = OK ]; then passed=$((passed + 1)); echo "PASS $2"
  else failed=$((failed + 1)); echo "FAIL $2"; fi
}

"$root/tools/setup.sh" weston qt6-wayland imagemagick >/dev/null
[ -x "$tarvik" ] || { echo "FAIL $tarvik is not built"; exit 1; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-wayland.XXXXXX")
chmod 700 "$scratch"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

mkdir "$scratch/run" "$scratch/work"
chmod 700 "$scratch/run"
printf 'not a real workbook\n' >"$scratch/work/DemoLathmere.xls"
export XDG_RUNTIME_DIR=$scratch/run WAYLAND_DISPLAY=tarvik-test
# A plain background, no panel and no animations, so the window is what differs from it;
# the pixman renderer so there are pixels to shoot; --debug lets the
# screenshot client in.
background='#204060'
printf '[shell]\nbackground-color=0xff%s\npanel-position=none\nstartup-animation=none\nanimation=none\n' "${background#\#}" \
  >"$scratch/weston.ini"
weston --config="$scratch/weston.ini" --backend=headless-backend.so --use-pixman --debug \
  --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 --idle-time=0 \
  >"$scratch/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
if [ ! -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; then
  result FAIL "weston started (see below)"; tail -5 "$scratch/weston.log"
  echo "$passed passed, $failed failed"; exit 1
fi

# No X server to fall back to: the program must run on Wayland or not at all.
log=$scratch/client.log
(cd "$scratch/work" && exec env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
   "$tarvik" 2>"$log") &
program=$!
pids+=($program)
# Wait for the first buffer on the top-level surface: the window is shown
# and painted. (A deadline only so a broken program cannot hang the run.)
toplevel_surface() { # the wl_surface given the top-level role
  local xdg
  xdg=$(sed -n 's/.*-> \(xdg_surface@[0-9]*\)\.get_toplevel(.*/\1/p' "$log" | head -1)
  [ -n "$xdg" ] && sed -n "s/.*get_xdg_surface(new id $xdg, \\(wl_surface@[0-9]*\\))\$/\\1/p" "$log" | head -1
}
painted=""
surface=""
for _ in $(seq 300); do
  surface=$(toplevel_surface 2>/dev/null)
  if [ -n "$surface" ] && grep -q -- "-> $surface\.attach(wl_buffer@" "$log"; then painted=yes; break; fi
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done

if [ -n "$painted" ]; then result OK "Tarvik shows a painted top-level window on Wayland"
else result FAIL "Tarvik shows a painted top-level window on Wayland"; tail -5 "$log"; fi
app_ids=$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_app_id(\(.*\))$/\1/p' "$log" | sort -u | tr '\n' ' ')
[ "$app_ids" = '"tarvik" ' ] && result OK "app id \"tarvik\"" || result FAIL "app id: $app_ids"
titles=$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_title(\(.*\))$/\1/p' "$log" | sort -u | tr '\n' ' ')
[ "$titles" = '"Lathmere" ' ] && result OK "title \"Lathmere\"" || result FAIL "title: $titles"
# The outer size, decorations included, as the program last set it before
# painting: 500x373, as under an X window manager.
geometry=$(sed -n "/-> $surface\\.attach(wl_buffer@/q; s/.*set_window_geometry(\\(.*\\))\$/\\1/p" "$log" | tail -1)
[ "$geometry" = "0, 0, 500, 373" ] && result OK "outer size 500x373" || result FAIL "outer size: $geometry"
if grep -q 'protocol error\|wl_display@1\.error' "$log"; then
  result FAIL "no protocol error"; grep 'error' "$log" | head -3
else result OK "no protocol error"; fi
# The screen as the compositor shows it.
mkdir "$scratch/shot"
(cd "$scratch/shot" && weston-screenshooter >/dev/null 2>&1)
shot=$(ls "$scratch/shot"/*.png 2>/dev/null | head -1)
if [ -n "$shot" ]; then
  # The window: whatever is not the background ("PNG 500x373 1024x768+X+Y").
  read -r width height left top < <(convert "$shot" -fill black -opaque "$background" \
    -fill white +opaque black -trim info:- | sed -n 's/.* \([0-9]*\)x\([0-9]*\) [0-9]*x[0-9]*+\([0-9]*\)+\([0-9]*\).*/\1 \2 \3 \4/p')
  [ "${width:-0}x${height:-0}" = 500x373 ] && result OK "on screen 500x373, frame included" \
    || result FAIL "on screen: ${width:-?}x${height:-?}"
  colours() { # colours W H X Y: how many colours the screen has in that box
    convert "$shot" -crop "$1x$2+$(($3 + left))+$(($4 + top))" +repage -format %k info:-
  }
  # The caption lies inside the 4-pixel border, 19 pixels high; the title
  # at its left, and at its right, where a toolkit or compositor puts its
  # buttons, nothing but the caption colour.
  [ "$(colours 150 19 4 4)" -gt 2 ] && result OK "the title bar shows the title" \
    || result FAIL "the title bar shows the title"
  [ "$(colours 150 19 342 4)" = 1 ] && result OK "no minimise, maximise or close button" \
    || result FAIL "no minimise, maximise or close button (see $shot)"
  # The client area starts below the caption, as under an X window manager:
  # the red heading's label is 10 pixels in and down, its first ink within
  # a few pixels of that (the glyphs' bearings).
  red=$(convert "$shot" -fill black +opaque '#FF0000' -trim info:- 2>/dev/null |
        sed -n 's/.* [0-9]*x[0-9]* [0-9]*x[0-9]*+\([0-9]*\)+\([0-9]*\).*/\1 \2/p')
  read -r red_x red_y <<<"${red:--1 -1}"
  dx=$((red_x - left - 4 - 10)) dy=$((red_y - top - 23 - 10))
  if [ "$dx" -ge 0 ] && [ "$dx" -le 4 ] && [ "$dy" -ge 0 ] && [ "$dy" -le 4 ]; then
    result OK "client area inside the frame"
  else result FAIL "red heading at $red_x,$red_y, window at $left,$top"; fi
else
  result FAIL "screenshot taken"; tail -3 "$scratch/weston.log"
fi
if kill -0 "$program" 2>/dev/null; then result OK "still running, waiting for OK"
else result FAIL "still running, waiting for OK"; fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
