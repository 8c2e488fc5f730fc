#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once plain, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
# Testing the Linux program: an X server, a compositing manager, a window manager, a sound
# server, xdotool; XTest for the benchmark's probe.
scripts/install-deps.sh xvfb xdotool x11-utils xcompmgr openbox pulseaudio pulseaudio-utils libasound2-plugins \
  alsa-utils libxtst-dev
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DBRISEL_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j"$jobs"
scripts/test-windows.sh
