#!/bin/sh
# Records a real screen capture with `fmredit record --raw` and with FFmpeg's Flash Screen
# Video 2 encoder (the ffmpeg program, same raw frames) and prints sizes and median times
# side by side.
#
#   bench/recorder_vs_flashsv2.sh FMREDIT [CAPTURE.rgba] [RUNS]
#
# The capture (1280x720, 15 fps, 20 s) is made by make_screen_capture.sh when the file
# does not exist yet; it is about 1.1 GB and is kept for the next run. Outputs go to a
# temporary folder that is removed at the end.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
. "$here/bench_common.sh"

bench_setup recorder_vs_flashsv2.sh "$@"

export ZU_STDIN="$capture"
echo "capture: $capture ($(($(stat -c %s "$capture") / (1280 * 720 * 4))) frames of $size), median of $runs runs"
printf '%-28s %12s %10s\n' "encoder" "bytes" "seconds"

flashsv2_time=$(median_seconds "$runs" ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgba \
  -s "$size" -r "$fps" -i - -c:v flashsv2 "$work/flashsv2.flv")
flashsv2_size=$(stat -c %s "$work/flashsv2.flv")
printf '%-28s %12d %10s\n' "ffmpeg -c:v flashsv2" "$flashsv2_size" "$flashsv2_time"

for depth in 32 16; do
  time=$(median_seconds "$runs" "$fmredit" record --raw "$size" --fps "$fps" --depth "$depth" \
    -o "$work/fmr$depth.swf")
  bytes=$(stat -c %s "$work/fmr$depth.swf")
  printf '%-28s %12d %10s   size %s x flashsv2, %s x faster\n' "fmredit record --depth $depth" \
    "$bytes" "$time" "$(ratio "$bytes" "$flashsv2_size")" "$(ratio "$flashsv2_time" "$time")"
done
