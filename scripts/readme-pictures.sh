#!/usr/bin/env bash
# Makes the README's pictures in docs/: the display at a few levels and muted, as the
# simulator shows it, the display at scales 1 and 2 side by side, and the setup dialog's
# background.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh python3
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target brisel-sim brisel-art
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p docs

# Hold volume up for the number of ticks given, take a snapshot; then mute and take another.
shot() {  # NAME TICKS [mute [SCALE [ENLARGE]]]
  {
    printf 'start\nwait 300\nclick Run\nwait 300\n'
    if [ "$2" -gt 0 ]; then printf 'key down 175\nwait %d\nkey up 175\n' $(( $2 * 10 )); fi
    if [ "${3:-}" = mute ]; then printf 'tap 173\nwait 110\n'; fi
    printf 'snapshot Splash %s\n' "$tmp/$1.bmp"
  } | build/brisel-sim --scale "${4:-1}" >/dev/null
  python3 scripts/bmp2png.py "$tmp/$1.bmp" "docs/$1.png" "${5:-2}"
}
shot display-level-0 0
shot display-level-40 40
shot display-level-80 80
shot display-muted 40 mute
# Each pixel as it is: the display drawn at 1 and at 2 (a screen of 192 dpi).
shot display-scale-1 40 "" 1 1
shot display-scale-2 40 "" 2 1

build/brisel-art "$tmp/art"
python3 scripts/bmp2png.py "$tmp/art/Config.bmp" docs/dialog-background.png 2
echo "written: $(ls docs/*.png | tr '\n' ' ')"
