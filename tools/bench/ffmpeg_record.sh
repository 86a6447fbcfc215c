#!/bin/sh
# ffmpeg's x11grab on the rectangle at the top left of $DISPLAY, with the figures of
# bench_recording.exe, one line:
#   ffmpeg_record.sh raw|zmbv WIDTH HEIGHT RATE SECONDS   an AVI file, uncompressed (32-bit
#       pixels, as the program's) or ZMBV: its size, the frames in it a second of the recording
#       against the nominal rate, the largest gap between two grabs (the grabs' own time stamps),
#       CPU per frame grabbed and beyond the raw capture alone (NULL_CPU, ms a frame, when given),
#       peak memory, and the frames ffmpeg repeated or dropped to keep the file's rate
#   ffmpeg_record.sh null WIDTH HEIGHT RATE SECONDS       the raw capture alone, to -f null: its
#       CPU per frame (the floor beside which the others are weighed)
#   ffmpeg_record.sh grab WIDTH HEIGHT RATE SECONDS       the same at a high RATE, as fast as it goes:
#       time and CPU a frame
# Environment: NULL_CPU (see above).
mode=$1 w=$2 h=$3 rate=$4 seconds=$5
dir=$(mktemp -d) || exit 1
python3 - "$mode" "$w" "$h" "$rate" "$seconds" "$dir" <<'PY'
import os, re, resource, subprocess, sys, time
mode, w, h, rate, seconds, out_dir = sys.argv[1:7]
w, h, rate, seconds = int(w), int(h), int(rate), float(seconds)
grab = ["ffmpeg", "-hide_banner", "-nostats", "-debug_ts", "-f", "x11grab", "-draw_mouse", "0",
        "-framerate", str(rate), "-video_size", f"{w}x{h}", "-i", os.environ["DISPLAY"] + "+0,0",
        "-t", str(seconds), "-progress", os.path.join(out_dir, "progress.txt")]
out = os.path.join(out_dir, "ffmpeg.avi")
if mode == "raw":
    grab += ["-c:v", "rawvideo", "-pix_fmt", "bgra", "-y", out]
elif mode == "zmbv":
    grab += ["-c:v", "zmbv", "-y", out]
else:
    grab += ["-f", "null", "-"]
start = time.monotonic()
run = subprocess.run(grab, stderr=subprocess.PIPE, text=True, errors="replace")
elapsed = time.monotonic() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
if run.returncode != 0:
    sys.exit("ffmpeg failed: " + run.stderr[-400:])
# When each frame was grabbed (x11grab stamps it with the clock at the grab, in microseconds).
stamps = [int(m.group(1)) for m in re.finditer(r"demuxer -> ist_index:0 type:video .*? pkt_pts:(\d+) ", run.stderr)]
gaps = [(b - a) / 1000.0 for a, b in zip(stamps, stamps[1:])]
progress = {}
for line in open(os.path.join(out_dir, "progress.txt")):
    key, _, value = line.strip().partition("=")
    progress[key] = value
written = int(progress.get("frame", "0"))
cpu = 1000.0 * (usage.ru_utime + usage.ru_stime) / max(len(stamps), 1)
grabbed = len(stamps)
span = (stamps[-1] - stamps[0]) / 1e6 if grabbed > 1 else seconds
if mode == "grab":
    print(f"ffmpeg x11grab to -f null, asked for {rate} frames/s: {grabbed / span:.1f} frames/s, {1000 * span / max(grabbed - 1, 1):.1f} ms "
          f"a frame, CPU {cpu:.1f} ms a frame (XShm: the X server writes the frame into memory both share)")
    sys.exit(0)
what = {"raw": "ffmpeg raw", "zmbv": "ffmpeg ZMBV", "null": "ffmpeg -f null"}[mode]
size = os.path.getsize(out) / 1048576 if mode != "null" else 0
null_cpu = os.environ.get("NULL_CPU")
beyond = f"{cpu - float(null_cpu):5.2f}" if null_cpu else "    -"
# The file's frames stand one interval apart: a frame dropped is a moment missing from it.
held = written / seconds
print(f"  {what:<20} {size:9.1f} MB {held:6.2f}/s {100 * held / rate:5.1f} % {max(gaps, default=0):7.0f} ms "
      f"{cpu:6.2f} ms {beyond} ms {usage.ru_maxrss / 1024:6.0f} MB  {written} frames of {int(rate * seconds)}, "
      f"{grabbed} grabbed; ffmpeg repeated {progress.get('dup_frames', '?')}, dropped {progress.get('drop_frames', '?')}")
if mode == "null":
    print(f"NULL_CPU={cpu:.3f}")
PY
status=$?
rm -rf "$dir"
exit $status
