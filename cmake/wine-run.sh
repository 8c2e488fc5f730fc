#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine: CMake's emulator for the Windows build, so that
# ctest runs the tests this way. Usage: wine-run.sh PROGRAM.exe [ARG...]
#   wine-run.sh --prefix PROGRAM.exe   only makes sure the prefix exists and prints its path.
# The Wine prefix is $WINEPREFIX, or else `wineprefix` in the build folder that holds PROGRAM;
# it is made on first use, once however many tests start together. Wine's own messages are off
# unless WINEDEBUG asks for them.
set -euo pipefail
only_prefix=false
if [ "${1:-}" = --prefix ]; then only_prefix=true; shift; fi
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
if $only_prefix; then
  echo "$WINEPREFIX"
  exit 0
fi
exec wine "$@"
