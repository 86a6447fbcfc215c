#!/bin/sh
# ffmpeg's x11grab recording the same rectangle of $DISPLAY to an uncompressed AVI, with the
# same figures as bench_recording.exe: frames per wall-clock second, CPU per frame, peak memory.
#   ffmpeg_record.sh width height rate seconds
w=$1 h=$2 rate=$3 seconds=$4
dir=$(mktemp -d) || exit 1
python3 - "$w" "$h" "$rate" "$seconds" "$dir/ffmpeg.avi" <<'PY'
import resource, subprocess, sys, time, os
w, h, rate, seconds, out = sys.argv[1:6]
start = time.monotonic()
subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "x11grab", "-framerate", rate, "-video_size", f"{w}x{h}",
                "-i", os.environ["DISPLAY"] + "+0,0", "-t", seconds, "-c:v", "rawvideo", "-pix_fmt", "bgr24", out], check=True)
elapsed = time.monotonic() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
frames = int(subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets",
                             "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", out],
                            capture_output=True, text=True, check=True).stdout.strip())
# ffmpeg's run includes its start; its frames cover `seconds` of wall-clock time.
span = float(seconds)
print(f"  ffmpeg   {int(w):4d}x{int(h):<4d} at {int(rate):2d}/s: {frames} frames, {frames / span:5.2f} frames/s "
      f"({100.0 * frames / span / int(rate):5.1f} % of nominal), CPU {1000.0 * (usage.ru_utime + usage.ru_stime) / frames:.2f} ms/frame, "
      f"peak {usage.ru_maxrss / 1024:.0f} MB (whole run {elapsed:.1f} s)")
PY
rm -rf "$dir"
