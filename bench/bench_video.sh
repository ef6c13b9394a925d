#!/usr/bin/env bash
# Video export, import and screen capture, each against the ffmpeg program doing the same work,
# measured side by side in one run. Usage: bench/bench_video.sh BUILD_DIR [RUNS]
# BUILD_DIR: a release build with fmredit, make_studio_recording and paint_screen built.
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-3}
fmredit=$build/cli/fmredit
work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

# Seconds of real time one run of a command takes.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { echo "scale=2; ($1) / ($2)" | bc -l; }

frames=90
echo "== a 1080p demo recording of $frames frames at 15 fps, and the same frames as raw RGBA"
"$build/bench/make_studio_recording" movie.swf "$frames"
"$fmredit" export movie.swf -o frames.mkv --lossless
ffmpeg -v error -i frames.mkv -f rawvideo -pix_fmt rgba frames.rgba
# The same encoder and settings on both sides: libx264, CRF 23, preset medium, 4:2:0, the
# same RGB to YUV conversion.
x264=(-c:v libx264 -crf 23 -preset medium -pix_fmt yuv420p
      -sws_flags bicubic+accurate_rnd+full_chroma_inp+full_chroma_int)
ffmpeg -v error -f rawvideo -pix_fmt rgba -s 1920x1080 -r 15 -i frames.rgba "${x264[@]}" -y video.mp4

ours=() theirs=() import=() decode=() record=()
for ((run = 0; run < runs; run++)); do
  ours+=("$(seconds "$fmredit" export movie.swf -o ours.mp4)")
  theirs+=("$(seconds ffmpeg -v error -f rawvideo -pix_fmt rgba -s 1920x1080 -r 15 \
    -i frames.rgba "${x264[@]}" -y theirs.mp4)")
  import+=("$(seconds "$fmredit" import video.mp4 -o imported.swf)")
  decode+=("$(seconds ffmpeg -v error -i video.mp4 -f rawvideo -pix_fmt rgba -y decoded.rgba)")
  record+=("$(seconds sh -c "'$fmredit' record --raw 1920x1080 --fps 15 -o recorded.swf < decoded.rgba")")
done
e_ours=$(median "${ours[@]}") e_theirs=$(median "${theirs[@]}")
i_ours=$(median "${import[@]}") i_decode=$(median "${decode[@]}") i_record=$(median "${record[@]}")
i_theirs=$(echo "$i_decode + $i_record" | bc -l)
echo "export to H.264 MP4 ($((frames + 2)) frames / $frames raw frames), median of $runs:"
echo "  fmredit export $e_ours s, ffmpeg from raw RGBA $e_theirs s:" \
  "speed $(ratio "$e_theirs" "$e_ours") x ffmpeg's (per video: $(ratio "$e_theirs * ($frames + 2)" "$e_ours * $frames") x per frame)"
echo "import of the 1080p H.264 video, median of $runs:"
echo "  fmredit import $i_ours s; ffmpeg decode to RGBA $i_decode s + fmredit record --raw" \
  "$i_record s = $i_theirs s: speed $(ratio "$i_theirs" "$i_ours") x the two together"

echo "== capture of a 1920x1080 Xvfb screen at 15 fps for ${CAPTURE_SECONDS:=60} s"
exec 3>display.txt
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [[ -s display.txt ]] && break; sleep 0.1; done
display=":$(head -n1 display.txt)"
"$build/bench/paint_screen" "$display" $((CAPTURE_SECONDS + 5)) 15 &
painter=$!
"$fmredit" capture -o captured.swf --display "$display" --fps 15 --duration "$CAPTURE_SECONDS"
kill "$painter" 2>/dev/null || true
"$fmredit" info captured.swf | grep -E "frames:|stage:"
