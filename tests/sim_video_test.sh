#!/usr/bin/env bash
# jellybox-sim --video as WebM, through ffmpeg: VP9 frames of the canvas, one for each K ticks,
# each shown K x 10 ms; a failing ffmpeg is reported; a signal to the whole process group, as a
# terminal's Ctrl-C sends it, still ends the video at a whole frame and leaves it playable.
# usage: sim_video_test.sh PATH_TO_JELLYBOX_SIM   (exit 77: no ffmpeg here)
set -uo pipefail
sim=${1:?usage: sim_video_test.sh PATH_TO_JELLYBOX_SIM}
for tool in ffmpeg ffprobe setsid; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
. "$(dirname "$0")/checks.sh"
# frames FILE: codec, width, height and the number of frames decoded, comma-separated
frames() {
  ffprobe -v error -select_streams v -count_frames -show_entries stream=codec_name,width,height,nb_read_frames \
    -of csv=p=0 "$1"
}

if "$sim" --ticks 48 --xang 23 --yang -17 --turn-every 5 --frame-every 6 --video "$work/cube.webm" >/dev/null; then
  [ "$(frames "$work/cube.webm")" = "vp9,780,580,8" ] || fail "the video: $(frames "$work/cube.webm")"
  durations=$(ffprobe -v error -show_entries packet=duration_time -of csv=p=0 "$work/cube.webm" | sort -u)
  [ "$durations" = "0.060000" ] || fail "frames shown for $durations s, not 0.06"
else
  fail "--video cube.webm exited with $?"
fi

# ffmpeg cannot finish the file: jellybox-sim must not pass that off as a video.
if [ -w /dev/full ]; then
  ln -s /dev/full "$work/full.webm"
  "$sim" --ticks 8 --video "$work/full.webm" >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "a WebM video onto a full disk exited with $status, not 1"
  grep -q '^jellybox-sim: ffmpeg failed' "$work/err" || fail "no message for the failed encoder: $(cat "$work/err")"
fi

# SIGTERM to the run's whole process group once rows show it has made frames; the energy rows,
# flushed only in blocks, show it.
setsid "$sim" --ticks 100000000 --energy 1 --video "$work/stopped.webm" >"$work/out" 2>"$work/err" &
pid=$!
for _ in $(seq 1200); do
  [ -s "$work/out" ] && break
  sleep 0.1
done
kill -TERM -- "-$pid"
wait "$pid"
status=$?
[ "$status" -eq 143 ] || fail "SIGTERM: exited with $status, not 143: $(cat "$work/err")"
tick=$(sed -n 's/^jellybox-sim: stopped by SIGTERM after tick \([0-9]*\) of 100000000$/\1/p' "$work/err")
if [ -z "$tick" ]; then
  fail "SIGTERM: standard error: $(cat "$work/err")"
else
  # Every whole frame of the ticks run, none cut short.
  [ "$(frames "$work/stopped.webm")" = "vp9,780,580,$((tick / 4))" ] ||
    fail "SIGTERM after tick $tick: the video is $(frames "$work/stopped.webm"), not $((tick / 4)) frames"
  errors=$(ffmpeg -nostdin -v error -i "$work/stopped.webm" -f null - 2>&1)
  [ -z "$errors" ] || fail "SIGTERM: the video does not decode cleanly: $errors"
fi

passed "WebM frames, a failing ffmpeg and a stop by signal all as they should be"
