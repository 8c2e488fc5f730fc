#!/usr/bin/env bash
# Installs what is missing, builds, and plays the demo script through brisel-sim.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target brisel-sim
build/brisel-sim tools/demo.sim
