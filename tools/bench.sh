#!/bin/sh
# Prints the benchmark figures. Run through `tools/pixlet.sh bench`, which builds and gives it
# a display and the Wine prefix.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
: "${BUILD_DIR:=$ROOT/build}"
ARCH=$(ls -d "$BUILD_DIR"/*/bench_startup.exe 2>/dev/null | head -n 1 | xargs -r dirname | xargs -r basename)
[ -n "$ARCH" ] || { echo "bench.sh: no benchmark build; run tools/pixlet.sh bench" >&2; exit 1; }

echo "== Pixlet32.exe size"
for exe in "$BUILD_DIR"/*/Pixlet32.exe; do
  printf '  %s: %s bytes\n' "$(basename "$(dirname "$exe")")" "$(stat -c %s "$exe")"
done
echo "== start-up under Wine ($ARCH build): process start to tray icon added"
"$ROOT/tools/wine-env.sh" run "$BUILD_DIR/$ARCH/bench_startup.exe" 10
echo "== a 1920x1080 screen bitmap to PNG and BMP ($ARCH build), against libpng alone, ImageMagick, WriteFile"
"$ROOT/tools/wine-env.sh" run "$BUILD_DIR/$ARCH/bench_image.exe" 7
