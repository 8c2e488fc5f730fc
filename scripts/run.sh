#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brisel on your X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target brisel
exec build/brisel
