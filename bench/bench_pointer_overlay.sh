#!/usr/bin/env bash
# Export with the pointer overlay (a large pointer, click rings, key captions) against the same
# export with nothing drawn over the pictures, and with the pointer alone at 1x (what a moving
# pointer costs the encoder by itself), on one demo recording with a moving pointer, a
# click every 1.5 s and a shortcut every 2 s: medians of N runs of each, taken in turns, and
# their ratio, for MP4 and GIF. Wall time, and the processor time (user + system) that a busy
# shared machine disturbs less.
#
# Usage: bench/bench_pointer_overlay.sh [--build DIR] [--runs N] [--frames F] [--size WxH]
# DIR: the build with fmredit and the benchmarks (build/release, configured with
# -DZU_BUILD_BENCH=ON). N (3) runs; F (900, a minute at 15 fps) frames of WxH (1280x720).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage='usage: bench_pointer_overlay.sh [--build DIR] [--runs N] [--frames F] [--size WxH]'
build=$here/../build/release
runs=3 frames=900 size=1280x720
while (($#)); do
  case $1 in
    --build) build=${2:?$usage}; shift 2 ;;
    --runs) runs=${2:?$usage}; shift 2 ;;
    --frames) frames=${2:?$usage}; shift 2 ;;
    --size) size=${2:?$usage}; shift 2 ;;
    -h | --help) echo "$usage"; exit 0 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "$usage" >&2; exit 2; }
fmredit=$build/cli/fmredit
maker=$build/bench/make_pointer_recording
for program in "$fmredit" "$maker"; do
  [[ -x $program ]] || { echo "bench_pointer_overlay: no $program" >&2; exit 1; }
done
# shellcheck source=bench/bench_common.sh
source "$here/bench_common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
movie=$work/pointer.swf
"$maker" "$movie" "$frames" "$size"

off=(--pointer hide --no-clicks --no-keys-overlay)
pointer=(--pointer show --no-clicks --no-keys-overlay)
on=(--pointer large --clicks --keys-overlay)
declare -A wall cpu
# run KEY EXTENSION OPTIONS...: one export; its wall and processor seconds are appended to
# wall[KEY] and cpu[KEY].
run() {
  local key=$1 extension=$2 real user system
  shift 2
  /usr/bin/time -f '%e %U %S' -o "$work/time.txt" \
    "$fmredit" export "$movie" -o "$work/$key.$extension" "$@" >/dev/null
  read -r real user system <"$work/time.txt"
  wall[$key]+=" $real"
  cpu[$key]+=" $(echo "$user $system" | awk '{ printf "%.2f", $1 + $2 }')"
}

echo "$frames frames of $size at 15 fps; medians of $runs runs, taken in turns"
printf '%-6s %-5s %10s %10s %10s %10s %8s\n' type time "off (s)" "pointer" "on (s)" \
  "pointer/off" "on/off"
for extension in mp4 gif; do
  for ((i = 0; i < runs; i++)); do
    run "$extension-off" "$extension" "${off[@]}"
    run "$extension-pointer" "$extension" "${pointer[@]}"
    run "$extension-on" "$extension" "${on[@]}"
  done
  for kind in wall cpu; do
    declare -n measured=$kind
    off_median=$(median "${measured[$extension-off]}")
    pointer_median=$(median "${measured[$extension-pointer]}")
    on_median=$(median "${measured[$extension-on]}")
    printf '%-6s %-5s %10s %10s %10s %10s %8s\n' "$extension" "$kind" "$off_median" \
      "$pointer_median" "$on_median" "$(ratio "$pointer_median" "$off_median")" \
      "$(ratio "$on_median" "$off_median")"
  done
done
echo "target: on/off at most 1.1 for each type"
