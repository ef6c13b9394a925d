#!/bin/sh
# Makes a real screen capture for the recording and rendering benchmarks: programs running
# on an X server (a ticking clock in one corner, a terminal scrolling text in the other),
# grabbed by the ffmpeg program at 15 frames per second as raw RGBA frames.
#
#   bench/make_screen_capture.sh OUT.rgba [SECONDS] [WIDTHxHEIGHT]
#
# Needs Xvfb, xclock (x11-apps), xterm and ffmpeg. Starts its own X server on a free
# display number and stops it again. Nothing of this is used by fmredit itself.
set -eu

out=${1:?usage: make_screen_capture.sh OUT.rgba [SECONDS] [WIDTHxHEIGHT]}
seconds=${2:-20}
size=${3:-1280x720}

for tool in Xvfb xclock xterm ffmpeg; do
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

export DISPLAY=":$display"
xclock -update 1 -geometry 200x200+10+10 2>/dev/null &
pids="$pids $!"
# A terminal in the far corner printing a listing line by line, as a build log scrolls.
xterm -geometry 80x24-10-10 -e sh -c \
  'while :; do ls -l /usr/lib /usr/share | while read -r line; do echo "$line"; sleep 0.03; done; done' \
  2>/dev/null &
pids="$pids $!"
sleep 2

ffmpeg -loglevel error -y -f x11grab -framerate 15 -video_size "$size" -i ":$display" \
  -t "$seconds" -pix_fmt rgba -f rawvideo "$out"
echo "$out: $(($(stat -c %s "$out") / ($(echo "$size" | tr x '*') * 4))) frames of $size RGBA"
