#!/bin/sh
# scrot writing a PNG of the whole screen, on $DISPLAY: the median of RUNS runs at its default
# quality (75: zlib level 2) and at quality 33 (zlib level 6, libpng's default), appended to FILE.
#   scrot_times.sh RUNS FILE
runs=$1 out=$2
dir=$(mktemp -d) || exit 1
for quality in 75 33; do
  for i in $(seq "$runs"); do
    start=$(date +%s%N)
    scrot -o -q "$quality" "$dir/shot.png" >/dev/null 2>&1 || exit 1
    end=$(date +%s%N)
    echo $(( (end - start) / 1000 ))
  done | sort -n >"$dir/times"
  awk -v q="$quality" -v size="$(stat -c %s "$dir/shot.png")" \
    '{ t[NR] = $1 } END { printf "  scrot -q %d: %.1f ms (median of %d, %s bytes)\n", q, t[int((NR + 1) / 2)] / 1000, NR, size }' \
    "$dir/times" >>"$out"
done
rm -rf "$dir"
