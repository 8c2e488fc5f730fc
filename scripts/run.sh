#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brisel on your X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target brisel
exec build/brisel
