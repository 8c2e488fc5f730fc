#!/usr/bin/env bash
# The Core Audio mixer under Wine, seen through Wine's own log of the Core Audio calls
# (WINEDEBUG=trace+mmdevapi): each volume write is one SetMasterVolumeLevelScalar call with the
# value scaled from 0..65535 to 0.0..1.0, each mute write one SetMute call, each write looks the
# default endpoint up anew, and lines other than speakers and wave-out do not exist. A read is
# one GetMasterVolumeLevelScalar or GetMute call, the same way round.
# Usage (inside tests/linux/session.sh): coreaudio_test.sh mixer_probe.exe
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../linux/lib.sh"
. "$here/lib.sh"
probe=$1
use_private_prefix "$probe"

log=$BRISEL_SESSION/mmdevapi.log
out=$(WINEDEBUG=-all,trace+mmdevapi wine_run "$probe" open table read:5 read:12 read:3 volume:5:50 mute:12:-1 mute:12:0 volume:0:101 \
  volume:5:0 volume:3:50 mute:8:-1 2>"$log" | tr -d '\r')
echo "$out"

# The table: speakers (entries 0 and 7) and wave-out (5 and 12), nothing else.
expected_table="0 id=1 min=0 max=65535
5 id=11 min=0 max=65535
7 id=2 min=0 max=1
12 id=12 min=0 max=1"
[ "$(echo "$out" | grep ' id=')" = "$expected_table" ] || fail "control table: $(echo "$out" | grep ' id=')"

# Wine 8 answers E_NOTIMPL to SetMasterVolumeLevelScalar: the write fails, and says so; SetMute
# succeeds. The entries without a line send control 0, which the mixer refuses without a call.
# Wine's endpoint reads as full volume, sound on; a line that does not exist reads nothing.
expected_answers="OpenMixer = -1
GetControlValue 5 = 65535
GetControlValue 12 = 0
GetControlValue 3 = none
SetVolume 5 50 = 0
SetMute 12 -1 = -1
SetMute 12 0 = -1
SetVolume 0 101 = 0
SetVolume 5 0 = 0
SetVolume 3 50 = 0
SetMute 8 -1 = 0"
[ "$(echo "$out" | grep ' = ')" = "$expected_answers" ] || fail "answers: $(echo "$out" | grep ' = ')"

# The calls as Wine logged them, with their arguments, in order: 50 % is 32750 of 65535;
# 101 % is clamped to 65535.
calls=$(sed -n 's/.*:trace:mmdevapi:AEV_\(SetMasterVolumeLevelScalar\|SetMute\) [^>]*>(\([^,]*\),.*/\1 \2/p' "$log")
expected_calls="SetMasterVolumeLevelScalar 0.499733
SetMute 1
SetMute 0
SetMasterVolumeLevelScalar 1.000000
SetMasterVolumeLevelScalar 0.000000"
[ "$calls" = "$expected_calls" ] || fail "Core Audio calls: $calls"
# No other volume call (no decibel call, no per-channel call).
others=$(grep ':trace:mmdevapi:AEV_Set' "$log" | grep -v 'AEV_SetMasterVolumeLevelScalar \|AEV_SetMute ' || true)
[ -z "$others" ] || fail "other volume calls: $others"
reads=$(sed -n 's/.*:trace:mmdevapi:AEV_\(GetMasterVolumeLevelScalar\|GetMute\) .*/\1/p' "$log" | tr '\n' ' ')
[ "$reads" = "GetMasterVolumeLevelScalar GetMute " ] || fail "Core Audio reads: $reads"
# The default endpoint is looked up at every read and write.
lookups=$(grep -c ':trace:mmdevapi:MMDevEnum_GetDefaultAudioEndpoint' "$log")
[ "$lookups" = 7 ] || fail "default endpoint looked up $lookups times for 2 reads and 5 writes"
echo "PASS"
