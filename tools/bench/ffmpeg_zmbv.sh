#!/bin/sh
# ffmpeg's own ZMBV encoder on the frames of a file the program coded: the file decoded and coded
# again, at ffmpeg's default spacing of key frames (25 frames) and at the program's (its ZMBV
# encoder takes the spacing from -keyint_min, not -g). Its bytes a key frame and another frame,
# the CPU its coding took a frame (the decoding alone, timed apart, taken off), its file against
# the program's, and whether both decode to the same frames; appended to OUT.
#   ffmpeg_zmbv.sh FILE FRAMES KEY_INTERVAL OUT
in=$1 frames=$2 keys=$3 out=$4
dir=$(mktemp -d) || exit 1
cpu() {  # seconds of user and system time of one ffmpeg run
  ffmpeg -hide_banner -nostats -benchmark "$@" 2>&1 |
    sed -n 's/^bench: utime=\([0-9.]*\)s stime=\([0-9.]*\)s.*/\1 \2/p' | awk '{ print $1 + $2 }'
}
frame_sums() { ffmpeg -v error -i "$1" -f framemd5 - | grep -v '^#'; }
decoding=$(cpu -i "$in" -f null -)
frame_sums "$in" >"$dir/ours.md5"
ours=$(stat -c %s "$in")
for spacing in default "$keys"; do
  if [ "$spacing" = default ]; then g=""; else g="-keyint_min $spacing"; fi
  # shellcheck disable=SC2086
  coding=$(cpu -i "$in" -c:v zmbv $g -y "$dir/theirs.avi")
  frame_sums "$dir/theirs.avi" >"$dir/theirs.md5"
  if cmp -s "$dir/ours.md5" "$dir/theirs.md5"; then same="the same frames"; else same="OTHER FRAMES"; fi
  ffprobe -v error -select_streams v:0 -show_entries packet=size,flags -of csv=p=0 "$dir/theirs.avi" |
    awk -F, -v s="$spacing" -v size="$(stat -c %s "$dir/theirs.avi")" -v ours="$ours" -v n="$frames" \
        -v c="$coding" -v d="$decoding" -v same="$same" '
      $2 ~ /^K/ { keys++; key += $1; next } { others++; other += $1 }
      END { printf "  %-22s ffmpeg, -keyint_min %-7s %d key frame(s) %5.0f KB; other frames %6.1f KB; CPU %6.2f ms/frame; file %.2f MB, the program'"'"'s %.2fx that; %s\n",
                   "", s, keys, key / (keys ? keys : 1) / 1024, other / (others ? others : 1) / 1024,
                   1000 * (c - d) / n, size / 1048576, ours / size, same }' >>"$out"
done
rm -rf "$dir"
