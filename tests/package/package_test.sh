#!/usr/bin/env bash
# The Debian package, built from a configured Release build folder: what it holds, what lintian
# says of it, its desktop entry, manual page and icons, and that it installs, runs from /usr/bin
# and is removed again (as root, or with sudo). Usage: package_test.sh BUILD_DIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)
work=$(mktemp -d /tmp/brisel-package.XXXXXX)
installed=""
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
trap '[ -z "$installed" ] || $sudo dpkg -r brisel >/dev/null || echo "could not remove the package brisel" >&2; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }
cache() { sed -n "s/^$1:[A-Z]*=//p" "$2/CMakeCache.txt"; }
version=$(cache CMAKE_PROJECT_VERSION "$build")
deb="$build/brisel_${version}_$(dpkg --print-architecture).deb"

step "a configuration without a build type builds Release"
cmake -S "$source_dir" -B "$work/default" -DBRISEL_TESTS=OFF >/dev/null
[ "$(cache CMAKE_BUILD_TYPE "$work/default")" = Release ] || fail "default build type: $(cache CMAKE_BUILD_TYPE "$work/default")"
[ "$(cache CMAKE_BUILD_TYPE "$build")" = Release ] || fail "$build is not a Release build"

step "the package target makes one package, $(basename "$deb"), with these files, owned by root"
rm -f "$deb"
cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
[ "$(grep -c 'CPack: - package: .* generated' "$work/cpack.log")" = 1 ] && [ -f "$deb" ] || { cat "$work/cpack.log"; fail "not one package"; }
expected="./usr/bin/brisel
./usr/share/applications/brisel.desktop
./usr/share/doc/brisel/changelog.gz
./usr/share/doc/brisel/copyright
./usr/share/icons/hicolor/128x128/apps/brisel.png
./usr/share/icons/hicolor/48x48/apps/brisel.png
./usr/share/man/man1/brisel.1.gz"
contents=$(dpkg-deb -c "$deb")
listed=$(awk '$1 !~ /^d/ {print $6}' <<<"$contents" | sort)
[ "$listed" = "$expected" ] || fail "files differ from the expected ones:$(diff <(echo "$expected") <(echo "$listed"))"
odd=$(awk '$1 != "drwxr-xr-x" && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" || $2 != "root/root" {print $1, $2, $6}' <<<"$contents")
[ -z "$odd" ] || fail "unexpected owners or permissions: $odd"

step "its control fields"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libasound2 libx11-6 libxi6; do
  [[ ", $depends" == *", $lib "* || ", $depends," == *", $lib,"* ]] || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version $(dpkg-deb -f "$deb" Version), project $version"
summary=$(dpkg-deb -f "$deb" Description | sed -n 1p)
case "$summary" in [Bb]risel*) fail "the summary starts with the package's name: $summary" ;; esac
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 3 ] || fail "no extended description"

step "lintian: no errors"
lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1 && ! grep -q '^E:' "$work/lintian.log" ||
  { cat "$work/lintian.log"; fail "lintian reports errors"; }
grep -v 'running with root privileges' "$work/lintian.log" || true

step "the program is stripped, the changelog names this version, desktop-file-validate accepts the entry"
dpkg-deb -x "$deb" "$work/root"
root=$work/root
[[ "$(file -b "$root/usr/bin/brisel")" == *", stripped"* ]] || fail "not stripped: $(file -b "$root/usr/bin/brisel")"
head_line=$(gzip -dc "$root/usr/share/doc/brisel/changelog.gz" | sed -n 1p)
[[ "$head_line" == "brisel ($version) "* ]] || fail "the changelog's last entry is not $version: $head_line"
entry=$root/usr/share/applications/brisel.desktop
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
[[ "$report" != *error:* && "$report" != *warning:* ]] || fail "desktop-file-validate complains: $report"
grep -qx 'Categories=Settings;AudioVideo;' "$entry" && grep -qx 'Icon=brisel' "$entry" || fail "categories or icon name"

step "the manual page renders without warnings (its key names: tests/docs_test.py)"
render() { LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$1" 2>&1 | col -bx | tr -s ' \n' '  '; }
warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$root/usr/share/man/man1/brisel.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man reports: $warnings"
text=$(render "$root/usr/share/man/man1/brisel.1.gz")

step "the icons are PNG files of their sizes with transparent corners"
for size in 48 128; do
  # The header, then the alpha of two corners and of the middle.
  got=$(python3 "$source_dir/tests/resources/png_pixels.py" "$root/usr/share/icons/hicolor/${size}x${size}/apps/brisel.png" \
    0 0 $((size - 1)) $((size - 1)) $((size / 2)) $((size / 2)) | awk 'NR == 1 {print} NR > 1 {print $2}' | xargs) ||
    fail "icon $size does not decode"
  [ "$got" = "$size $size 4 0 0 255" ] || fail "icon ${size}x${size}: $got, expected $size $size 4 and alpha 0 0 255"
done

step "dpkg installs it; brisel runs from /usr/bin; every option --help lists is in the manual page"
if [ -n "$sudo" ] && ! sudo -n true 2>/dev/null; then echo "SKIP: installing needs root or sudo without a password"; exit 0; fi
if dpkg-query -W -f='${Status}' brisel 2>/dev/null | grep -q "install ok installed"; then
  echo "SKIP: a package brisel is installed already; remove it (dpkg -r brisel) to test installing"; exit 0
fi
installed=yes
$sudo dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
[ "$(command -v brisel)" = /usr/bin/brisel ] || fail "brisel is not found as /usr/bin/brisel: $(command -v brisel || true)"
ldd /usr/bin/brisel | grep 'not found' && fail "libraries missing"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 /usr/bin/brisel --version 2>&1) && [ "$(echo "$out" | wc -l)" = 1 ] &&
  [[ "$out" == "brisel "*"$version"* ]] || fail "brisel --version: $out"
echo "brisel --version: $out"
help=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 /usr/bin/brisel --help 2>&1) || fail "brisel --help: $help"
for option in $(echo "$help" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  [[ "$text" == *"$option"* ]] || fail "the manual page lacks $option, which --help lists"
done
installed_page=/usr/share/man/man1/brisel.1.gz
if [ -f "$installed_page" ]; then
  [[ "$(render "$installed_page")" == *"brisel - global hot keys"* ]] || fail "man -l $installed_page: $(render "$installed_page")"
elif grep -qs 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
  echo "SKIP: dpkg is set to leave out manual pages here (/etc/dpkg/dpkg.cfg.d)"
else
  fail "dpkg did not install $installed_page"
fi
desktop-file-validate /usr/share/applications/brisel.desktop || fail "installed desktop entry"

step "dpkg removes it"
$sudo dpkg -r brisel >/dev/null
installed=""
[ ! -e /usr/bin/brisel ] || fail "/usr/bin/brisel is still there"
echo "package test passed"
