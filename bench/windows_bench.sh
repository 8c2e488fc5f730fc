#!/usr/bin/env bash
# Figures for brisel.exe under Wine (Xvfb, openbox, a compositing manager, PulseAudio): the
# voluntary context switches of each of its threads over IDLE_SECONDS (default 30) idle after
# "Run", with a Wine notepad focused and no key pressed; for the program as it is (the key timer
# sleeps until a watched key's raw input event) and for the polling reference (BRISEL_KEYS=poll).
# It prints; it passes or fails nothing.
#   bench/windows_bench.sh [BUILD_DIR]   (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build-windows}" && pwd)
if [ -z "${BRISEL_SESSION:-}" ]; then exec env BRISEL_WM=openbox tests/linux/session.sh "$0" "$build"; fi
. tests/linux/lib.sh
. tests/win32/lib.sh
idle=${IDLE_SECONDS:-30}
exe=$build/brisel.exe
work=$BRISEL_SESSION
run=$(mktemp -d /tmp/brisel-bench.XXXXXX)
# A prefix of the bench's own, made here and removed at the end with everything it ran.
export WINEPREFIX=$run/wineprefix
pid=""
finish() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  stop_wine
  rm -rf "$run"
}
trap finish EXIT
"$BRISEL_WINE_RUN" --prefix "$exe" >/dev/null

"$BRISEL_WINE_RUN" notepad >/dev/null 2>&1 &
notepad_window() { xdotool search --onlyvisible --name "Notepad\$" | head -n 1 | grep .; }
wait_for 30 notepad_window

thread_switches() { awk '/^voluntary_ctxt_switches/ {print FILENAME, $2}' /proc/"$1"/task/*/status 2>/dev/null; }
for mode in raw-input poll; do
  log=$work/trace-$mode.log
  keys=""
  [ "$mode" = poll ] && keys=poll
  BRISEL_KEYS=$keys "$BRISEL_WINE_RUN" "$exe" --run --trace "Z:${log//\//\\}" >/dev/null 2>&1 &
  pid=$!
  wait_for 30 grep -q " Splash load$" "$log"
  xdotool windowfocus --sync "$(notepad_window)"
  sleep 2  # the start settles
  thread_switches "$pid" >"$work/before"
  sleep "$idle"
  thread_switches "$pid" >"$work/after"
  echo "== $mode: voluntary context switches per thread of brisel.exe in $idle s idle"
  join <(sort "$work/before") <(sort "$work/after") |
    awk '{split($1, p, "/"); d = $3 - $2; total += d; printf "  thread %-8s %6d\n", p[5], d} END {printf "  all threads     %6d\n", total}'
  "$BRISEL_WINE_RUN" "$exe" --quit >/dev/null 2>&1 || true
  wait_for 10 bash -c "! kill -0 $pid"
  pid=""
done
