#!/usr/bin/env bash
# Installs what is missing, builds, and plays the demo script through brisel-sim.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target brisel-sim
build/brisel-sim tools/demo.sim
