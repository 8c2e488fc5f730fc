#!/usr/bin/env bash
# The windows at the scale the desktop sets (Xft.dpi): at 192 dpi (2) and 144 dpi (1.5) the
# dialog and the display have their layouts' sizes at the scale, are centred on the screen and
# rounded at the scaled corners; at 2 the display shows the simulator's picture drawn twice as
# large, not blown up; the trace of the presses is the one at 96 dpi.
# Run under session.sh (a 1280x1024 screen):  scale_test.sh BRISEL BRISEL_SIM XPROBE
set -euo pipefail
brisel=$1 sim=$2 xprobe=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT
# centred WINDOW W H: the window is W x H at the centre of the 1280x1024 screen
centred() {
  local g; g=$(geometry "$1")
  echo "$g" >"$work/geometry"
  [ "$g" = "$(( (1280 - $2) / 2 )) $(( (1024 - $3) / 2 )) $2 $3" ]
}
normal() { sed -E 's/^[0-9]+ //; s/^(mixer[SG]etControlDetails) [0-9]+ /\1 H /' "$1" | sort; }

# The unscaled trace of the same presses, from the simulator.
printf 'mixer value 11 0\nmixer value 12 0\nstart\nwait 300\nclick Run\nwait 300\ntap 175\nwait 1500\ntap 173\nwait 1500\n' |
  "$sim" >"$work/sim.trace"

# run DPI SCALE DIALOG DISPLAY_W DISPLAY_H: one program at that resolution.
run() {
  local dpi=$1 scale=$2 dialog=$3 dw=$4 dh=$5
  step "Xft.dpi $dpi: the dialog is ${dialog}x$dialog, the display ${dw}x$dh, both centred and rounded at scale $scale"
  echo "Xft.dpi: $dpi" | xrdb -merge
  pactl set-sink-volume @DEFAULT_SINK@ 0%
  pactl set-sink-mute @DEFAULT_SINK@ 0
  log=$work/trace-$dpi.log
  "$brisel" --trace "$log" >"$work/brisel.log" 2>&1 &
  pid=$!
  wait_for 5 window Config
  config=$(window Config)
  wait_for 5 centred "$config" "$dialog" "$dialog" || fail "dialog at $(cat "$work/geometry")"
  "$xprobe" shape "$config" "$dialog" "$dialog" $((45 * dialog / 300)) $((45 * dialog / 300)) || fail "dialog outline"
  wait_for 5 traced "Config opacity 220" 1
  # Run's centre: (224, 276) at 1.
  xdotool mousemove --window "$config" $((224 * dialog / 300)) $((276 * dialog / 300)) click 1
  wait_for 5 gone Config
  tap XF86AudioRaiseVolume
  wait_for 5 window Splash
  splash=$(window Splash)
  centred "$splash" "$dw" "$dh" || fail "display at $(cat "$work/geometry")"
  local q=$(( dpi / 24 ))  # the scale in quarters
  "$xprobe" shape "$splash" $((210 * q / 4)) $((205 * q / 4)) $((55 * q / 4)) $((55 * q / 4)) || fail "display outline"
  if [ "$dpi" = 192 ]; then
    step "at 2 the display is the simulator's picture drawn twice as large"
    printf 'start\nwait 300\nclick Run\nwait 300\ntap 175\nwait 10\nsnapshot Splash %s\n' "$work/once.bmp" | "$sim" >/dev/null
    # Faded in: what its alpha leaves of the picture is then exact to one level.
    wait_for 5 alpha_is "$splash" 209 207 220
    drawn() {
      "$xprobe" screenshot "$splash" "$work/twice.bmp" &&
        "$xprobe" drawn-at-two "$work/twice.bmp" "$work/once.bmp" 210 205 55 55 >"$work/compared"
    }
    wait_for 5 drawn || fail "$(cat "$work/compared")"
    cat "$work/compared"
    printf 'start\nwait 300\nclick Run\nwait 300\ntap 175\nwait 10\nsnapshot Splash %s\n' "$work/sim2.bmp" |
      "$sim" --scale 2 >/dev/null
    "$xprobe" same-inside "$work/twice.bmp" "$work/sim2.bmp" 420 410 110 110 || fail "not brisel-sim's picture at 2"
  fi
  wait_for 5 traced "Splash hidden" 1
  tap XF86AudioMute
  wait_for 5 traced "Splash hidden" 2
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  step "the trace at $dpi dpi is the one at 96"
  diff <(normal "$work/sim.trace") <(normal "$log") || fail "the traces differ"
}

run 192 2 600 418 414
# At 1.5 every length is rounded down: the display's 313.5 x 310.5 pixels are 313 x 310.
run 144 1.5 450 313 310
echo "scale: all checks passed"
