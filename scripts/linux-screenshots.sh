#!/usr/bin/env bash
# Screenshots of the real program under Xvfb and a compositing manager, for the README:
# docs/screen-dialog.png and docs/screen-display.png.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${BRISEL_SESSION:-}" ]; then exec tests/linux/session.sh "$0" "$@"; fi
. tests/linux/lib.sh
xprobe=build/tests/xprobe
# From silence, as the program starts from the output's volume.
pactl set-sink-volume @DEFAULT_SINK@ 0%
log=$BRISEL_SESSION/trace
build/brisel --trace "$log" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wait_for 5 faded_in Config
# The screen around each window, as the compositor blends it over its grey root.
"$xprobe" screenshot root "$BRISEL_SESSION/dialog.bmp" 470 342 340 340
xdotool mousemove --window "$("$xprobe" find Config)" 224 276 click 1
wait_for 5 bash -c "! $xprobe find Config"
for _ in $(seq 45); do tap XF86AudioRaiseVolume; done
# Each press is taken at a tick of the key timer: the level once all 45 are written.
wait_for 5 traced "mixerSetControlDetails [0-9]* 11 [0-9]* -> 0" 45
wait_for 5 faded_in Splash
"$xprobe" screenshot root "$BRISEL_SESSION/display.bmp" 515 388 249 247
python3 scripts/bmp2png.py "$BRISEL_SESSION/dialog.bmp" docs/screen-dialog.png
python3 scripts/bmp2png.py "$BRISEL_SESSION/display.bmp" docs/screen-display.png
echo "written: docs/screen-dialog.png docs/screen-display.png"
