# Shell helpers the end-to-end benchmark scripts share (sourced, not run).

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

# ratio A B: A / B to two places.
ratio() {
  echo "$1 $2" | awk '{ printf "%.2f", $1 / $2 }'
}
