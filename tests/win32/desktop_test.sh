#!/usr/bin/env bash
# brisel.exe's command line for the running program and for the login, under Wine: --quit ends
# the Brisel running in this session, --key presses its hot keys from outside (one step per
# command, none lost in a burst, nothing before Run), --autostart writes and removes the Run
# value; from a folder whose name no ANSI code page holds, the Run value and a trace file name it
# exactly. Run under session.sh:  desktop_test.sh BRISEL.EXE
set -euo pipefail
exe=$1
. "$(dirname "$0")/lib.sh"
work=$BRISEL_SESSION
log=$work/trace.log
use_private_prefix "$exe"
# The output as Windows writes it, without its carriage returns.
unix() { tr -d '\r' <"$1" >"$1.unix" && mv "$1.unix" "$1"; }
# status_of PROGRAM.exe [ARG...]: its exit status; what it wrote in $work/out and $work/err.
status_of() { set +e; wine_run "$@" >"$work/out" 2>"$work/err"; local rc=$?; set -e; unix "$work/out"; unix "$work/err"; echo $rc; }
run_status() { status_of "$exe" "$@"; }
# The same for a run that may also show its line in a box titled Brisel: the box is closed.
boxed_status() {
  wine_run "$exe" "$@" >"$work/out" 2>"$work/err" &
  local p=$! box
  wait_for 30 bash -c "! kill -0 $p 2>/dev/null || xdotool search --onlyvisible --name '^Brisel\$' | grep -q ."
  box=$(xdotool search --onlyvisible --name "^Brisel$" | head -n 1)
  [ -z "$box" ] || { xdotool windowfocus --sync "$box" && xdotool key --delay 20 Return; }
  set +e; wait "$p"; local rc=$?; set -e; unix "$work/out"; unix "$work/err"; echo $rc
}
# The Run value's data; fails when there is no value.
run_value() {
  local out
  out=$(wine_run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Brisel 2>/dev/null) || return 1
  echo "$out" | tr -d '\r' | sed -n 's/^ *Brisel *REG_SZ *//p'
}

step "with no Brisel running: --quit and --key say so in one line, status 1; a wrong role is a usage error"
[ "$(run_status --quit)" = 1 ] && one_line "$work/err" "^brisel: not running in this session$" ||
  fail "--quit alone: $(cat "$work/err")"
[ "$(run_status --key up)" = 1 ] && one_line "$work/err" "^brisel: not running in this session$" ||
  fail "--key alone: $(cat "$work/err")"
[ "$(run_status --key left)" = 2 ] && head -n 1 "$work/err" | grep -q "^brisel: option '--key' takes up|down|mute" ||
  fail "--key left: $(cat "$work/err")"

step "--autostart on writes the Run value: this brisel.exe, quoted, with --run and the keys given"
[ "$(run_status --autostart on --up F10 --down F9 --mute " +")" = 0 ] || fail "--autostart on: $(cat "$work/err")"
value=$(run_value) || fail "no Run value"
echo "Run value: $value"
windows_exe=$(wine_run winepath -w "$exe" 2>/dev/null | tr -d '\r')
[ "$value" = "\"$windows_exe\" --run --up \"F10\" --down \"F9\" --mute \" +\"" ] || fail "Run value: $value"
grep -q '^autostart on: HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Brisel starts ' "$work/out" ||
  fail "--autostart on said: $(cat "$work/out")"
[ "$(boxed_status --autostart on --up "Num +")" = 2 ] && one_line "$work/err" "^brisel: --up Num +: no key has that name" ||
  fail "a name that matches no key: $(cat "$work/out" "$work/err")"
[ "$(run_value)" = "$value" ] || fail "a refused name changed the value"

step "--autostart off removes it, and says so when there was none"
[ "$(run_status --autostart off)" = 0 ] && one_line "$work/out" "^autostart off: removed " || fail "off: $(cat "$work/out" "$work/err")"
! run_value >/dev/null || fail "the Run value is still there: $(run_value)"
[ "$(run_status --autostart off)" = 0 ] && one_line "$work/out" "^autostart off: there was no " ||
  fail "off again: $(cat "$work/out" "$work/err")"

step "from C:\\Łódź 東京\\ (outside every ANSI code page): --help, --version, the Run value, a trace there"
far=$WINEPREFIX/drive_c/Łódź\ 東京
mkdir -p "$far" && cp "$exe" "$far/brisel.exe"
far_status() { status_of "$far/brisel.exe" "$@"; }
[ "$(far_status --version)" = 0 ] && [ "$(cat "$work/out")" = "brisel 0.1" ] &&
  [ "$(far_status --help)" = 0 ] && grep -q -- "--trace FILE" "$work/out" || fail "--help, --version: $(cat "$work/err")"
[ "$(far_status --autostart on --up F10)" = 0 ] || fail "--autostart on: $(cat "$work/err")"
# Read back in UTF-16, as reg export writes it (reg query would print the console's code page).
wine_run reg export 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' "Z:${work//\//\\}\\run.reg" /y >/dev/null 2>&1
value=$(iconv -f UTF-16LE -t UTF-8 "$work/run.reg" | tr -d '\r' | sed -n 's/^"Brisel"="\(.*\)"$/\1/p' | sed 's/\\\(.\)/\1/g')
echo "Run value: $value"
program=${value#\"} program=${program%%\"*}
[ "$value" = '"C:\Łódź 東京\brisel.exe" --run --up "F10"' ] && [ -f "$WINEPREFIX/drive_c/$(tr '\\' / <<<"${program#C:\\}")" ] ||
  fail "Run value: $value"
wine_run "$far/brisel.exe" --run --trace 'C:\Łódź 東京\trace.log' >"$work/brisel.out" 2>&1 &
pid=$!
wait_for 30 grep -q " Splash load" "$far/trace.log"
[ "$(far_status --quit)" = 0 ] && wait "$pid" || fail "--quit: $(cat "$work/err" "$work/brisel.out")"

step "before Run nothing watches the keys: --key is delivered and changes nothing"
wine_run "$exe" --up F7 --down F8 --mute F9 --trace "Z:${log//\//\\}" >"$work/brisel.out" 2>&1 &
pid=$!
wait_for 30 x_window Form1 300 300
[ "$(run_status --key up)" = 0 ] || fail "--key before Run: $(cat "$work/err")"
config=$(x_window Form1 300 300)
wait_for 10 traced "Config opacity 220" 1
xdotool mousemove --window "$config" 224 276 click 1
wait_for 10 traced "Splash load" 1
[ "$(volume_writes)" = 0 ] || fail "a press before Run stepped the volume"

step "--key up three times: three steps, each shown"
for n in 1 2 3; do
  [ "$(run_status --key up)" = 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/err" ] ||
    fail "--key up: $(cat "$work/out" "$work/err")"
  wait_for 5 eval '[ "$(volume_writes)" -ge '$n' ]'
done
wait_for 10 traced "Splash shown" 1
wait_for 10 traced "Splash hidden" 1
[ "$(volume_writes)" = 3 ] || fail "$(volume_writes) volume writes for 3 presses"

step "a burst of 20 --key down at once: 20 steps"
burst=()
for _ in $(seq 20); do wine_run "$exe" --key down >/dev/null 2>&1 & burst+=($!); done
for p in "${burst[@]}"; do wait "$p" || fail "a --key down of the burst failed"; done
wait_for 10 eval '[ "$(volume_writes)" -ge 23 ]'
wait_for 10 traced "Splash hidden" 2
[ "$(volume_writes)" = 23 ] || fail "$(volume_writes) volume writes for 23 presses"

step "--key mute mutes about 100 ms after its press"
mark=$(wc -l <"$log")
[ "$(run_status --key mute)" = 0 ] || fail "--key mute: $(cat "$work/err")"
wait_for 5 traced "mixerSetControlDetails 1 12 1 -> 0" 1
first=$(tail -n +"$((mark + 1))" "$log" | head -n 1 | cut -d' ' -f1)
muted=$(grep " mixerSetControlDetails 1 12 1 -> 0$" "$log" | head -n 1 | cut -d' ' -f1)
echo "muted $((muted - first)) ms after the press showed the display"
[ $((muted - first)) -ge 80 ] && [ $((muted - first)) -le 300 ] || fail "muted $((muted - first)) ms after the press"

step "--quit ends the running Brisel within 2 s, status 0"
start=$(date +%s%N)
[ "$(run_status --quit)" = 0 ] && [ ! -s "$work/err" ] || fail "--quit: $(cat "$work/err")"
wait_for 2 bash -c "! kill -0 $pid"
echo "brisel --quit returned after $(( ($(date +%s%N) - start) / 1000000 )) ms"
set +e
wait "$pid"; rc=$?
set -e
[ "$rc" = 0 ] || fail "the running Brisel ended with status $rc: $(cat "$work/brisel.out")"
[ "$(run_status --quit)" = 1 ] || fail "--quit after the end: $(cat "$work/err")"
echo "windows desktop: all checks passed"
