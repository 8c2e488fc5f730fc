#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine: CMake's emulator for the Windows build, so that
# ctest runs the tests this way. Usage: wine-run.sh PROGRAM.exe [ARG...]
#   wine-run.sh --prefix PROGRAM.exe   only makes sure the prefix exists and prints its path.
#   wine-run.sh --serve PROGRAM.exe    makes sure it exists, and keeps its wineserver and Wine's
#     services running until `wineserver -k`: a server that ends between two programs can fail
#     the next one's start. They are started here, holding none of the caller's output open.
# The Wine prefix is $WINEPREFIX, or else `wineprefix` in the build folder that holds PROGRAM;
# it is made on first use, once however many tests start together. Wine's own messages are off
# unless WINEDEBUG asks for them.
set -euo pipefail
mode=run
case "${1:-}" in --prefix | --serve) mode=${1#--}; shift ;; esac
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" != / ] || { echo "wine-run.sh: no build folder above $1; set WINEPREFIX" >&2; exit 125; }
  export WINEPREFIX=$dir/wineprefix
fi
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No installer dialogs for the .NET and HTML engines, which nothing here uses.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.brisel-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.brisel-ready" ]; then
      wineboot -i >/dev/null 2>&1
      # The new registry reaches the disk when the server ends: tests copy the prefix.
      wineserver -w
      touch "$WINEPREFIX/.brisel-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
case $mode in
  prefix) echo "$WINEPREFIX" ;;
  serve) wineserver -p && wine cmd /c exit </dev/null >/dev/null 2>&1 ;;
  run) exec wine "$@" ;;
esac
