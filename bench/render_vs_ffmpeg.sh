#!/bin/sh
# Writes every frame of a real screen capture as PNG files two ways, side by side: `fmredit
# render --all` on the capture recorded as an FMR movie, and the ffmpeg program decoding
# the same frames from a lossless video (FFV1) with `-f image2 out%d.png`. Prints the
# median times and the total PNG sizes.
#
#   bench/render_vs_ffmpeg.sh FMREDIT [CAPTURE.rgba] [RUNS]
#
# The capture is made by make_screen_capture.sh when the file does not exist yet (see
# recorder_vs_flashsv2.sh). Outputs go to a temporary folder that is removed at the end.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
. "$here/bench_common.sh"

bench_setup render_vs_ffmpeg.sh "$@"

"$fmredit" record --raw "$size" --fps "$fps" -o "$work/movie.swf" <"$capture" >/dev/null
ffmpeg -loglevel error -f rawvideo -pix_fmt rgba -s "$size" -r "$fps" -i "$capture" \
  -c:v ffv1 -pix_fmt bgr0 "$work/video.mkv"
mkdir -p "$work/fmredit" "$work/ffmpeg"

fmredit_time=$(median_seconds "$runs" "$fmredit" render --all "$work/movie.swf" -o "$work/fmredit")
ffmpeg_time=$(median_seconds "$runs" ffmpeg -loglevel error -y -i "$work/video.mkv" -f image2 \
  "$work/ffmpeg/out%d.png")

echo "$(ls "$work/fmredit" | wc -l) frames of $size, median of $runs runs"
printf '%-36s %10s %12s\n' "writer" "seconds" "PNG bytes"
printf '%-36s %10s %12s\n' "fmredit render --all" "$fmredit_time" "$(du -sb "$work/fmredit" | cut -f1)"
printf '%-36s %10s %12s\n' "ffmpeg -i video.mkv -f image2" "$ffmpeg_time" "$(du -sb "$work/ffmpeg" | cut -f1)"
echo "fmredit takes $(ratio "$fmredit_time" "$ffmpeg_time") x ffmpeg's time"
