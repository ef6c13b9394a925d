#!/usr/bin/env bash
# Finding still frames, tightening and speeding up a long real screen capture, each against
# `fmredit convert` of the same movie (load and write, nothing changed), and tightening against
# the ffmpeg program's mpdecimate filter with a lossless re-encode, measured side by side in one
# run; then the frames mpdecimate and `fmredit idle` get wrong, counted against the exact list
# of still frames taken from the decoded pictures.
# Usage: bench/bench_retime.sh BUILD_DIR [RUNS] [SECONDS]
# BUILD_DIR: a release build with fmredit built. RUNS (5): runs of each fmredit command;
# ZU_FFMPEG_RUNS (1) runs of the ffmpeg command, which takes minutes. SECONDS (600): the
# capture's length. Exits non-zero when a measurement fails, not when a target is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
runs=${2:-5}
seconds=${3:-600}
ffmpeg_runs=${ZU_FFMPEG_RUNS:-1}
fmredit=$build/cli/fmredit
# shellcheck source=bench/bench_common.sh
source "$here/bench_common.sh"
fps=15
# The clock make_screen_capture.sh places at 200x200+10+10, with a margin for its border.
clock=210x210+5+5
# The sped-up range: from a tenth of the movie to its half (60 s to 300 s of 600 s).
speed_from=$((seconds / 10)) speed_to=$((seconds / 2))

fail() {
  echo "bench_retime: $*" >&2
  exit 1
}

# The capture, its lossless export and the exact still frames are kept for the next run.
cache=${TMPDIR:-/tmp}/zu-retime-bench
mkdir -p "$cache"
movie=$cache/capture-${seconds}s.swf
video=$cache/capture-${seconds}s.mkv
md5s=$cache/capture-${seconds}s.framemd5
if [[ ! -f $movie ]]; then
  echo "== capturing a 1920x1080 Xvfb screen at $fps fps for $seconds s (typing, pauses, a clock)"
  "$here/make_screen_capture.sh" --typing --fmredit "$fmredit" "$cache/partial.swf" "$seconds" \
    1920x1080 | tee "$movie.log"
  mv "$cache/partial.swf" "$movie"
fi
if [[ ! -f $video || $movie -nt $video ]]; then
  echo "== exporting it losslessly (not timed)"
  "$fmredit" export "$movie" -o "$cache/partial.mkv" --lossless >/dev/null
  mv "$cache/partial.mkv" "$video"
fi
if [[ ! -f $md5s || $video -nt $md5s ]]; then
  ffmpeg -v error -i "$video" -fps_mode passthrough -f framemd5 -y "$cache/partial.framemd5"
  mv "$cache/partial.framemd5" "$md5s"
fi
frames=$("$fmredit" info "$movie" | awk '$1 == "frames:" { print $2 }')
echo "movie: $movie, $frames frames, $(stat -c %s "$movie") bytes ($(tail -n1 "$movie.log" 2>/dev/null))"
[[ $(grep -vc '^#' "$md5s") == "$frames" ]] || fail "the lossless export does not have $frames frames"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# measure NAME COMMAND...: one run of COMMAND; appends its wall seconds, CPU seconds (user and
# system, to the millisecond, from bash's time) and peak resident memory (KiB, from GNU time) to
# wall[NAME], cpu[NAME] and rss[NAME]. A failed command ends the script.
declare -A wall cpu rss
measure() {
  local name=$1 real user system TIMEFORMAT='%3R %3U %3S'
  shift
  { time /usr/bin/time -f %M -o rss.txt "$@" >out.txt 2>err.txt; } 2>time.txt ||
    { cat err.txt >&2; fail "$name failed: $*"; }
  read -r real user system <time.txt
  wall[$name]+=" $real"
  cpu[$name]+=" $(echo "$user + $system" | bc -l)"
  rss[$name]+=" $(tail -n1 rss.txt)"
}
frames_of() { "$fmredit" info "$1" | awk '$1 == "frames:" { print $2 }'; }

# Every fmredit command once per round, in the same order, so that a change in the machine's
# load falls on all of them alike. Outputs are removed before each run (not timed).
names=(startup convert idle tighten tighten-clock tighten-0 speed)
declare -A commands=(
  [startup]="--version"
  [convert]="convert $movie -o convert.swf"
  [idle]="idle $movie"
  [tighten]="tighten $movie -o tighten.swf --max-idle 1"
  [tighten-clock]="tighten $movie -o tighten-clock.swf --max-idle 1 --ignore $clock"
  [tighten-0]="tighten $movie -o tighten-0.swf --max-idle 0"
  [speed]="speed $movie -o speed.swf --from $speed_from --to $speed_to --factor 4"
)
echo "== fmredit, $runs runs of each"
for ((run = 0; run < runs; run++)); do
  for name in "${names[@]}"; do
    rm -f "$name.swf"
    # shellcheck disable=SC2086 # the command's words
    measure "$name" "$fmredit" ${commands[$name]}
  done
done
# The frames each result has (the last run's).
declare -A after
for name in "${names[@]}"; do
  [[ $name == startup || $name == idle ]] || after[$name]=$(frames_of "$name.swf")
done

echo "== ffmpeg mpdecimate and a lossless re-encode of the exported video, $ffmpeg_runs run(s)"
for ((run = 0; run < ffmpeg_runs; run++)); do
  measure mpdecimate ffmpeg -v error -y -i "$video" -vf 'mpdecimate,setpts=N/FRAME_RATE/TB' \
    -c:v libx264rgb -qp 0 mpdecimate.mkv
done
after[mpdecimate]=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=nb_read_frames -of csv=p=0 mpdecimate.mkv)

# Exact still frames: a frame whose decoded picture equals the one before (frames from 1).
awk -F', *' '!/^#/ { n++; if (n > 1 && $6 == last) print n; last = $6 }' "$md5s" >exact.txt
# The frames mpdecimate keeps, from their times (showinfo, before any new timestamps).
ffmpeg -v info -i "$video" -vf mpdecimate,showinfo -f null - 2>&1 |
  awk -v fps=$fps 'match($0, /pts_time:[0-9.]+/) {
    t = substr($0, RSTART + 9, RLENGTH - 9); printf "%d\n", t * fps + 1.5 }' >kept.txt
# Its log must name as many frames as its video has, each once, from frame 1 on.
[[ $(sort -un kept.txt | wc -l) == "${after[mpdecimate]}" && $(head -n1 kept.txt) == 1 ]] ||
  fail "the frames mpdecimate kept, from its log, do not match its video's ${after[mpdecimate]}"
# The frames fmredit idle lists as still: every frame of every stretch.
"$fmredit" idle "$movie" --longer-than 0 --json >idle.json || fail "fmredit idle --json failed"
jq -r '.stretches[] | if type == "array" then . else [.first, .last] end | range(.[0]; .[1] + 1)' \
  idle.json >idle.txt || fail "fmredit idle --json: no stretches read"

# errors STILL.txt DROPPED.txt: frames dropped that differ from the one before, and frames kept
# that equal it, "wrong-drops wrong-keeps".
errors() {
  awk -v frames="$frames" 'FILENAME == ARGV[1] { still[$1] = 1; next } { dropped[$1] = 1 }
    END { for (f = 1; f <= frames; ++f) { d += dropped[f] && !still[f]; k += !dropped[f] && still[f] }
          print d + 0, k + 0 }' "$1" "$2"
}
# mpdecimate's dropped frames: those not kept.
awk -v frames="$frames" '{ kept[$1] = 1 } END { for (f = 1; f <= frames; ++f) if (!kept[f]) print f }' \
  kept.txt >mpdecimate-dropped.txt
read -r mp_drops mp_keeps < <(errors exact.txt mpdecimate-dropped.txt)
read -r idle_drops idle_keeps < <(errors exact.txt idle.txt)

start_up=$(median "${wall[startup]}")
printf '\n%-52s %8s %8s %8s %9s %7s\n' "median of $runs (ffmpeg: $ffmpeg_runs)" "wall s" \
  "- start" "CPU s" "peak MiB" "frames"
# row LABEL NAME: the medians of NAME's runs; "- start" is the wall time less fmredit's start-up.
row() {
  local real net=
  real=$(median "${wall[$2]}")
  [[ $2 == mpdecimate ]] || net=$(printf %.3f "$(echo "$real - $start_up" | bc -l)")
  printf '%-52s %8.3f %8s %8.3f %9.1f %7s\n' "$1" "$real" "$net" "$(median "${cpu[$2]}")" \
    "$(echo "$(median "${rss[$2]}") / 1024" | bc -l)" "${after[$2]:-}"
}
row "fmredit --version (the start-up alone)" startup
row "fmredit convert (load + write)" convert
row "fmredit idle" idle
row "fmredit tighten --max-idle 1" tighten
row "fmredit tighten --max-idle 1 --ignore $clock" tighten-clock
row "fmredit tighten --max-idle 0" tighten-0
row "fmredit speed --from $speed_from --to $speed_to --factor 4" speed
row "ffmpeg mpdecimate + libx264rgb -qp 0" mpdecimate

# target NAME VALUE TEST: one line with the value and PASS or MISS.
target() {
  local verdict=MISS
  (($(echo "$3" | bc -l))) && verdict=PASS
  printf '  %-58s %10s  %s\n' "$1" "$2" "$verdict"
}
w() { median "${wall[$1]}"; }
m() { median "${rss[$1]}"; }
echo
echo "targets (input: $frames frames, $(wc -l <exact.txt) of them still):"
idle_ratio=$(ratio "$(w idle)" "$(w convert)")
target "idle under 1 s" "$(printf %.3f "$(w idle)") s" "$(w idle) < 1"
target "idle / convert under 0.05" "$idle_ratio" "$(w idle) / $(w convert) < 0.05"
for name in tighten tighten-clock tighten-0 speed; do
  target "$name / convert at most 1.2" "$(ratio "$(w "$name")" "$(w convert)")" \
    "$(w "$name") <= 1.2 * $(w convert)"
done
target "tighten peak memory / convert's at most 1.1" "$(ratio "$(m tighten)" "$(m convert)")" \
  "$(m tighten) <= 1.1 * $(m convert)"
target "mpdecimate / tighten --max-idle 0 at least 50" \
  "$(ratio "$(w mpdecimate)" "$(w tighten-0)")" "$(w mpdecimate) >= 50 * $(w tighten-0)"
target "mpdecimate: changed frames dropped" "$mp_drops" "$mp_drops == 0"
target "mpdecimate: still frames kept" "$mp_keeps" "$mp_keeps == 0"
target "fmredit idle: changed frames listed as still" "$idle_drops" "$idle_drops == 0"
target "fmredit idle: still frames not listed" "$idle_keeps" "$idle_keeps == 0"
