#!/usr/bin/env bash
# Whole-project video export against exporting the same slides one by one, measured side by
# side in one run: a project of 5 slides, each a 1080p demo recording, to H.264 MP4.
# Usage: bench/bench_project_export.sh BUILD_DIR [RUNS] [FRAMES]
# BUILD_DIR: a release build with fmredit and make_studio_recording built. Target: the one
# pass over the whole project is no slower than the five exports it replaces.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
runs=${2:-3}
frames=${3:-30}
fmredit=$build/cli/fmredit
source "$here/bench_common.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

slides=5
total=$((frames * slides))
"$build/bench/make_studio_recording" movie.swf "$total" >/dev/null
"$fmredit" project new p.fmrproj >/dev/null
for ((i = 0; i < slides; i++)); do
  # Five different movies: consecutive parts of the recording (its hold and stop frames end each).
  cp movie.swf part.swf
  if ((i > 0)); then
    "$fmredit" delete movie.swf --first-frame 1 --frame-count "$((i * frames))" -o part.swf >/dev/null
  fi
  if ((i < slides - 1)); then
    "$fmredit" delete part.swf --first-frame "$((frames + 1))" \
      --frame-count "$((total - (i + 1) * frames))" -o "part$i.swf" >/dev/null
  else
    cp part.swf "part$i.swf"
  fi
  "$fmredit" project add p.fmrproj "part$i.swf" --name "part $i" >/dev/null
done
"$fmredit" project list p.fmrproj

one_by_one() {
  for ((i = 1; i <= slides; i++)); do
    "$fmredit" project export p.fmrproj --slide "$i" -o "slide$i.mp4"
  done
}
whole=() separate=()
for ((run = 0; run < runs; run++)); do
  whole+=("$(median_seconds 1 "$fmredit" project export p.fmrproj -o whole.mp4)")
  separate+=("$(median_seconds 1 one_by_one)")
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
w=$(median "${whole[@]}") s=$(median "${separate[@]}")
echo "$slides slides, $(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=nb_read_frames -of csv=p=0 whole.mp4) frames in the whole video," \
  "median of $runs:"
echo "  whole project $w s, slides one by one $s s: the whole export takes $(ratio "$w" "$s") x"
