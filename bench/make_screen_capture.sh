#!/bin/sh
# Makes a real screen capture for the recording, rendering and timing benchmarks: programs
# running on an X server (a ticking clock in one corner, a terminal in the other), grabbed at
# 15 frames per second, by default by the ffmpeg program as raw RGBA frames.
#
#   bench/make_screen_capture.sh [--typing | --slideshow LIST] [--fmredit FMREDIT] OUT [SECONDS]
#                                [WIDTHxHEIGHT]
#
# The terminal scrolls a directory listing line by line, as a build log scrolls; with
# --typing it types commands key by key instead and prints their output and a line of
# progress dots, in bursts with pauses of 2 to 20 s between them (a fixed sequence, the same
# in every capture), as someone recording a tutorial does. With --slideshow the terminal makes
# way for an image viewer (feh) showing the pictures of LIST full screen, 0.2 s a line, over and
# over (make_slideshow.sh makes such a list), the clock above it. With --fmredit, `FMREDIT capture` records the screen
# straight into OUT, an FMR movie, instead of the raw frames (a long 1080p capture as raw
# frames would not fit on the disk).
#
# Needs Xvfb, xclock (x11-apps), xterm (feh for a slideshow) and, for raw frames, ffmpeg. Starts its own X server
# on a free display number and stops it again. Nothing of this is used by fmredit itself.
set -eu

usage='usage: make_screen_capture.sh [--typing | --slideshow LIST] [--fmredit FMREDIT] OUT [SECONDS] [WIDTHxHEIGHT]'
typing=false
slides=
fmredit=
while [ $# -gt 0 ]; do
  case $1 in
    --typing) typing=true; shift ;;
    --slideshow) slides=${2:?$usage}; shift 2 ;;
    --fmredit) fmredit=${2:?$usage}; shift 2 ;;
    -*) echo "$usage" >&2; exit 2 ;;
    *) break ;;
  esac
done
out=${1:?$usage}
seconds=${2:-20}
size=${3:-1280x720}

grabber=ffmpeg
[ -z "$fmredit" ] || grabber=$fmredit
viewer=xterm
[ -z "$slides" ] || viewer=feh
for tool in Xvfb xclock "$viewer" "$grabber"; do
  command -v "$tool" >/dev/null || { echo "make_screen_capture: $tool is not installed" >&2; exit 1; }
done

display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done

pids=""
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT INT TERM

Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
pids="$!"
tries=0
while [ ! -e "/tmp/.X11-unix/X$display" ]; do
  tries=$((tries + 1))
  [ "$tries" -lt 100 ] || { echo "make_screen_capture: Xvfb :$display did not start" >&2; exit 1; }
  sleep 0.1
done

# A listing printed line by line, as a build log scrolls. (The terminal's shell expands these.)
# shellcheck disable=SC2016
scrolling='while :; do ls -l /usr/lib /usr/share | while read -r line; do echo "$line"; sleep 0.03; done; done'
# A command typed key by key (about 12 keys a second), its output printed at once, a line of
# progress dots (each a change of a few pixels), then a pause; the pauses repeat in the same
# order.
# shellcheck disable=SC2016
typing_loop='
type_line() {
  s=$1
  while [ -n "$s" ]; do
    rest=${s#?}
    printf "%s" "${s%"$rest"}"
    s=$rest
    sleep 0.08
  done
  echo
}
step=0
while :; do
  for pause in 4 11 2 17 7 20 3 9 14 5; do
    step=$((step + 1))
    printf "$ "
    type_line "ls -l /usr/share | head -n $((step % 7 + 3))  # step $step"
    ls -l /usr/share | head -n $((step % 7 + 3))
    printf "waiting"
    for dot in 1 2 3 4 5 6; do sleep 0.5; printf .; done
    echo
    sleep "$pause"
  done
done'
terminal=$scrolling
[ "$typing" = false ] || terminal=$typing_loop

export DISPLAY=":$display"
if [ -n "$slides" ]; then
  # Full screen before the clock, which without a window manager then stays above it.
  feh --fullscreen --hide-pointer --slideshow-delay 0.2 --filelist "$slides" 2>/dev/null &
  pids="$pids $!"
  sleep 0.5
else
  xterm -geometry 80x24-10-10 -e sh -c "$terminal" 2>/dev/null &
  pids="$pids $!"
fi
xclock -update 1 -geometry 200x200+10+10 2>/dev/null &
pids="$pids $!"
sleep 2

if [ -n "$fmredit" ]; then
  "$fmredit" capture -o "$out" --display ":$display" --fps 15 --duration "$seconds" </dev/null
else
  ffmpeg -loglevel error -y -f x11grab -framerate 15 -video_size "$size" -i ":$display" \
    -t "$seconds" -pix_fmt rgba -f rawvideo "$out"
  echo "$out: $(($(stat -c %s "$out") / ($(echo "$size" | tr x '*') * 4))) frames of $size RGBA"
fi
