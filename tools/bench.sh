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

# Whether /tmp holds what a full-screen recording's files need, said when it does not.
has_room_for_recordings() {  # what needs the room
  local free_kb
  free_kb=$(df -Pk /tmp | awk 'NR == 2 { print $4 }')
  [ "$free_kb" -ge 7000000 ] && return 0
  echo "$1: $((free_kb / 1024)) MB free in /tmp, 7 GB needed" >&2
  return 1
}

# The recording benchmark: on one 1920x1080 display, a painter changes the screen as desktop work
# does (a window's text typed, a pointer moving), then as the worst case does (a page scrolled,
# every pixel changed each frame), while the program and ffmpeg's x11grab record it in turn: the
# same scene for each. About 5 minutes; the 30 s uncompressed files are about 5 GB each, removed
# after each row.
#   tools/pixlet.sh bench recording
recordings() {
  has_room_for_recordings "recording" || return 1
  echo "== recording ($ARCH build): the program and ffmpeg's x11grab on the same 1920x1080 display, while a painter changes it"
  PIXLET_SCREEN=1920x1080x24
  "$WINE_ENV" stop
  in_xvfb recording_scenes
}
PAINT_DIR=""
PAINTER=""
paint() {  # desktop|scroll: a painter of that scene, left running
  rm -f "$PAINT_DIR/stop" "$PAINT_DIR/stop.ready"
  "$WINE_ENV" run "$BIN/bench_recording.exe" paint "$1" "Z:$(printf %s "$PAINT_DIR/stop" | tr / '\\')" &
  PAINTER=$!
  local waited=0
  while [ ! -e "$PAINT_DIR/stop.ready" ] && [ $waited -lt 600 ]; do sleep 0.1; waited=$((waited + 1)); done
  sleep 1
}
stop_painting() {
  touch "$PAINT_DIR/stop"
  wait "$PAINTER" || true
  PAINTER=""
}
program_row() { run_child "$WINE_ENV" run "$BIN/bench_recording.exe" record "$@"; }
ffmpeg_row() { run_child sh "$ROOT/tools/bench/ffmpeg_record.sh" "$@"; }
recording_header() {
  echo "-- $*"
  printf '  %-20s %12s %16s %10s %9s %8s %9s  %s\n' "" "file" "rate held" "max gap" "CPU/frame" "beyond" "peak mem" \
    "frames"
}
recording_scenes() {
  local rc=0 null null_cpu
  WINE_SERVED=1
  "$WINE_ENV" serve
  PAINT_DIR=$(mktemp -d)
  echo "   (beyond: CPU a frame beyond the bare grab of the same rectangle, timed in the same run: for the program a"
  echo "   BitBlt into a 32-bit DIB section used before, for ffmpeg its x11grab to -f null; max gap: the largest"
  echo "   between two frames taken; peak mem: of the recording process)"
  paint desktop
  recording_header "1920x1080 at 20/s for 30 s, desktop-like work: a window's text typed, a pointer moving"
  program_row 1920 1080 20 30 || rc=$?
  program_row 1920 1080 20 30 zmbv || rc=$?
  null=$(ffmpeg_row null 1920 1080 20 10) || rc=$?
  printf '%s\n' "$null" | grep -v '^NULL_CPU='
  null_cpu=$(printf '%s\n' "$null" | sed -n 's/^NULL_CPU=//p')
  NULL_CPU=$null_cpu ffmpeg_row raw 1920 1080 20 30 || rc=$?
  NULL_CPU=$null_cpu ffmpeg_row zmbv 1920 1080 20 30 || rc=$?
  recording_header "1920x1080 at 10/s for 10 s, the same work"
  program_row 1920 1080 10 10 || rc=$?
  program_row 1920 1080 10 10 zmbv || rc=$?
  recording_header "1024x768 (the top left of the screen) at 20/s for 10 s, the same work"
  program_row 1024 768 20 10 || rc=$?
  program_row 1024 768 20 10 zmbv || rc=$?
  stop_painting
  paint scroll
  recording_header "worst case: a page scrolled 8 rows every frame (every pixel changes), 1920x1080 at 20/s for 10 s"
  program_row 1920 1080 20 10 || rc=$?
  program_row 1920 1080 20 10 zmbv || rc=$?
  NULL_CPU=$null_cpu ffmpeg_row zmbv 1920 1080 20 10 || rc=$?
  stop_painting
  rm -rf "$PAINT_DIR"
  "$WINE_ENV" stop
  WINE_SERVED=""
  return $rc
}

# A recording of 30 s at 20 frames/s of a whole 1920x1080 screen: about 5 GB in two or more
# files below 2 GB each, read back by ffprobe, with the gap at each switch of file. Not part of the
# plain run (the disk it needs); its files go with the benchmark's scratch folder.
#   tools/pixlet.sh bench long-recording
long_recording() {
  has_room_for_recordings "long recording" || return 1
  echo "== a long recording: 1920x1080 at 20/s for 30 s, in files below 2 GB ($ARCH build)"
  PIXLET_SCREEN=1920x1080x24
  "$WINE_ENV" stop
  in_xvfb under_wine "$BIN/bench_recording.exe" record 1920 1080 20 30 parts
}
# The lossless coder on 100 desktop-like frames of 1920x1080 made in memory, beside ffmpeg's.
zmbv() {
  echo "== lossless coding (ZMBV) of 1920x1080 frames: time and bytes a frame, against ffmpeg's encoder ($ARCH build)"
  on_screen 1920x1080x24 "$BIN/bench_zmbv.exe" 1920 1080 100 "$ROOT/tools/bench/ffmpeg_zmbv.sh"
}
# One part alone: `tools/pixlet.sh bench recording`, `... bench zmbv`, `... bench grab` or `... bench long-recording`.
grabs() {
  echo "== screen grab ($ARCH build)"
  on_screen 1920x1080x24 "$BIN/bench_capture.exe" grab 20 "$ROOT/tools/bench/ffmpeg_record.sh"
  on_screen 1024x768x24 "$BIN/bench_capture.exe" grab 20 "$ROOT/tools/bench/ffmpeg_record.sh"
}

case "${1:-}" in
  long-recording) long_recording; exit ;;
  recording) recordings; exit ;;
  zmbv) zmbv; exit ;;
  grab) grabs; exit ;;
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
grabs
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
