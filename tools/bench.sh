#!/bin/sh
# Prints the benchmark figures. Each part runs on an Xvfb display of its own (a screen size
# needs its own display, and a Wine server serves one display). Interrupted (Ctrl+C, SIGTERM,
# hang-up), it ends the running benchmark, its Wine server and its display. Run it through
# `tools/pixlet.sh bench`, which installs and builds first.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
: "${BUILD_DIR:=$ROOT/build}"
export BUILD_DIR
ARCH=$(ls -d "$BUILD_DIR"/*/bench_startup.exe 2>/dev/null | head -n 1 | xargs -r dirname | xargs -r basename)
[ -n "$ARCH" ] || { echo "bench.sh: no benchmark build; run tools/pixlet.sh bench" >&2; exit 1; }
BIN=$BUILD_DIR/$ARCH
WINE_ENV=$ROOT/tools/wine-env.sh
# No sound device: the shutter then costs nothing (see wine-env.sh).
PIXLET_NO_SOUND=1
export PIXLET_NO_SOUND
# shellcheck source=tools/session.sh
. "$ROOT/tools/session.sh"

# A Windows program and its arguments, under a Wine server of this display, ended afterwards.
under_wine() {
  local rc=0
  WINE_SERVED=1
  "$WINE_ENV" serve
  run_child "$WINE_ENV" run "$@" || rc=$?
  "$WINE_ENV" stop
  WINE_SERVED=""
  return $rc
}

on_screen() {  # geometry, windows program and its arguments
  PIXLET_SCREEN=$1
  shift
  "$WINE_ENV" stop
  in_xvfb under_wine "$@"
}

# The same on several monitors: an Xephyr of these monitor sizes (left to right, the first the
# primary one) inside an Xvfb of the geometry, which must hold them side by side.
on_monitors() {  # Xvfb geometry, monitor sizes, windows program and its arguments
  local rc=0
  PIXLET_SCREEN=$1 PIXLET_MONITORS=$2
  shift 2
  "$WINE_ENV" stop
  in_xvfb under_wine "$@" || rc=$?
  PIXLET_MONITORS=""
  return $rc
}

record_both() {  # width height rate: the recorder, then ffmpeg, on one display
  PIXLET_SCREEN=1920x1080x24
  "$WINE_ENV" stop
  in_xvfb record_on_display "$@"
}
record_on_display() {
  local rc=0
  under_wine "$BIN/bench_recording.exe" "$1" "$2" "$3" 5 || rc=$?
  run_child sh "$ROOT/tools/bench/ffmpeg_record.sh" "$1" "$2" "$3" 5 || rc=$?
  return $rc
}

# A recording of 30 s at 20 frames/s of a whole 1920x1080 screen: about 5 GB in two or more
# files below 2 GB each, read back by ffprobe, with the gap at each switch of file. Not part of the
# plain run (the disk it needs); its files go with the benchmark's scratch folder.
#   tools/pixlet.sh bench long-recording
long_recording() {
  local free_kb
  free_kb=$(df -Pk /tmp | awk 'NR == 2 { print $4 }')
  if [ "$free_kb" -lt 7000000 ]; then
    echo "long recording: $((free_kb / 1024)) MB free in /tmp, 7 GB needed" >&2
    return 1
  fi
  echo "== a long recording: 1920x1080 at 20/s for 30 s, in files below 2 GB ($ARCH build)"
  PIXLET_SCREEN=1920x1080x24
  "$WINE_ENV" stop
  in_xvfb under_wine "$BIN/bench_recording.exe" 1920 1080 20 30 parts
}
recordings() {
  echo "== recording: frames per wall-clock second, CPU per frame, peak memory, against ffmpeg's x11grab ($ARCH build)"
  for size in "640 480" "1024 768" "1920 1080"; do
    for rate in 10 20; do
      # shellcheck disable=SC2086
      record_both $size $rate
    done
  done
}
# The lossless coder on 100 desktop-like frames of 1920x1080 made in memory, beside ffmpeg's.
zmbv() {
  echo "== lossless coding (ZMBV) of 1920x1080 frames: time and bytes a frame, against ffmpeg's encoder ($ARCH build)"
  on_screen 1920x1080x24 "$BIN/bench_zmbv.exe" 1920 1080 100 "$ROOT/tools/bench/ffmpeg_zmbv.sh"
}
# One part alone: `tools/pixlet.sh bench recording`, `... bench zmbv` or `... bench long-recording`.
case "${1:-}" in
  long-recording) long_recording; exit ;;
  recording) recordings; exit ;;
  zmbv) zmbv; exit ;;
esac

echo "== program size"
for exe in "$BUILD_DIR"/i686/Pixlet32.exe "$BUILD_DIR"/x86_64/Pixlet64.exe; do
  [ -f "$exe" ] && printf '  %s: %s bytes
' "$(basename "$exe")" "$(stat -c %s "$exe")"
done
echo "== start-up under Wine ($ARCH build): process start to tray icon added"
on_screen 1280x1024x24 "$BIN/bench_startup.exe" 10
echo "== a 1920x1080 screen bitmap to PNG and BMP ($ARCH build), against libpng alone, ImageMagick, WriteFile"
on_screen 1920x1080x24 "$BIN/bench_image.exe" 7
echo "== Copy automatically: action start to picture delivered, against the grab plus libpng alone and scrot ($ARCH build)"
for geometry in 1920x1080x24 1024x768x24; do
  on_screen "$geometry" "$BIN/bench_delivery.exe" 10 "$ROOT/tools/bench/scrot_times.sh"
done
recordings
zmbv
echo "== Ctrl+PrintScreen: action start to the selector shown, and the memory held meanwhile, against a full-screen grab ($ARCH build)"
on_screen 1280x1024x24 "$BIN/bench_selector.exe" 10
on_screen 1920x1080x24 "$BIN/bench_selector.exe" 10
on_monitors 1900x800x24 "1024x768 800x600" "$BIN/bench_selector.exe" 10
on_monitors 3840x1080x24 "1920x1080 1920x1080" "$BIN/bench_selector.exe" 10
echo "== screen grab ($ARCH build)"
on_screen 1920x1080x24 "$BIN/bench_capture.exe" grab 20
on_screen 1024x768x24 "$BIN/bench_capture.exe" grab 20
echo "== text of another program's list view ($ARCH reader)"
on_screen 1280x1024x24 "$BIN/bench_capture.exe" text control_host.exe
on_screen 1280x1024x24 "$BIN/bench_capture.exe" text control_host64.exe
echo "== text of an owner-data list view of 200,000 rows, whose owner answers each cell ($ARCH reader)"
on_screen 1280x1024x24 "$BIN/bench_capture.exe" ownerdata control_host.exe
echo "== a long reading with its progress window, against the same reading shown nowhere ($ARCH reader)"
on_screen 1280x1024x24 "$BIN/bench_reading.exe" 3
echo "== controls that lie about their counts, read within the program's limits ($ARCH reader)"
on_screen 1280x1024x24 "$BIN/bench_capture.exe" hostile control_host.exe
echo "== a 64-bit program's controls read through Pixlet64.exe's reader mode ($ARCH caller)"
if [ "$ARCH" = i686 ]; then host=control_host64_laa.exe; else host=control_host.exe; fi
on_screen 1280x1024x24 "$BIN/bench_capture.exe" companion "$host"
