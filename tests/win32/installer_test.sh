#!/usr/bin/env bash
# The Windows installer under Wine: /S installs for the user alone (files, Start menu shortcut,
# uninstall entry, no Run value), again without a box; /S uninstalls, ending the running Brisel
# first, and leaves nothing. Run under session.sh:  installer_test.sh SETUP.EXE VERSION
set -euo pipefail
setup=$1 version=$2
. "$(dirname "$0")/lib.sh"
use_private_prefix "$setup"
unix_path() { wine_run winepath -u "$(wine_run cmd /c echo "%$1%" | tr -d '\r')" | tr -d '\r' | grep . || fail "%$1%: no folder"; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brisel'

step "/S installs silently into the user's own folders, without asking for administrator rights"
wine_run "$setup" /S || fail "the installer ended with status $?"
dir=$(unix_path LOCALAPPDATA)/Programs/Brisel
shortcut="$(unix_path APPDATA)/Microsoft/Windows/Start Menu/Programs/Brisel.lnk"
wait_for 30 test -f "$dir/uninstall.exe"
for f in "$dir/brisel.exe" "$dir/uninstall.exe" "$shortcut"; do [ -f "$f" ] || fail "not installed: $f"; done
windows_dir=$(wine_run winepath -w "$dir" | tr -d '\r')
for pair in "DisplayName=Brisel" "DisplayVersion=$version" "Publisher=the Brisel authors" \
  "DisplayIcon=$windows_dir\\brisel.exe,0" "UninstallString=\"$windows_dir\\uninstall.exe\"" \
  "QuietUninstallString=\"$windows_dir\\uninstall.exe\" /S"; do
  [ "$(reg_value "$uninstall_key" "${pair%%=*}")" = "${pair#*=}" ] ||
    fail "uninstall entry ${pair%%=*}: '$(reg_value "$uninstall_key" "${pair%%=*}")', not '${pair#*=}'"
done
! reg_value "$run_key" Brisel >/dev/null || fail "a silent install started Brisel at login"

step "the installed brisel.exe answers; installing again, with none running, shows nothing"
[ "$(wine_run "$dir/brisel.exe" --version | tr -d '\r')" = "brisel $version" ] || fail "installed --version"
# Started as from Explorer (no console, file or pipe: NUL), as its --quit then is.
timeout 60 "$BRISEL_WINE_RUN" "$setup" /S </dev/null >/dev/null 2>&1 || fail "installing again: status $?"

step "/S uninstalls: the running Brisel is ended first, and nothing of it stays"
wine_run "$dir/brisel.exe" --autostart on >/dev/null
reg_value "$run_key" Brisel >/dev/null || fail "--autostart on wrote no Run value"
wine_run "$dir/brisel.exe" --run >"$work/brisel.out" 2>&1 &
running=$!
# Its "not running" meanwhile on a file: on NUL, as wait_for's /dev/null is, it would be a box.
wait_for 30 bash -c '"$0" "$1" --key up 2>"$2"' "$BRISEL_WINE_RUN" "$dir/brisel.exe" "$work/key.err"
wine_run "$dir/uninstall.exe" /S || fail "the uninstaller ended with status $?"
# The uninstaller goes on from a copy of itself in the temporary folder; the uninstall entry is
# the last thing it removes.
wait_for 30 eval '! wine_run reg query "$uninstall_key"' || fail "the uninstall entry is still there"
wait_for 10 bash -c "! kill -0 $running"
for f in "$dir" "$shortcut"; do [ ! -e "$f" ] || fail "left behind: $f"; done
! reg_value "$run_key" Brisel >/dev/null || fail "the Run value is still there"
echo "installer: all checks passed"
