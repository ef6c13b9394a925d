#!/usr/bin/env bash
# What recording the pointer and keys costs a screen capture: fmredit capture of a busy
# 1920x1080 Xvfb screen at 15 and 30 fps, with --no-pointer and with the pointer and
# --keys all, the two alternating in each run while xdotool moves the pointer, clicks and
# types throughout. Reports the medians of the CPU time (user + system) of fmredit, the
# dropped frames, and the CPU ratio with / without.
#
# Usage: bench/bench_capture_input.sh BUILD_DIR [SECONDS] [RUNS]
# BUILD_DIR: a release build with fmredit and paint_screen built (-DZU_BUILD_BENCH=ON).
# SECONDS (10): of each capture. RUNS (3): captures of each kind; the table shows medians.
set -euo pipefail
usage='usage: bench_capture_input.sh BUILD_DIR [SECONDS] [RUNS]'
build=$(cd "${1:?$usage}" && pwd)
seconds=${2:-10}
runs=${3:-3}
fmredit=$build/cli/fmredit
painter=$build/bench/paint_screen
for tool in "$fmredit" "$painter" /usr/bin/time /usr/bin/xdotool /usr/bin/Xvfb; do
  [[ -x $tool ]] || { echo "bench_capture_input: no $tool" >&2; exit 1; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  ((${#pids[@]})) && kill "${pids[@]}" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { echo "$1 $2" | awk '{ printf "%.3f", $1 / $2 }'; }

exec 3>display.txt
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [[ -s display.txt ]] && break; sleep 0.1; done
display=":$(head -n1 display.txt)"

# One xdotool for the whole run: ten steps a second, the pointer jumping over the screen,
# a click now and then, letters and shortcuts typed.
total=$(((seconds + 5) * 2 * runs * 2))
steps=()
for ((i = 0; i < total * 10; i++)); do
  steps+=(mousemove $((i * 397 % 1900)) $((i * 211 % 1060)) sleep 0.1)
  ((i % 7 == 0)) && steps+=(click 1)
  ((i % 5 == 0)) && steps+=(key a)
  ((i % 11 == 0)) && steps+=(key ctrl+s)
done
DISPLAY=$display xdotool "${steps[@]}" >/dev/null 2>&1 &
pids+=($!)
"$painter" "$display" "$total" 15 &
pids+=($!)

# capture FPS OPTIONS...: one capture; prints "CPU-SECONDS DROPPED".
capture() {
  local fps=$1
  shift
  /usr/bin/time -f "%U %S" -o time.txt "$fmredit" capture -o captured.swf --display "$display" \
    --fps "$fps" --duration "$seconds" "$@" >out.txt 2>err.txt
  local dropped
  dropped=$(sed -n 's/.* \([0-9]*\) dropped$/\1/p' out.txt)
  awk -v d="$dropped" '{ printf "%.2f %s\n", $1 + $2, d }' time.txt
}

echo "== capture of a 1920x1080 Xvfb screen for $seconds s, medians of $runs"
printf '%-5s %-22s %10s %9s\n' fps kind "CPU s" dropped
for fps in 15 30; do
  without_cpu=() without_dropped=() with_cpu=() with_dropped=()
  for ((run = 0; run < runs; run++)); do
    read -r cpu dropped < <(capture "$fps" --no-pointer)
    without_cpu+=("$cpu") without_dropped+=("$dropped")
    read -r cpu dropped < <(capture "$fps" --keys all)
    with_cpu+=("$cpu") with_dropped+=("$dropped")
  done
  a=$(median "${without_cpu[@]}") b=$(median "${with_cpu[@]}")
  printf '%-5s %-22s %10s %9s\n' "$fps" "no pointer, no keys" "$a" "$(median "${without_dropped[@]}")"
  printf '%-5s %-22s %10s %9s\n' "$fps" "pointer and keys all" "$b" "$(median "${with_dropped[@]}")"
  echo "      CPU with / without: $(ratio "$b" "$a") (runs: ${without_cpu[*]} / ${with_cpu[*]})"
done
