#!/usr/bin/env bash
# brisel.exe on a screen of 192 dpi (Wine's LogPixels): the dialog is drawn at twice its size,
# 600 x 600, centred on the screen and rounded at twice its corners.
# Run under session.sh:  scale_test.sh BRISEL.EXE
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../linux/lib.sh"
. "$here/lib.sh"
work=$BRISEL_SESSION
use_private_prefix "$exe"

step "LogPixels 192: the dialog is 600 x 600, centred, its outline twice as large"
wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >"$work/reg.log" 2>&1
wine_run "$exe" >"$work/brisel.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; stop_wine' EXIT
wait_for 30 x_window Form1 600 600 || fail "no 600 x 600 dialog: $(cat "$work/brisel.log")"
dialog=$(x_window Form1 600 600)
geometry=$(timeout 5 xwininfo -id "$dialog" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
[ "$geometry" = "340 212" ] || fail "the dialog is at $geometry, not centred"
# A round-rect region leaves out its right and bottom edge: 299 x 299 at 96 dpi.
outline_is() { [ "$(x_shape "$dialog")" = "$1" ]; }
wait_for 10 outline_is 599x599 || fail "outline: $(x_shape "$dialog")"
echo "scale: all checks passed"
