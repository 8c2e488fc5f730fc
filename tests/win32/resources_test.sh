#!/usr/bin/env bash
# brisel.exe carries what Windows shows of a program: the icon brisel-art draws as its first
# icon group (16, 32, 48 and 256 px), a version resource with the project's version, and an
# application manifest (asInvoker, Windows 10 and 11, common controls 6, per-monitor DPI aware).
# Read back with icoutils' wrestool and icotool.  resources_test.sh BRISEL.EXE VERSION
set -euo pipefail
exe=$1 version=$2
work=$(mktemp -d /tmp/brisel-resources.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "-- the first icon group holds the 16, 32, 48 and 256 px images"
first=$(wrestool -l --type=group_icon "$exe" | head -n 1 | sed -n 's/.*--name=\([^ ]*\) .*/\1/p')
[ -n "$first" ] || fail "no icon group"
wrestool -x --type=group_icon --name="$first" -o "$work/brisel.ico" "$exe"
sizes=$(icotool -l "$work/brisel.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\) --bit-depth=32.*/\1x\2/p' | sort -n | tr '\n' ' ')
[ "$sizes" = "16x16 32x32 48x48 256x256 " ] || fail "icon sizes: $sizes"
icotool -x -o "$work" "$work/brisel.ico"
ls "$work"/*.png >/dev/null || fail "the icon's images cannot be read"

echo "-- the version resource names the product and its version"
wrestool -x --raw --type=version "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' '\n' | grep . >"$work/version"
for pair in "ProductName Brisel" "FileVersion $version" "ProductVersion $version" "OriginalFilename brisel.exe"; do
  grep -A1 -x "${pair%% *}" "$work/version" | tail -n 1 | grep -qx "${pair#* }" || fail "version resource: no $pair"
done
# The numeric version too: FILEVERSION major,minor,0,0 in the fixed part.
major=${version%%.*} minor=${version#*.}
wrestool -x --raw --type=version "$exe" | od -An -tx1 | tr -d ' \n' |
  grep -q "bd04effe00000100$(printf '%02x00%02x0000000000' "$minor" "$major")" ||
  fail "the fixed file version is not $major.$minor.0.0"

echo "-- the manifest: asInvoker, Windows 10 and 11, common controls 6, per-monitor DPI aware"
wrestool -x --raw --type=24 --name=1 "$exe" >"$work/manifest"
grep -q 'requestedExecutionLevel level="asInvoker"' "$work/manifest" || fail "manifest: not asInvoker"
grep -q 'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' "$work/manifest" || fail "manifest: no Windows 10/11"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$work/manifest" || fail "manifest: no common controls 6"
grep -q '<dpiAwareness[^>]*>PerMonitorV2</dpiAwareness>' "$work/manifest" || fail "manifest: not per-monitor DPI aware"
echo "resources: all checks passed"
