# Helpers for the Windows program's tests under Wine; they run inside tests/linux/session.sh
# (an X server, a compositing manager, PulseAudio) and use tests/linux/lib.sh.
BRISEL_WINE_RUN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../cmake" && pwd)/wine-run.sh

# use_private_prefix PROGRAM.exe: from here on, Wine runs in a copy of the run's prefix (the
# build's, unless WINEPREFIX names one) inside
# the session's folder, with a wineserver of its own; it is stopped when the test ends.
use_private_prefix() {
  local base
  base=$("$BRISEL_WINE_RUN" --prefix "$1")
  cp -a "$base" "$BRISEL_SESSION/wineprefix"
  export WINEPREFIX=$BRISEL_SESSION/wineprefix
  trap stop_wine EXIT
}

# Ends every Wine process of the private prefix, and waits until they are gone.
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# wine_run PROGRAM.exe [ARG...]: runs the program in the private prefix.
wine_run() { "$BRISEL_WINE_RUN" "$@"; }
