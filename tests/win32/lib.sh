# Helpers for the Windows program's tests under Wine; they run inside tests/linux/session.sh
# (an X server, a compositing manager, PulseAudio) and use tests/linux/lib.sh, read here.
. "$(dirname "${BASH_SOURCE[0]}")/../linux/lib.sh"
BRISEL_WINE_RUN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../cmake" && pwd)/wine-run.sh

# use_private_prefix PROGRAM.exe: from here on, Wine runs in a copy of the run's prefix (the
# build's, unless WINEPREFIX names one) inside
# the session's folder, with a wineserver of its own; it is stopped when the test ends.
use_private_prefix() {
  local base
  base=$("$BRISEL_WINE_RUN" --prefix "$1")
  cp -a "$base" "$BRISEL_SESSION/wineprefix"
  export WINEPREFIX=$BRISEL_SESSION/wineprefix
  trap stop_wine EXIT
}

# Ends every Wine process of the private prefix, and waits until they are gone.
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# wine_run PROGRAM.exe [ARG...]: runs the program in the private prefix.
wine_run() { "$BRISEL_WINE_RUN" "$@"; }

# Windows as the X server sees them. Wine names its X windows by the Win32 title ("Form1"
# for both of Brisel's) and classes them brisel.exe; the size tells the dialog from the display.
# x_window NAME WIDTH HEIGHT: prints the id of such a viewable window; fails when there is none.
x_window() { x_windows --onlyvisible "$@"; }
# x_window_any NAME WIDTH HEIGHT: the same, mapped or not.
x_window_any() { x_windows --all "$@"; }
x_windows() {
  local w geometry
  for w in $(xdotool search "$1" --name "^$2\$" 2>/dev/null); do
    geometry=$(timeout 5 xwininfo -id "$w" | sed -n 's/^ *-geometry \([0-9]*x[0-9]*\).*/\1/p')
    if [ "$geometry" = "$3x$4" ]; then
      echo "$w"
      return 0
    fi
  done
  return 1
}
# The window's _NET_WM_WINDOW_OPACITY in decimal, or nothing.
x_opacity() { timeout 5 xprop -id "$1" _NET_WM_WINDOW_OPACITY | sed -n 's/.* = \([0-9]*\)$/\1/p'; }
# The extents of the window's bounding shape, as WxH.
x_shape() { timeout 5 xwininfo -id "$1" -shape | sed -n 's/.*Window shape extents: *\([0-9]*x[0-9]*\).*/\1/p'; }
x_viewable() { timeout 5 xwininfo -id "$1" | grep -q "Map State: IsViewable"; }
x_unmapped() { ! x_viewable "$1"; }
x_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# A tap for Wine: xdotool sends the press and then the release (the cross build has no native
# probe to send both in one request), so a sender held up between them for a whole tick would be
# seen holding the key.
tap() { xdotool key --delay 0 "$1"; }

# The volume steps the trace ($log) holds so far.
volume_writes() { grep -c " mixerSetControlDetails [0-9]* 11 " "$log" || true; }
