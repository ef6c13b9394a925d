#!/usr/bin/env bash
# How much a project file grows per edit, against what xdelta3 needs to describe the same change
# (`xdelta3 -e -9 -s before.swf after.swf`); the size of an empty project and of one holding a
# single movie; and the time of `project add`, `project export` and `project delete` against the
# same work on files. On two real typing screen captures (1920x1080 and 1280x720), through the
# fmredit program only.
# Usage: bench/bench_project_growth.sh BUILD_DIR [SECONDS_1080P] [SECONDS_720P] [RUNS]
# BUILD_DIR: a release build with fmredit built. The captures (600 s and 180 s by default) are
# kept in $TMPDIR/zu-retime-bench (the 1080p one is bench_retime.sh's). RUNS (3): runs of each
# timed command, medians printed. ZU_BENCH_OTHER_FMREDIT: another fmredit measured side by
# side. Exits non-zero when a command fails, not when a target is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds_1080=${2:-600} seconds_720=${3:-180} runs=${4:-3}
# shellcheck source=bench/bench_common.sh
source "$here/bench_common.sh"

fail() {
  echo "bench_project_growth: $*" >&2
  exit 1
}
command -v xdelta3 >/dev/null || fail "xdelta3 is not installed (apt-get install xdelta3)"
programs=("$build/cli/fmredit") labels=(this)
if [[ -n ${ZU_BENCH_OTHER_FMREDIT:-} ]]; then
  programs+=("$ZU_BENCH_OTHER_FMREDIT") labels+=(other)
fi
# The ticking clock make_screen_capture.sh places at 200x200+10+10, with a margin for its border:
# ignored by tighten, else no pause would be still.
clock=210x210+5+5
cache=${TMPDIR:-/tmp}/zu-retime-bench
mkdir -p "$cache"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# capture SIZE SECONDS: the path of a typing capture of that size and length, made and kept in
# the cache on first use.
capture() {
  local path=$cache/capture-$1-$2s.swf
  [[ $1 != 1920x1080 ]] || path=$cache/capture-$2s.swf
  if [[ ! -f $path ]]; then
    echo "== capturing a $1 Xvfb screen for $2 s" >&2
    "$here/make_screen_capture.sh" --typing --fmredit "${programs[0]}" "$cache/partial.swf" \
      "$2" "$1" >"$path.log" || fail "the $1 capture failed"
    mv "$cache/partial.swf" "$path"
  fi
  echo "$path"
}
# run COMMAND...: runs it, its output kept out of sight; a failure ends the script.
run() { "$@" >"$work/out.txt" 2>"$work/err.txt" || { cat "$work/err.txt" >&2; fail "failed: $*"; }; }
# seconds COMMAND...: runs it like run and prints its wall time in seconds.
seconds() {
  local start end
  start=$(date +%s.%N)
  run "$@"
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
size() { stat -c %s "$1"; }
duration() { "${programs[0]}" info "$1" | awk '$1 == "duration:" { print $2 }'; }
# at FRACTION SWF: that fraction of the movie's duration, in seconds to the tenth.
at() { awk -v f="$1" -v d="$(duration "$2")" 'BEGIN { printf "%.1f", f * d }'; }
xdelta() { xdelta3 -e -9 -s "$1" "$2" | wc -c; }
# export I SLIDE OUT: program I writes the movie of the slide of its project to OUT.
export_slide() {
  rm -f "$3"
  run "${programs[$1]}" project export "$work/$1.fmrproj" --slide "$2" -o "$3"
}

# add_and_export MOVIE: RUNS rounds of a copy, a copy synced to disk, and for each program a new
# project, the movie added and exported again; the times go to times[NAME], the sizes of the
# empty and the one-movie project to empty[I] and one[I].
declare -A times empty one
add_and_export() {
  local round i project
  times=()
  for ((round = 0; round < runs; round++)); do
    rm -f "$work/copy.swf"
    times[cp]+=" $(seconds cp "$1" "$work/copy.swf")"
    rm -f "$work/copy.swf"
    # shellcheck disable=SC2016 # the inner shell expands them
    times[cp_sync]+=" $(seconds sh -c 'cp "$1" "$2" && sync "$2"' - "$1" "$work/copy.swf")"
    for i in "${!programs[@]}"; do
      project=$work/$i.fmrproj
      rm -f "$project"
      run "${programs[i]}" project new "$project"
      empty[$i]=$(size "$project")
      times[add$i]+=" $(seconds "${programs[i]}" project add "$project" "$1")"
      one[$i]=$(size "$project")
      rm -f "$work/out.swf"
      times[export$i]+=" $(seconds "${programs[i]}" project export "$project" --slide 1 \
        -o "$work/out.swf")"
      cmp -s "$1" "$work/out.swf" || fail "${labels[i]}: the exported movie differs from the added one"
    done
  done
}

# edit I NAME ARGS...: program I runs `project NAME PROJECT ARGS` on its project (a delete RUNS
# times from the same state, each against `fmredit delete` of the movie as a file), and prints
# the row of the project's growth against xdelta3 of slide 1's movie before (before.swf, written
# by the caller) and the movie(s) after: for a split both parts against the movie split.
edit() {
  local i=$1 name=$2 program=${programs[$1]} project=$work/$1.fmrproj before=$work/before.swf
  shift 2
  local old grown delta round
  old=$(size "$project")
  if [[ $name == delete ]]; then
    cp "$project" "$work/unedited.fmrproj"
    for ((round = 0; round < runs; round++)); do
      cp "$work/unedited.fmrproj" "$project"
      times[delete$i]+=" $(seconds "$program" project delete "$project" "$@")"
      rm -f "$work/cut.swf"
      times[file_delete$i]+=" $(seconds "$program" delete "$before" -o "$work/cut.swf" "${@:3}")"
    done
  else
    run "$program" project "$name" "$project" "$@"
  fi
  grown=$(($(size "$project") - old))
  export_slide "$i" 1 "$work/after.swf"
  delta=$(xdelta "$before" "$work/after.swf")
  if [[ $name == split ]]; then
    export_slide "$i" 2 "$work/second.swf"
    delta=$((delta + $(xdelta "$before" "$work/second.swf")))
  elif [[ $name == delete ]]; then
    cmp -s "$work/cut.swf" "$work/after.swf" || fail "${labels[i]}: the delete on a file differs"
  fi
  awk -v e="$name ${*//$work\//}" -v l="${labels[i]}" -v g="$grown" -v d="$delta" 'BEGIN {
    a = 1.25 * d + 16384
    printf "| %-52s | %-7s | %9d | %9d | %9d | %8.2f | %-6s |\n", e, l, g, d, a, g / d,
      g <= a ? "PASS" : "MISS" }'
}

# sizes_table MOVIE: the empty and the one-movie project of each program against the targets.
sizes_table() {
  printf '| %-17s | fmredit | %9s | %9s | %7s | target |\n' project bytes "target B" "/ movie"
  echo "|-------------------|---------|-----------|-----------|---------|--------|"
  for i in "${!programs[@]}"; do
    awk -v l="${labels[i]}" -v e="${empty[$i]}" -v o="${one[$i]}" -v m="$(size "$1")" 'BEGIN {
      t = m * 1.05 + 65536
      printf "| %-17s | %-7s | %9d | %9d | %7s | %-6s |\n", "empty", l, e, 65536, "",
        e <= 65536 ? "PASS" : "MISS"
      printf "| %-17s | %-7s | %9d | %9d | %7.3f | %-6s |\n", "holding the movie", l, o, t, o / m,
        o <= t ? "PASS" : "MISS" }'
  done
}

# edits_table SHORT: the edits one after another, each by every program in turn.
edits_table() {
  local name i half
  printf '\n| %-52s | fmredit | %9s | %9s | %9s | %8s | target |\n' "edit (project NAME PROJECT ...)" \
    "growth B" "xdelta B" "allowed B" "/ xdelta"
  echo "|------------------------------------------------------|---------|-----------|-----------|-----------|----------|--------|"
  for name in delete insert split merge tighten speed; do
    for i in "${!programs[@]}"; do
      export_slide "$i" 1 "$work/before.swf"
      half=$(at 0.5 "$work/before.swf")
      case $name in
        delete) edit "$i" delete --slide 1 --start "$half" --length 2 ;;
        insert) edit "$i" insert --slide 1 --at "$half" --movie "$1" ;;
        split) edit "$i" split --slide 1 --at "$half" ;;
        merge) edit "$i" merge --slides 1,2 ;;
        tighten) edit "$i" tighten --slide 1 --max-idle 1 --ignore "$clock" ;;
        speed) edit "$i" speed --slide 1 --from "$(at 0.1 "$work/before.swf")" --to "$half" --factor 4 ;;
      esac
    done
  done
}

# times_table: the medians of each program's commands against the same work on files.
times_table() {
  local i
  printf '\n| %-15s | fmredit | %8s | %-14s | %8s | ratio |\n' "median of $runs, s" fmredit against s
  echo "|-----------------|---------|----------|----------------|----------|-------|"
  for i in "${!programs[@]}"; do time_row "project add" "$i" "add$i" "cp + sync" cp_sync; done
  for i in "${!programs[@]}"; do time_row "project add" "$i" "add$i" "cp" cp; done
  for i in "${!programs[@]}"; do time_row "project export" "$i" "export$i" "cp" cp; done
  for i in "${!programs[@]}"; do
    time_row "project delete" "$i" "delete$i" "fmredit delete" "file_delete$i"
  done
}
# time_row WHAT I NAME AGAINST OTHER: the medians of times[NAME] and times[OTHER], and their ratio.
time_row() {
  local a b
  a=$(median "${times[$3]}") b=$(median "${times[$5]}")
  printf '| %-15s | %-7s | %8.3f | %-14s | %8.3f | %5.2f |\n' "$1" "${labels[$2]}" "$a" "$4" "$b" \
    "$(ratio "$a" "$b")"
}

# measure MOVIE: the three tables for one capture.
measure() {
  local frames
  frames=$("${programs[0]}" info "$1" | awk '$1 == "frames:" { print $2 }')
  printf '\n## %s: %s frames, %s s, %d bytes\n\n' "$(basename "$1")" "$frames" "$(duration "$1")" \
    "$(size "$1")"
  # The movie to insert: the capture's first 10 s (150 frames at 15 fps).
  run "${programs[0]}" delete "$1" --first-frame 151 --frame-count $((frames - 150)) \
    -o "$work/short.swf"
  add_and_export "$1"
  sizes_table "$1"
  edits_table "$work/short.swf"
  times_table
}

# Both captures are made (or found) first, so that nothing else runs while one is made.
movie_1080=$(capture 1920x1080 "$seconds_1080")
movie_720=$(capture 1280x720 "$seconds_720")
measure "$movie_1080"
measure "$movie_720"
