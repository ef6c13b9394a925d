# Shell helpers the end-to-end benchmark scripts share (sourced, not run).

# bench_setup SCRIPT FMREDIT [CAPTURE.rgba] [RUNS]: the arguments every script takes. Sets
# fmredit, capture, runs, size, fps and work (a temporary folder removed at the end), and
# makes the capture (1280x720, 15 fps, 20 s, about 1.1 GB, kept for the next run) with
# make_screen_capture.sh when the file does not exist yet.
bench_setup() {
  script=$1
  fmredit=${2:?usage: $script FMREDIT [CAPTURE.rgba] [RUNS]}
  capture=${3:-${TMPDIR:-/tmp}/zu-screen-capture.rgba}
  runs=${4:-5}
  size=1280x720
  fps=15
  [ -f "$capture" ] || "$here/make_screen_capture.sh" "$capture" 20 "$size"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# median_seconds RUNS COMMAND...: runs COMMAND RUNS times and prints the median wall time
# in seconds. Standard input of each run comes from $ZU_STDIN when set, else /dev/null.
median_seconds() {
  runs=$1
  shift
  times=""
  i=0
  while [ "$i" -lt "$runs" ]; do
    start=$(date +%s.%N)
    "$@" <"${ZU_STDIN:-/dev/null}" >/dev/null
    end=$(date +%s.%N)
    times="$times $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')"
    i=$((i + 1))
  done
  echo $times | tr ' ' '\n' | sort -g | awk '{ v[NR] = $1 } END { printf "%.2f\n", v[int((NR + 1) / 2)] }'
}

# median "VALUES": the median of the space-separated values.
median() {
  local values
  read -ra values <<<"$1"
  printf '%s\n' "${values[@]}" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

# ratio A B: A / B to two places.
ratio() {
  echo "$1 $2" | awk '{ printf "%.2f", $1 / $2 }'
}
