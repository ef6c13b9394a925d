#!/usr/bin/env bash
# Redacting a 10-second range of a long real 1920x1080 screen capture with fmredit redact,
# against the ffmpeg program covering the same rectangle of the same range with its drawbox
# filter and a lossless re-encode, measured side by side in one run (medians).
# Usage: bench/bench_redact.sh BUILD_DIR [RUNS]
# BUILD_DIR: a release build with fmredit built. RUNS (5): runs of each command. The capture
# and its lossless export are bench_retime.sh's (made by it when missing, kept in
# $TMPDIR/zu-retime-bench). Exits non-zero when a command fails, not when a target is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
runs=${2:-5}
fmredit=$build/cli/fmredit
# shellcheck source=bench/bench_common.sh
source "$here/bench_common.sh"
cache=${TMPDIR:-/tmp}/zu-retime-bench
movie=$cache/capture-600s.swf
video=$cache/capture-600s.mkv
if [[ ! -f $movie || ! -f $video ]]; then
  "$here/bench_retime.sh" "$build" 1 >/dev/null
fi
from=100 to=110 rect=600x200+300+300
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

redact_seconds=$(median_seconds "$runs" "$fmredit" redact "$movie" -o "$work/redacted.swf" \
  --rect "$rect" --from "$from" --to "$to")
ffmpeg_seconds=$(median_seconds "$runs" ffmpeg -v error -ss "$from" -t $((to - from)) -i "$video" \
  -vf "drawbox=x=300:y=300:w=600:h=200:color=gray:t=fill" -c:v libx264rgb -qp 0 -y \
  "$work/drawbox.mkv")
range=$((to - from))
echo "redacting $rect over $from-$to s of $(basename "$movie") ($(stat -c %s "$movie") bytes), median of $runs:"
awk -v r="$redact_seconds" -v f="$ffmpeg_seconds" -v n="$range" 'BEGIN {
  printf "  fmredit redact            %6.2f s = %.3f s per second of range (%.0fx real time)\n", r, r / n, n / r
  printf "  ffmpeg drawbox, lossless  %6.2f s = %.3f s per second of range (%.0fx real time)\n", f, f / n, n / f
  printf "  ratio                     %6.2f\n", f / r
}'
