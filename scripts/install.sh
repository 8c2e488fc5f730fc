#!/usr/bin/env bash
# Installs what is missing, builds Brisel's Debian package and installs it (as root, or with
# sudo): /usr/bin/brisel, its menu entry and icon, its manual page. `dpkg -r brisel` removes it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Built the way anyone builds it, without a preset: Release by default, and a warning from
# another compiler than the project's never stops the build.
cmake -S . -B build-package -DBRISEL_TESTS=OFF >/dev/null
cmake --build build-package -j"$(nproc)" --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build-package/CMakeCache.txt)
deb=build-package/brisel_${version}_$(dpkg --print-architecture).deb
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo dpkg -i "$deb"
echo "installed $deb: start Brisel from the menu or with \`brisel\`; \`man brisel\` tells more"
