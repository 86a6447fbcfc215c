#!/bin/sh
# The Wine environment of the build and the tests: one win64 prefix inside the build tree.
#
#   wine-env.sh prefix          create and configure the prefix once
#   wine-env.sh serve           the prefix, and a Wine server that stays up between programs
#   wine-env.sh run EXE ARGS... run a Windows program (CMake's CROSSCOMPILING_EMULATOR); exit code kept
#   wine-env.sh stop            end every process of the prefix
#
# `run` streams the program's output as it comes, so that a test killed at its time-out keeps
# what it printed. Interrupted (INT, TERM, HUP, or its parent gone: ctest stopped), it ends the
# program and every process of the prefix, the Wine server with them.
#
# Environment: BUILD_DIR (default ./build), WINEPREFIX (default $BUILD_DIR/wineprefix),
# PIXLET_SOUND_CAPTURE (the tests' sound device, below), PIXLET_NO_SOUND (no sound device).
ROOT=$(cd "$(dirname "$0")/.." && pwd)
: "${BUILD_DIR:=$ROOT/build}"
: "${WINEPREFIX:=$BUILD_DIR/wineprefix}"
: "${WINEDEBUG:=-all}"
# No Mono/Gecko downloads, no desktop menu entries written into the user's home.
: "${WINEDLLOVERRIDES:=mscoree,mshtml,winemenubuilder.exe=}"
WINEARCH=win64
# The benchmarks and the soak run without a sound device on purpose, so that the shutter costs
# nothing (PIXLET_NO_SOUND set). Wine's audio drivers are then not loaded at all: on a machine
# without a sound card its ALSA driver prints a block of ALSA errors each time a program opens
# the sound, which drowns the figures; and a driver that found a device would make the shutter
# take its time. The programs' own errors still reach the output.
if [ -n "${PIXLET_NO_SOUND:-}" ]; then
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv="
  unset PIXLET_SOUND_CAPTURE
fi
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES

# Tests hear the program through a sound device that writes what it is given to a file
# (PIXLET_SOUND_CAPTURE, a Unix path): ALSA's default device, configured in a home of their own.
if [ -n "${PIXLET_SOUND_CAPTURE:-}" ]; then
  HOME=$(dirname "$PIXLET_SOUND_CAPTURE")
  export HOME PIXLET_SOUND_CAPTURE
  mkdir -p "$HOME"
  [ -f "$HOME/.asoundrc" ] || cat >"$HOME/.asoundrc" <<ALSA
pcm.!default { type file; slave.pcm "null"; file "$PIXLET_SOUND_CAPTURE"; format "raw" }
ALSA
fi

# Debian's `wine` runs the 32-bit loader first. Where the kernel cannot execute i386 code (some
# virtual machines run 64-bit user code only) that fails, so the 64-bit loader is used directly
# and only 64-bit programs can run.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  WINE=wine
else
  WINE=/usr/lib/wine/wine64
fi
# Bump when the configuration below changes, so that cached prefixes are made again.
PREFIX_VERSION=1

make_prefix() {
  [ -f "$WINEPREFIX/.pixlet-ready-$PREFIX_VERSION" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/.pixlet-ready-$PREFIX_VERSION" ] && exit 0
    echo "wine-env: creating the Wine prefix $WINEPREFIX (about 20 s)" >&2
    rm -rf "$WINEPREFIX"
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager every hide of a managed window waits 2 s for an answer from it.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    # A crash prints its backtrace instead of opening a dialog that would hang the test.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.pixlet-ready-$PREFIX_VERSION"
  ) 9>"$WINEPREFIX.lock" || { echo "wine-env: creating $WINEPREFIX failed" >&2; exit 125; }
}

case "$1" in
  prefix)
    make_prefix
    ;;
  serve)
    make_prefix
    rm -rf "$BUILD_DIR/wine-output"  # what runs killed by ctest left
    # Stays up between test programs: a start then takes 0.05 s instead of 0.5 s.
    wineserver -p </dev/null >/dev/null 2>&1
    ;;
  run)
    shift
    make_prefix
    # Told with SIGTERM when its parent dies: a ctest that was stopped does not end its test.
    if command -v setpriv >/dev/null; then
      exec setpriv --pdeathsig TERM /bin/sh "$0" _run "$@"
    fi
    exec /bin/sh "$0" _run "$@"
    ;;
  _run)
    shift
    # The program writes to a file, and `tail` copies it to our output as it grows. Wine's
    # helper processes (services, explorer...) inherit the program's output and outlive it:
    # given our pipe, they would keep ctest waiting for its end. ctest kills this script, the
    # program and `tail` at a time-out (SIGKILL to the whole process tree), and keeps what
    # reached it; the program's own children are the next test's to end.
    mkdir -p "$BUILD_DIR/wine-output" || exit 125
    out=$(mktemp "$BUILD_DIR/wine-output/run.XXXXXX") || exit 125
    setpriv_kill=
    command -v setpriv >/dev/null && setpriv_kill="setpriv --pdeathsig KILL"
    $setpriv_kill "$WINE" "$@" </dev/null >"$out" 2>&1 &
    pid=$!
    interrupted() {
      kill -KILL "$pid" 2>/dev/null
      wait "$tail_pid" 2>/dev/null
      wineserver -k 2>/dev/null
      rm -f "$out"
      exit "$1"
    }
    trap 'interrupted 130' INT
    trap 'interrupted 143' TERM
    trap 'interrupted 129' HUP
    tail -n +1 -s 0.005 --pid="$pid" -f "$out" &
    tail_pid=$!
    wait "$pid"
    rc=$?
    wait "$tail_pid"
    rm -f "$out"
    exit $rc
    ;;
  stop)
    wineserver -k 2>/dev/null
    exit 0
    ;;
  *)
    sed -n '2,14p' "$0" >&2; exit 2 ;;
esac
