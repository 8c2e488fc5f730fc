#!/usr/bin/env bash
# The program on an X server with a compositor and a sound server, at Xft.dpi 96, 192 and 144:
# the windows at their sizes at the scale, centred, rounded, translucent in their alpha, the display
# never taking the focus and showing the simulator's picture (at 2 drawn so, not blown up); the
# trace of Run and three presses is the simulator's. Run under session.sh: BRISEL XPROBE BRISEL_SIM
set -euo pipefail
brisel=$1 xprobe=$2 sim=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
# centred WINDOW W H: the window is W x H at the centre of the 1280x1024 screen
centred() { geometry "$1" >"$work/geometry" && [ "$(cat "$work/geometry")" = "$(( (1280 - $2) / 2 )) $(( (1024 - $3) / 2 )) $2 $3" ]; }
# rounded WINDOW W H R B E: its shape is the outline R B E E, with no opacity property, and its
# alpha 0 at the outline's corners
rounded() {
  local x=$(( ($2 < $4 ? $2 : $4) - 1 )) y=$(( ($3 < $5 ? $3 : $5) - 1 ))
  "$xprobe" shape "$1" "$4" "$5" "$6" "$6" && [ -z "$(opacity "$1")" ] &&
    [ "$("$xprobe" alpha "$1" 0 0 $x 0 0 $y $x $y | xargs)" = "0 0 0 0" ]
}
# snapshot FILE SIM-LINES [ARG...]: the simulator's display after Run and the lines
snapshot() { printf "start\nwait 300\nclick Run\nwait 300\n$2\nsnapshot Splash %s\n" "$1" | "$sim" "${@:3}" >/dev/null; }
snapshot "$work/up.bmp" 'tap 175\nwait 10'
snapshot "$work/up2.bmp" 'tap 175\nwait 10' --scale 2
snapshot "$work/muted.bmp" 'tap 175\nwait 1500\ntap 175\nwait 1500\ntap 173\nwait 110'
# shot FILE: the display, faded in (its alpha then leaves the picture exact to one level), in FILE
shot() {
  local at=("$splash" $((105 * q / 4)) $((100 * q / 4)) 220)
  alpha_is "${at[@]}" && "$xprobe" screenshot "$splash" "$1" && alpha_is "${at[@]}"
}
# shows FILE: the display looks as that snapshot (at 1)
shows() { splash=$(window Splash) && shot "$work/shot.bmp" && "$xprobe" same-inside "$work/shot.bmp" "$1" 210 205 55 55; }
normal() { sed -E 's/^[0-9]+ //; s/^(mixer[SG]etControlDetails) [0-9]+ /\1 H /' "$1" | grep -E "${2:-.}"; }
# The simulated output stands where the session's sound server starts the real one: 0 %, sound on.
printf 'mixer value 11 0\nmixer value 12 0\nstart\nwait 300\nclick Run\nwait 300\ntap 175\nwait 1500\ntap 175\nwait 1500\ntap 173\nwait 1500\n' |
  "$sim" >"$work/sim.trace"
"$xprobe" hold-focus >"$work/holder" &
helpers=($!)
wait_for 5 test -s "$work/holder"

# run DPI DIALOG DISPLAY_W DISPLAY_H: one program at that resolution.
run() {
  local dpi=$1 dialog=$2 q=$(( $1 / 24 ))  # the scale in quarters
  step "Xft.dpi $dpi: the dialog, ${dialog}x$dialog, titled and named from its layout, centred, rounded, faded in to 220"
  echo "Xft.dpi: $dpi" | xrdb -merge
  from_silence
  log=$work/trace-$dpi.log
  brisel_up --trace "$log"
  wait_for 5 window Config
  config=$(window Config)
  wait_for 5 centred "$config" "$dialog" "$dialog" || fail "dialog at $(cat "$work/geometry")"
  timeout 5 xprop -id "$config" WM_NAME WM_CLASS >"$work/props"
  grep -q '"Form1"' "$work/props" && grep -q '"Config", "Brisel"' "$work/props" || fail "title and class: $(cat "$work/props")"
  wait_for 5 faded_in Config
  rounded "$config" "$dialog" "$dialog" "$dialog" "$dialog" $((45 * q / 4)) || fail "the dialog's outline"
  hand_over $((25 * q))
  [ "$(sink_volume)" = 0 ] || fail "the volume changed before any key"

  step "volume up: the sink gets the level; the display, $3x$4, centred and rounded, fades in without the focus"
  press XF86AudioRaiseVolume volume_is 2
  wait_for 5 window Splash
  splash=$(window Splash)
  centred "$splash" "$3" "$4" || fail "display at $(cat "$work/geometry")"
  wait_for 5 alpha_is "$splash" $((105 * q / 4)) $((100 * q / 4)) 220
  rounded "$splash" "$3" "$4" $((210 * q / 4)) $((205 * q / 4)) $((55 * q / 4)) || fail "the display's outline"
  [ "$("$xprobe" focus)" = "$(cat "$work/holder")" ] || fail "the display took the focus"
  if [ "$dpi" = 96 ]; then
    wait_for 5 shows "$work/up.bmp" || fail "the display differs from the simulator's"
  elif [ "$dpi" = 192 ]; then
    drawn() { shot "$work/twice.bmp" && "$xprobe" drawn-at-two "$work/twice.bmp" "$work/up.bmp" 210 205 55 55 >"$work/compared"; }
    wait_for 5 drawn || fail "$(cat "$work/compared")"
    cat "$work/compared"
    "$xprobe" same-inside "$work/twice.bmp" "$work/up2.bmp" 420 410 110 110 || fail "not brisel-sim's picture at 2"
  fi
  wait_for 5 traced "Splash hidden" 1
  press XF86AudioRaiseVolume traced "Splash hidden" 2
  press XF86AudioMute mute_is yes
  if [ "$dpi" = 96 ]; then  # the display loses its waves and its lit squares, as in the simulator
    wait_for 5 shows "$work/muted.bmp" || fail "the muted display differs from the simulator's"
  fi
  wait_for 5 traced "Splash hidden" 3
  brisel_quits

  step "the trace at $dpi dpi is the simulator's"
  grep -q "^[0-9]* mixerSetControlDetails 1 11 " "$log" || fail "no time stamps, or not the real mixer's handle"
  # The same lines, and in the same order within each kind: a real clock that falls behind lets a
  # timer skip a missed tick, which may move one timer's lines past another's.
  diff <(normal "$work/sim.trace" | sort) <(normal "$log" | sort) || fail "the traces differ"
  for kind in "^mixer" "^Config" "^Splash (load|shown|hidden|region)" "^Splash opacity" "^Splash (Image2|Mute)"; do
    diff <(normal "$work/sim.trace" "$kind") <(normal "$log" "$kind") || fail "the traces differ in the order of $kind"
  done
}

run 96 300 209 207
run 192 600 418 414
# At 1.5 every length is rounded down: the display's 313.5 x 310.5 pixels are 313 x 310.
run 144 450 313 310
echo "linux program: all checks passed"
