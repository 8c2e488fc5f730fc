#!/usr/bin/env bash
# Cross-builds the Windows program with MinGW-w64 and its installer with NSIS, and runs their
# tests under Wine: the behaviour's unit and scenario tests, the Windows platform on a desktop of
# its own (Xvfb, openbox, xcompmgr, PulseAudio), the installer; and reads the program's
# resources back with icoutils. One Wine prefix serves the whole run; it is removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest wine wine64 nsis icoutils \
  xvfb xdotool x11-utils xcompmgr openbox pulseaudio pulseaudio-utils
jobs=$(nproc)

run=$(mktemp -d /tmp/brisel-wine.XXXXXX)
export WINEPREFIX=$run/wineprefix
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
cmake --build --preset windows --target package >/dev/null
# Making a prefix takes a while: once, before the tests start; its server runs until the end.
cmake/wine-run.sh --serve build-windows
ctest --test-dir build-windows --output-on-failure -j"$jobs"
