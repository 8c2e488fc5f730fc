# Helpers for the Windows program's tests under Wine, run inside tests/linux/session.sh; they add
# to tests/linux/lib.sh, read here.
. "$(dirname "${BASH_SOURCE[0]}")/../linux/lib.sh"
BRISEL_WINE_RUN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../cmake" && pwd)/wine-run.sh
work=${BRISEL_SESSION:-} log=${BRISEL_SESSION:-}/trace.log

# use_private_prefix PROGRAM.exe: from here on, Wine runs in a copy of the run's prefix (the
# build's, unless WINEPREFIX names one) in the session's folder, its wineserver kept running
# until the end.
use_private_prefix() {
  cp -a "$("$BRISEL_WINE_RUN" --prefix "$1")" "$work/wineprefix"
  export WINEPREFIX=$work/wineprefix
  trap stop_wine EXIT
  "$BRISEL_WINE_RUN" --serve "$1"
}
# Ends every Wine process of the prefix, and waits until they are gone.
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
wine_run() { "$BRISEL_WINE_RUN" "$@"; }
# wine_status PROGRAM.exe [ARG...]: its exit status (124 after 60 s); what it wrote, without
# carriage returns, in $work/out and $work/err.
wine_status() {
  local rc; rc=$(status timeout 60 "$BRISEL_WINE_RUN" "$@")
  sed -i 's/\r//g' "$work/out" "$work/err"
  echo "$rc"
}
# reg_value KEY NAME: the value's data, as reg query prints it; fails when there is none.
reg_value() {
  local out; out=$(wine_run reg query "$1" /v "$2" 2>/dev/null) || return 1
  echo "$out" | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# Windows as the X server sees them. Wine names its X windows by the Win32 title ("Form1" for
# both of Brisel's); the size tells the dialog from the display.
# x_window NAME WIDTH HEIGHT: prints the id of such a viewable window; fails when there is none.
x_window() { x_windows --onlyvisible "$@"; }
# x_window_any NAME WIDTH HEIGHT: the same, mapped or not.
x_window_any() { x_windows --all "$@"; }
x_windows() {
  local w
  for w in $(xdotool search "$1" --name "^$2\$" 2>/dev/null); do
    [ "$(geometry "$w" | cut -d' ' -f3-)" = "$3 $4" ] && echo "$w" && return 0
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
focus() { xdotool windowfocus --sync "$1" && wait_for 5 x_focused "$1"; }
# A message box titled Brisel: its window id; close_box closes it with Enter.
box_shown() { xdotool search --onlyvisible --name "^Brisel$" | head -n 1 | grep .; }
close_box() { local box; box=$(box_shown) && xdotool windowfocus --sync "$box" && xdotool key --delay 20 Return; }

# A Wine notepad, its window in $notepad: keys reach Wine only while one of its windows has the
# focus. notepad_takes_keys: the keys typed now reach it (Ctrl+F opens Find, Escape closes it).
notepad_window() { xdotool search --onlyvisible --name "Notepad\$" | head -n 1 | grep .; }
start_notepad() {
  wine_run notepad >"$work/notepad.log" 2>&1 &
  wait_for 30 notepad_window
  notepad=$(notepad_window)
}
find_shown() { xdotool search --onlyvisible --name "^Find$" | grep -q .; }
notepad_takes_keys() {
  xdotool key --delay 20 ctrl+f && wait_for 10 find_shown
  xdotool key --delay 20 Escape && wait_for 10 eval '! find_shown'
}

# A tap for Wine: xdotool sends the press and then the release (the cross build has no native
# probe to send both in one request), so a sender held up between them for a whole tick would be
# seen holding the key.
tap() { xdotool key --delay 0 "$1"; }
