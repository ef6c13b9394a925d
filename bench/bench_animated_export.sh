#!/usr/bin/env bash
# GIF and animated PNG export of real screen captures, against the ffmpeg program's two-pass
# palette GIF and gifski made from the same rendered frames, measured side by side in one run:
# time, peak memory, size and the PSNR of each GIF against the source frames. Then the peak
# memory of a 10-minute 1080p export, the speed on a 54-second capture, and --max-size.
#
# Usage: bench/bench_animated_export.sh [--fmredit PATH] [--runs N]
# PATH: the fmredit to measure (build/release/cli/fmredit). N (3): runs of each command; the
# table shows medians. The captures, their PNG frames and gifski are kept in
# $ZU_BENCH_GIF_CACHE (/tmp/zu-bench-gif) for the next run; the 10-minute capture is
# $ZU_BENCH_LONG_CAPTURE (bench_retime.sh's, made here when missing). Exits non-zero when a
# command fails, not when a target is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage='usage: bench_animated_export.sh [--fmredit PATH] [--runs N]'
fmredit=$here/../build/release/cli/fmredit
runs=3
while (($#)); do
  case $1 in
    --fmredit) fmredit=${2:?$usage}; shift 2 ;;
    --runs) runs=${2:?$usage}; shift 2 ;;
    -h | --help) echo "$usage"; exit 0 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "$usage" >&2; exit 2; }
fmredit=$(realpath "$fmredit")
[[ -x $fmredit ]] || { echo "bench_animated_export: no fmredit at $fmredit" >&2; exit 1; }
# shellcheck source=bench/bench_common.sh
source "$here/bench_common.sh"

cache=${ZU_BENCH_GIF_CACHE:-/tmp/zu-bench-gif}
long_capture=${ZU_BENCH_LONG_CAPTURE:-/tmp/zu-bench-full/zu-retime-bench/capture-600s.swf}
fps=15
size=1280x720
gifski_version=1.7.1
# --max-size is given as 5MB; its target counts a megabyte as 10^6 bytes.
max_size=5MB max_bytes=5000000
# The 10-minute export runs under this address-space limit (KiB), so that an export that
# holds every frame fails on its own instead of taking the shared machine's memory.
long_limit_kib=$((6 * 1024 * 1024))

fail() {
  echo "bench_animated_export: $*" >&2
  exit 1
}

# Debian packages of the tools, installed when one is missing (as root).
declare -A package_of=([ffmpeg]=ffmpeg [ffprobe]=ffmpeg [Xvfb]=xvfb [xclock]=x11-apps
  [xterm]=xterm [feh]=feh [npm]=npm [bc]=bc [/usr/bin/time]=time)
missing=()
for tool in "${!package_of[@]}"; do
  command -v "$tool" >/dev/null || missing+=("${package_of[$tool]}")
done
# ImageMagick's convert (the machine may have another program of that name) and the photos.
convert -version 2>/dev/null | grep -q ImageMagick || missing+=(imagemagick)
[[ -f /usr/share/backgrounds/mate/nature/Dune.jpg ]] || missing+=(mate-backgrounds)
if ((${#missing[@]})); then
  mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
  echo "== installing Debian packages: ${missing[*]}"
  ((EUID == 0)) || fail "run as root or install: ${missing[*]}"
  if ! apt-get update -qq || ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null; then
    fail "apt-get install ${missing[*]} failed"
  fi
fi

mkdir -p "$cache"
# gifski from its npm package (a Linux binary comes with it), kept in the cache, not the repo.
gifski=$cache/gifski/node_modules/gifski/bin/debian/gifski
if [[ ! -x $gifski ]]; then
  echo "== installing gifski $gifski_version from npm into $cache/gifski"
  npm install --prefix "$cache/gifski" --no-save --no-audit --no-fund \
    "gifski@$gifski_version" >/dev/null || fail "npm install gifski failed"
fi

# capture NAME SECONDS SIZE [make_screen_capture.sh options]: the capture $cache/NAME.swf,
# recorded by fmredit capture when missing (it takes SECONDS of real time).
capture() {
  local name=$1 seconds=$2 capture_size=$3
  shift 3
  if [[ ! -f $cache/$name.swf ]]; then
    echo "== capturing $name: $capture_size for $seconds s"
    "$here/make_screen_capture.sh" "$@" --fmredit "$fmredit" "$cache/partial-$name.swf" \
      "$seconds" "$capture_size" | tee "$cache/$name.log"
    mv "$cache/partial-$name.swf" "$cache/$name.swf"
  fi
}
# frames_dir NAME: the capture's frames as PNG files, rendered by fmredit once (not timed).
frames_dir() {
  local dir=$cache/$1.frames
  if [[ ! -d $dir || $cache/$1.swf -nt $dir ]]; then
    rm -rf "$dir" "$dir.partial"
    "$fmredit" render --all "$cache/$1.swf" -o "$dir.partial" >/dev/null
    mv "$dir.partial" "$dir"
  fi
  echo "$dir"
}
info_of() { "$fmredit" info "$1" | awk -v key="$2" '$1 == key { print $2 }'; }
stage_of() { "$fmredit" info "$1" | awk '$1 == "stage:" { print $2 "x" $4 }'; }

capture terminal-19s 19 "$size"
[[ -f $cache/colour-20s.swf ]] || "$here/make_slideshow.sh" "$cache/slides" "$size"
capture colour-20s 20 "$size" --slideshow "$cache/slides/slides.txt"
capture typing-54s 54 "$size" --typing
if [[ ! -f $long_capture ]]; then
  long_capture=$cache/typing-1080p-600s.swf
  capture typing-1080p-600s 600 1920x1080 --typing
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# measure NAME COMMAND...: one run of COMMAND; appends its wall seconds and peak resident
# memory (KiB, GNU time; for a shell running two commands, the larger one's) to wall[NAME]
# and rss[NAME]. A failed command ends the script.
declare -A wall rss
measure() {
  local name=$1 real TIMEFORMAT=%3R
  shift
  { time /usr/bin/time -f %M -o rss.txt "$@" >out.txt 2>err.txt; } 2>time.txt ||
    { tail -n 5 err.txt >&2; fail "$name failed: $*"; }
  read -r real <time.txt
  wall[$name]+=" $real"
  rss[$name]+=" $(tail -n 1 rss.txt)"
}
w() { median "${wall[$1]}"; }
mib() { median "${rss[$1]}" | awk '{ printf "%.1f", $1 / 1024 }'; }

# The ffmpeg program's best GIF: a palette from the frames' differences, then each frame's
# changed rectangle mapped to it. (Its arguments: the rate, the frames' folder, the GIF.)
# shellcheck disable=SC2016
two_pass='ffmpeg -v error -y -framerate "$1" -i "$2/frame-%05d.png" -vf palettegen=stats_mode=diff palette.png &&
  ffmpeg -v error -y -framerate "$1" -i "$2/frame-%05d.png" -i palette.png \
    -lavfi paletteuse=diff_mode=rectangle "$3"'

# One round of every command on capture NAME, in the same order each round.
round() {
  local name=$1 frames=$2
  measure "$name:gif" "$fmredit" export "$cache/$name.swf" -o "$name.gif"
  measure "$name:ffmpeg" bash -c "$two_pass" two-pass "$fps" "$frames" "$name.ffmpeg.gif"
  measure "$name:gifski" "$gifski" --quiet --fps "$fps" --width "${size%x*}" \
    -o "$name.gifski.gif" "$frames"/frame-*.png
  measure "$name:decode" ffmpeg -v error -framerate "$fps" -i "$frames/frame-%05d.png" -f null -
  measure "$name:apng" "$fmredit" export "$cache/$name.swf" -o "$name.apng"
  measure "$name:ffmpeg-apng" ffmpeg -v error -y -framerate "$fps" -i "$frames/frame-%05d.png" \
    -plays 0 -f apng "$name.ffmpeg.apng"
}

# psnr FILE FRAMES COUNT: "AVERAGE MIN DECODED": FILE decoded at the capture's rate (a frame
# for each tick, the one shown then, so that frame k lines up with source frame k whatever
# the file's delays) against the COUNT source frames. AVERAGE is what ffmpeg's psnr filter
# prints as average: the PSNR of the mean squared error over all frames and channels (finite
# unless every frame is exact); MIN is the worst frame's. DECODED is how many frames the
# decoding gave before it was cut to COUNT.
psnr() {
  local file=$1 frames=$2 count=$3 decoded line
  decoded=$(ffmpeg -v error -i "$file" -vf "fps=$fps:round=near" -f framemd5 - | grep -vc '^#')
  line=$(ffmpeg -v info -nostats -framerate "$fps" -i "$frames/frame-%05d.png" -i "$file" -lavfi \
    "[1:v]fps=$fps:round=near,trim=end_frame=$count,setpts=N/($fps*TB),format=gbrp[d];
     [0:v]setpts=N/($fps*TB),format=gbrp[s];[s][d]psnr" -f null - 2>&1 | grep 'Parsed_psnr')
  echo "$line" | awk -v decoded="$decoded" '{
    for (i = 1; i <= NF; ++i) { split($i, kv, ":"); v[kv[1]] = kv[2] }
    print v["average"], v["min"], decoded }'
}

# images FILE: the frames stored in FILE (fewer than the source's when still ones are merged).
images() {
  ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets \
    -of csv=p=0 "$1"
}

# The captures compared with the other programs; typing-54s is exported by fmredit alone.
names=(terminal-19s colour-20s)
declare -A frames_of count_of seconds_of
for name in "${names[@]}" typing-54s; do
  frames_of[$name]=$(frames_dir "$name")
  count_of[$name]=$(info_of "$cache/$name.swf" frames:)
  seconds_of[$name]=$(info_of "$cache/$name.swf" duration:)
  (($(find "${frames_of[$name]}" -name '*.png' | wc -l) == count_of[$name])) ||
    fail "$name: the PNG frames do not number ${count_of[$name]}"
done

echo "== $runs rounds of each command on ${names[*]} and typing-54s"
for ((run = 0; run < runs; run++)); do
  for name in "${names[@]}"; do
    round "$name" "${frames_of[$name]}"
  done
  measure "typing-54s:gif" "$fmredit" export "$cache/typing-54s.swf" -o typing-54s.gif
done

# verdict TEST: PASS when the bc expression TEST holds.
verdict() { if (($(echo "$1" | bc -l))); then echo PASS; else echo MISS; fi; }
target() { printf '  %-62s %14s  %s\n' "$1" "$2" "$(verdict "$3")"; }
# psnr_margin OURS BEST: "DIFFERENCE TEST", how far our PSNR is above the best other one and
# a bc test of its being at least as good; an exact file (inf) beats any other.
psnr_margin() {
  case $1:$2 in
    nan:* | *:nan) echo "n/a 0" ;;
    inf:*) echo "exact 1" ;;
    *:inf) echo "-inf 0" ;;
    *) echo "$(printf %.2f "$(echo "$1 - $2" | bc -l)") $(echo "$1 >= $2" | bc -l)" ;;
  esac
}

# row LABEL KEY FILE NAME: the table's line of the measurements KEY, whose result is FILE made
# from capture NAME; keeps the file's size and PSNR in size_of[KEY] and avg_of[KEY].
declare -A size_of avg_of
row() {
  local label=$1 key=$2 file=$3 name=$4 avg min decoded
  read -r avg min decoded < <(psnr "$file" "${frames_of[$name]}" "${count_of[$name]}")
  # A decoding whose frames do not line up with the source's has no PSNR worth comparing.
  if ((decoded < count_of[$name] || decoded > count_of[$name] + 1)); then
    echo "  $file decodes to $decoded frames at $fps fps, not ${count_of[$name]}" >&2
    avg=nan min=nan
  fi
  size_of[$key]=$(stat -c %s "$file") avg_of[$key]=$avg
  printf '%-44s %8.2f %9s %11s %8.2f %8.2f %9s %7s\n' "$label" "$(w "$key")" "$(mib "$key")" \
    "${size_of[$key]}" "$avg" "$min" "$decoded/${count_of[$name]}" "$(images "$file")"
}
header() {
  printf '%-44s %8s %9s %11s %8s %8s %9s %7s\n' "" "wall s" "peak MiB" "bytes" "PSNR avg" \
    "PSNR min" "frames" "images"
}

echo
echo "PSNR avg: the psnr filter's average, the PSNR of the mean squared error over every frame and"
echo "channel; PSNR min: the worst frame's; frames: decoded at $fps fps / source frames; images:"
echo "the frames stored in the file."
for name in "${names[@]}"; do
  printf '\n%s: %s frames of %s at %s fps (%s s); medians of %s\n' "$name" \
    "${count_of[$name]}" "$size" "$fps" "${seconds_of[$name]}" "$runs"
  header
  for kind in gif ffmpeg gifski apng ffmpeg-apng; do
    case $kind in
      gif) label="fmredit export .gif" file=$name.gif ;;
      ffmpeg) label="ffmpeg palettegen + paletteuse (both passes)" file=$name.ffmpeg.gif ;;
      gifski) label="gifski $gifski_version (quality 90)" file=$name.gifski.gif ;;
      apng) label="fmredit export .apng" file=$name.apng ;;
      ffmpeg-apng) label="ffmpeg -f apng" file=$name.ffmpeg.apng ;;
    esac
    row "$label" "$name:$kind" "$file" "$name"
    if [[ $kind == ffmpeg ]]; then
      printf '%-44s %8.2f\n' "  less its PNG decoding (2 x the row below)" \
        "$(echo "$(w "$name:ffmpeg") - 2 * $(w "$name:decode")" | bc -l)"
      printf '%-44s %8.2f %9s\n' "  ffmpeg decoding the PNG frames alone" "$(w "$name:decode")" \
        "$(mib "$name:decode")"
    fi
  done
  ours=$name:gif ffmpeg=$name:ffmpeg gifski=$name:gifski
  smallest=$((size_of[$ffmpeg] < size_of[$gifski] ? size_of[$ffmpeg] : size_of[$gifski]))
  best=$(printf '%s\n' "${avg_of[$ffmpeg]}" "${avg_of[$gifski]}" | sort -g | tail -n 1)
  read -r margin better < <(psnr_margin "${avg_of[$ours]}" "$best")
  echo "targets:"
  target "GIF size / min(ffmpeg, gifski) at most 1" "$(ratio "${size_of[$ours]}" "$smallest")" \
    "${size_of[$ours]} <= $smallest"
  target "GIF PSNR avg - max(ffmpeg, gifski) at least 0 dB" "$margin" "$better"
  target "GIF time / ffmpeg two-pass time at most 0.5" \
    "$(ratio "$(w "$name:gif")" "$(w "$name:ffmpeg")")" "$(w "$name:gif") <= 0.5 * $(w "$name:ffmpeg")"
  printf '  %-62s %14s\n' "GIF export speed (x real time)" \
    "$(ratio "${seconds_of[$name]}" "$(w "$name:gif")")"
  printf '  %-62s %14s\n' "APNG size / ffmpeg's" \
    "$(ratio "${size_of[$name:apng]}" "${size_of[$name:ffmpeg-apng]}")"
  printf '  %-62s %14s\n' "APNG time / ffmpeg's" \
    "$(ratio "$(w "$name:apng")" "$(w "$name:ffmpeg-apng")")"
done

long_seconds=${seconds_of[typing-54s]}
printf '\ntyping-54s: %s frames of %s (%s s), median of %s\n' "${count_of[typing-54s]}" "$size" \
  "$long_seconds" "$runs"
header
row "fmredit export .gif" typing-54s:gif typing-54s.gif typing-54s
target "speed at least 5 x real time" "$(ratio "$long_seconds" "$(w typing-54s:gif)")" \
  "$long_seconds >= 5 * $(w typing-54s:gif)"

status=0
long_seconds=$(info_of "$long_capture" duration:)
printf '\n%s: %s s of %s, fmredit export .gif, one run (address space limited to %s GiB)\n' \
  "$long_capture" "$long_seconds" "$(stage_of "$long_capture")" $((long_limit_kib / 1048576))
if (ulimit -v "$long_limit_kib" && exec /usr/bin/time -f '%e %M' -o long.txt "$fmredit" export \
  "$long_capture" -o long.gif) >/dev/null 2>long.err; then
  read -r long_wall long_rss <long.txt
  printf '  %-62s %14s\n' "wall s" "$long_wall" "speed (x real time)" \
    "$(ratio "$long_seconds" "$long_wall")" "bytes" "$(stat -c %s long.gif)" \
    "the GIF's duration, s" "$(ffprobe -v error -show_entries format=duration -of csv=p=0 long.gif)"
  target "peak memory at most 256 MiB" "$(echo "$long_rss" | awk '{ printf "%.1f MiB", $1 / 1024 }')" \
    "$long_rss <= 256 * 1024"
else
  status=1
  printf '  failed: %s\n' "$(grep -v '^Command' long.err | tail -n 1)"
  target "peak memory at most 256 MiB" "failed" 0
fi
rm -f long.gif

printf '\ncolour-20s: fmredit export .gif --max-size %s\n' "$max_size"
if /usr/bin/time -f %e -o max.time "$fmredit" export "$cache/colour-20s.swf" -o max.gif \
  --max-size "$max_size" >max.out 2>&1; then
  sed 's/^/  fmredit: /' max.out
  printf '  %-62s %14s\n' "wall s (one run)" "$(tail -n 1 max.time)"
  target "size at most $max_bytes bytes" "$(stat -c %s max.gif)" "$(stat -c %s max.gif) <= $max_bytes"
elif grep -q -- --max-size max.out; then
  printf '  skipped: %s\n' "$(tail -n 1 max.out)"
else
  status=1
  printf '  failed: %s\n' "$(tail -n 1 max.out)"
fi
exit "$status"
