#!/bin/bash
# Set up, build, run and test Pixlet32 on Debian 12 (amd64).
#
#   tools/pixlet.sh run     install what is missing, build, start Pixlet32 under Wine (in a
#                           Wine virtual desktop, PIXLET_DESKTOP=WxH in size, default 1024x768)
#   tools/pixlet.sh test    install what is missing, build, run the whole test suite
#   tools/pixlet.sh bench   build, then run the benchmarks under Xvfb and print figures
#                           (`bench long-recording`: only a 30 s recording of 5 GB in files;
#                           `bench recording`, `bench zmbv`, `bench grab`: only those parts)
#   tools/pixlet.sh soak    build, then make many captures in a row and count what they leave
#   tools/pixlet.sh dist    build, then write and check dist/Pixlet32-<version>.zip, the release
#   tools/pixlet.sh setup | fetch | build    the single steps
#
# Installing needs root (or sudo); every step is idempotent and skips what is done.
# The program is built for i686 into $BUILD_DIR/i686 (the shipped Pixlet32.exe), and the same
# sources for x86_64 into $BUILD_DIR/x86_64 (its companion Pixlet64.exe, copied beside it). The
# tests run the i686 build where the machine can execute 32-bit x86 code; where it cannot (some
# virtual machines run 64-bit user code only), they run the x86_64 build.
# PIXLET_TEST_ARCH=i686|x86_64 overrides the choice.
# Environment: BUILD_DIR (default ./build), WINEPREFIX (default $BUILD_DIR/wineprefix).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build}
export BUILD_DIR=$BUILD
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}

PKGS="cmake ninja-build dpkg-dev python3 xvfb xauth xdotool x11-utils
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 libz-mingw-w64-dev googletest
      wine wine32:i386 wine64 libasound2 libasound2:i386 libasound2-plugins:i386
      imagemagick ffmpeg xserver-xephyr"

T0=${T0:-$(date +%s)}
export T0
step() { echo "== $* ($(( $(date +%s) - T0 )) s)"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else echo "installing packages needs root: run this as root or install sudo" >&2; exit 1
  fi
}

missing_packages() {
  local p out=""
  for p in $PKGS; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || out="$out $p"
  done
  echo "$out"
}

has_deb_src() { apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; }

setup() {
  local need
  need=$(missing_packages)
  if [ -z "$need" ] && has_deb_src; then step "packages already installed"; return; fi
  step "installing packages:$need (apt, a few minutes on a fresh machine)"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  # `apt-get source libpng1.6` needs deb-src entries, which Debian 12 images do not carry:
  # mirror the configured deb entries.
  if ! has_deb_src; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        as_root tee /etc/apt/sources.list.d/pixlet32-deb-src.sources >/dev/null
    fi
    if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
        as_root tee /etc/apt/sources.list.d/pixlet32-deb-src.list >/dev/null
    fi
  fi
  as_root apt-get -o DPkg::Lock::Timeout=600 update -q
  # shellcheck disable=SC2086
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q \
    --no-install-recommends $(missing_packages)
  step "packages installed"
}

# The benchmarks compare with scrot, which the tests do not need.
setup_bench() {
  dpkg-query -W -f='${Status}\n' scrot 2>/dev/null | grep -q '^install ok installed$' && return
  step "installing scrot for the benchmarks"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends scrot
}

# Many captures in a row in one process, counting what they leave behind (not in the suite).
# No sound device: the shutter then fails at once instead of taking its time at each capture.
soak() {
  export PIXLET_NO_SOUND=1
  WINE_SERVED=1
  "$ROOT/tools/wine-env.sh" serve
  local rc=0
  # shellcheck disable=SC2086
  run_child "$ROOT/tools/wine-env.sh" run "$BUILD/$(test_arch)/bench_soak.exe" ${SOAK_CAPTURES:-} || rc=$?
  "$ROOT/tools/wine-env.sh" stop
  WINE_SERVED=""
  return $rc
}

fetch() {  # libpng with Debian's patches applied -> third_party/libpng1.6-*/
  if ls "$ROOT"/third_party/libpng1.6-*/png.h >/dev/null 2>&1; then return; fi
  step "fetching libpng1.6 source package"
  mkdir -p "$ROOT/third_party"
  # The newest candidate may be a security update whose files are not on the mirror yet.
  (cd "$ROOT/third_party" && { apt-get source -q libpng1.6 || apt-get source -q libpng1.6/bookworm; })
}

# Can this machine run 32-bit x86 code (and so Wine's 32-bit loader)?
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

test_arch() {
  case "${PIXLET_TEST_ARCH:-auto}" in
    i686|x86_64) echo "$PIXLET_TEST_ARCH" ;;
    *) if runs_i386; then echo i686; else echo x86_64; fi ;;
  esac
}

build_tree() {  # arch, with tests ON|OFF, more cmake arguments
  local arch=$1 tests=$2
  shift 2
  if [ ! -f "$BUILD/$arch/build.ninja" ]; then
    step "configure $arch (the first time also cross-builds libpng, cached in $BUILD/$arch/_deps)"
  fi
  cmake -S "$ROOT" -B "$BUILD/$arch" -G Ninja -DPIXLET_ARCH="$arch" -DPIXLET_TESTS="$tests" \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw.cmake" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  step "build $arch"
  cmake --build "$BUILD/$arch"
}

build() {
  fetch
  local tarch
  tarch=$(test_arch)
  if [ "$tarch" = i686 ]; then
    build_tree x86_64 OFF
    build_tree i686 ON -DPIXLET_COMPANION_EXE="$BUILD/x86_64/Pixlet64.exe"
  else
    build_tree i686 OFF
    build_tree x86_64 ON -DPIXLET_PRODUCT_EXE="$BUILD/i686/Pixlet32.exe"
  fi
  step "built $BUILD/i686/Pixlet32.exe ($(stat -c %s "$BUILD/i686/Pixlet32.exe") bytes) and" \
       "$BUILD/x86_64/Pixlet64.exe ($(stat -c %s "$BUILD/x86_64/Pixlet64.exe") bytes); tests built for $tarch"
}

# The release: both programs, the user's README, the licences of libpng and zlib.
dist() {
  local version libpng
  version=$(sed -n 's/^#define PIXLET_VERSION_TEXT "\(.*\)"$/\1/p' "$BUILD/i686/generated/PixletVersion.h")
  libpng=$(find "$ROOT/third_party" -maxdepth 1 -type d -name 'libpng1.6-*' | sort | tail -n 1)
  step "writing dist/Pixlet32-$version.zip"
  python3 "$ROOT/tools/dist.py" --out "$ROOT/dist/Pixlet32-$version.zip" --version "$version" \
    --pixlet32 "$BUILD/i686/Pixlet32.exe" --pixlet64 "$BUILD/x86_64/Pixlet64.exe" \
    --readme "$ROOT/res/README.txt" --libpng-licence "$libpng/LICENSE" \
    --zlib-header /usr/i686-w64-mingw32/include/zlib.h \
    --objdump-i686 i686-w64-mingw32-objdump --objdump-x86_64 x86_64-w64-mingw32-objdump \
    --check-imports "$ROOT/cmake/CheckImports.cmake"
}

# Its child command, Wine server and Xvfb, ended also when the script is interrupted
# (end_children, run_child, in_xvfb).
# shellcheck source=tools/session.sh
. "$ROOT/tools/session.sh"

app_exe() {
  if runs_i386; then echo "$BUILD/i686/Pixlet32.exe"
  else
    echo "This machine cannot execute 32-bit x86 code, so Wine cannot run the 32-bit Pixlet32.exe;" >&2
    echo "starting the same program built for x86_64, Pixlet64.exe, instead." >&2
    echo "$BUILD/x86_64/Pixlet64.exe"
  fi
}

# Under Wine a global hot key arrives only while one of Wine's windows has the keyboard focus,
# and Pixlet32 has no window to hold it (without a system tray, Wine's small "Wine System Tray"
# window at most). So it runs inside a Wine virtual desktop: one window, with a taskbar that
# shows the tray icon, that the user clicks into before pressing a hot key.
DESKTOP_SIZE=${PIXLET_DESKTOP:-1024x768}

run_app() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$ROOT/tools/wine-env.sh" prefix
    local exe
    exe=$(app_exe)
    echo "Starting Pixlet32 on display $DISPLAY."
    run_hint
    run_in_desktop "$exe"
  else
    echo "No X display: starting an Xvfb of our own (x11vnc or xwd can show it)."
    # As large as the desktop window, so that the pointer never leaves it.
    PIXLET_SCREEN=${PIXLET_SCREEN:-${DESKTOP_SIZE}x24} in_xvfb run_in_own_x
  fi
}

run_in_own_x() {
  "$ROOT/tools/wine-env.sh" prefix
  local exe
  exe=$(app_exe)
  echo "Pixlet32 is on display $DISPLAY."
  run_hint
  WINE_SERVED=1  # its Wine server would outlive this display
  run_in_desktop "$exe" || true
  "$ROOT/tools/wine-env.sh" stop
  WINE_SERVED=""
}

# The desktop's explorer starts the program and ends when it ends.
run_in_desktop() {
  run_child "$ROOT/tools/wine-env.sh" run explorer "/desktop=Pixlet32,$DESKTOP_SIZE" "$1"
}

run_hint() {
  cat <<EOF
Pixlet32 runs inside a Wine virtual desktop, the $DESKTOP_SIZE window "Pixlet32 - Wine desktop".
The program has no main window: its icon is at the right end of that desktop's taskbar.
  - right-click the icon for the menu (Option, About, Exit; Exit ends the program and the
    desktop window);
  - press the left button on it for the window picker;
  - click into the desktop window (with no window manager, keep the pointer over it) before
    pressing a hot key: Wine passes keys on only while one of its windows has the keyboard
    focus. PrintScreen then copies the Wine desktop, Ctrl+PrintScreen lets you choose a part.
EOF
}

# The tests labelled display16/display8 need a display of that depth, and those labelled
# twomonitors a display of two monitors: each its own display, after the main run.
DISPLAY_LABELS='^(display16|display8|twomonitors)$'

run_tests() {  # [label]: only the tests of that label, else all but those of their own displays
  export PIXLET_SOUND_CAPTURE="$BUILD/testhome/shutter-capture.raw"
  WINE_SERVED=1
  "$ROOT/tools/wine-env.sh" serve
  step "ctest${1:+ ($1)} on display $DISPLAY"
  local rc=0 select
  if [ -n "${1:-}" ]; then select=(-L "^$1\$"); else select=(-LE "$DISPLAY_LABELS"); fi
  # shellcheck disable=SC2086
  run_child ctest --test-dir "$BUILD/$(test_arch)" --output-on-failure --timeout 300 "${select[@]}" \
    ${CTEST_ARGS:-} || rc=$?
  "$ROOT/tools/wine-env.sh" stop
  WINE_SERVED=""
  step "tests done (exit $rc)"
  # ctest killed by a signal: the run was interrupted, not failed; go no further.
  if [ "$rc" -gt 128 ]; then exit "$rc"; fi
  return $rc
}

test_all() {
  local rc=0 depth
  in_xvfb run_tests || rc=$?
  for depth in 16 8; do
    PIXLET_SCREEN=1280x1024x$depth in_xvfb run_tests "display$depth" || rc=$?
  done
  # A 1024x768 primary monitor at (0, 0) and an 800x600 one right of it, at (1024, 0).
  PIXLET_SCREEN=1900x800x24 PIXLET_MONITORS="1024x768 800x600" in_xvfb run_tests twomonitors || rc=$?
  return $rc
}

case "${1:-}" in
  setup) setup ;;
  fetch) fetch ;;
  build) build ;;
  run)   setup; build; run_app ;;
  test)  setup; build; step "tests in Xvfb"; test_all ;;
  bench) setup; setup_bench; build; "$ROOT/tools/bench.sh" "${@:2}" ;;
  soak)  setup; build; in_xvfb soak ;;
  dist)  setup; build; dist ;;
  *) sed -n '2,15p' "$0" >&2; exit 2 ;;
esac
