#!/bin/bash
# Sets up, builds and starts Tarvik in the demo folder. On the current
# display when there is one; otherwise on a virtual X server, where it saves
# a screenshot, prints its path and closes the window with Enter.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build" --parallel "$(nproc)" --target Tarvik
tarvik="$root/build/launcher/Tarvik"
cd "$root/demo"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  exec "$tarvik"
fi

echo "No display: starting a virtual X server."
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
read -r -t 10 number <&"$fd"
export DISPLAY=":$number"

"$tarvik" &
program=$!
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Lathmere$' 2>/dev/null | head -1 || true)
  [[ -n "$window" ]] && break
  sleep 0.1
done
sleep 0.3
shot="$root/build/tarvik-screenshot.png"
import -window root "$shot"
echo "Screenshot: $shot"
xdotool windowfocus --sync "$window" key Return
wait "$program"
echo "Tarvik ended with status $?"
