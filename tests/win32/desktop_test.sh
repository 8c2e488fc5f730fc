#!/usr/bin/env bash
# brisel.exe's command line for the running program and for the login, under Wine, run from a
# folder whose name no ANSI code page holds: --quit, --key (one step per command, none lost in a
# burst, nothing before Run), --autostart and the Run value, a trace file named there.
# Run under session.sh:  desktop_test.sh BRISEL.EXE
set -euo pipefail
exe=$1
. "$(dirname "$0")/lib.sh"
use_private_prefix "$exe"
far=$WINEPREFIX/drive_c/Łódź\ 東京
mkdir -p "$far" && cp "$exe" "$far/brisel.exe"
exe=$far/brisel.exe log=$far/trace.log
# The Run value's data, read back in UTF-16 as reg export writes it (reg query would print the
# console's code page); fails when there is none.
run_value() {
  wine_run reg export "$run_key" "Z:${work//\//\\}\\run.reg" /y >/dev/null 2>&1 || return 1
  iconv -f UTF-16LE -t UTF-8 "$work/run.reg" | tr -d '\r' | sed -n 's/^"Brisel"="\(.*\)"$/\1/p' | sed 's/\\\(.\)/\1/g' | grep .
}

step "with no Brisel running: --quit and --key say so in one line, status 1; a wrong role is a usage error"
for args in --quit "--key up"; do
  [ "$(wine_status "$exe" $args)" = 1 ] && one_line "$work/err" "^brisel: not running in this session$" ||
    fail "$args alone: $(cat "$work/err")"
done
[ "$(wine_status "$exe" --key left)" = 2 ] && head -n 1 "$work/err" | grep -q "^brisel: option '--key' takes up|down|mute" ||
  fail "--key left: $(cat "$work/err")"

step "from C:\\Łódź 東京\\: --help; --autostart on writes the Run value: this brisel.exe, quoted, with --run and the keys"
[ "$(wine_status "$exe" --help)" = 0 ] && grep -q -- "--trace FILE" "$work/out" || fail "--help: $(cat "$work/err")"
[ "$(wine_status "$exe" --autostart on --up F10 --down F9 --mute " +")" = 0 ] &&
  grep -q '^autostart on: HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Brisel starts ' "$work/out" ||
  fail "--autostart on: $(cat "$work/out" "$work/err")"
value=$(run_value) || fail "no Run value"
echo "Run value: $value"
[ "$value" = '"C:\Łódź 東京\brisel.exe" --run --up "F10" --down "F9" --mute " +"' ] || fail "Run value: $value"
[ "$(wine_status "$exe" --autostart on --up "Num +")" = 2 ] && one_line "$work/err" "^brisel: --up Num +: no key has that name" ||
  fail "a name that matches no key: $(cat "$work/out" "$work/err")"
[ "$(run_value)" = "$value" ] || fail "a refused name changed the value"

step "--autostart off removes it, and says so when there was none"
[ "$(wine_status "$exe" --autostart off)" = 0 ] && one_line "$work/out" "^autostart off: removed " || fail "off: $(cat "$work/out" "$work/err")"
! reg_value "$run_key" Brisel >/dev/null || fail "the Run value is still there"
[ "$(wine_status "$exe" --autostart off)" = 0 ] && one_line "$work/out" "^autostart off: there was no " ||
  fail "off again: $(cat "$work/out" "$work/err")"

step "before Run nothing watches the keys: --key is delivered and changes nothing; the trace is written in C:\\Łódź 東京\\"
wine_run "$exe" --up F7 --down F8 --mute F9 --trace 'C:\Łódź 東京\trace.log' >"$work/brisel.out" 2>&1 &
pid=$!
wait_for 30 x_window Form1 300 300
[ "$(wine_status "$exe" --key up)" = 0 ] || fail "--key before Run: $(cat "$work/err")"
wait_for 10 traced "Config opacity 220" 1
xdotool mousemove --window "$(x_window Form1 300 300)" 224 276 click 1
wait_for 10 traced "Splash load" 1
[ "$(volume_writes)" = 0 ] || fail "a press before Run stepped the volume"

step "--key up three times: three steps, each shown"
for n in 1 2 3; do
  [ "$(wine_status "$exe" --key up)" = 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/err" ] ||
    fail "--key up: $(cat "$work/out" "$work/err")"
  wait_for 5 eval '[ "$(volume_writes)" -ge '$n' ]'
done
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
[ "$(wine_status "$exe" --key mute)" = 0 ] || fail "--key mute: $(cat "$work/err")"
wait_for 5 traced "mixerSetControlDetails 1 12 1 -> 0" 1
first=$(tail -n +"$((mark + 1))" "$log" | head -n 1 | cut -d' ' -f1)
muted=$(grep " mixerSetControlDetails 1 12 1 -> 0$" "$log" | head -n 1 | cut -d' ' -f1)
echo "muted $((muted - first)) ms after the press showed the display"
[ $((muted - first)) -ge 80 ] && [ $((muted - first)) -le 300 ] || fail "muted $((muted - first)) ms after the press"

step "--quit ends the running Brisel within 2 s, status 0"
start=$(date +%s%N)
[ "$(wine_status "$exe" --quit)" = 0 ] && [ ! -s "$work/err" ] || fail "--quit: $(cat "$work/err")"
wait_for 2 eval "! kill -0 $pid"
echo "brisel --quit returned after $(( ($(date +%s%N) - start) / 1000000 )) ms"
reap
[ "$rc" = 0 ] || fail "the running Brisel ended with status $rc: $(cat "$work/brisel.out")"
[ "$(wine_status "$exe" --quit)" = 1 ] || fail "--quit after the end: $(cat "$work/err")"
echo "windows desktop: all checks passed"
