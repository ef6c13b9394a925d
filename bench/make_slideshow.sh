#!/bin/sh
# Makes the pictures of a colourful slideshow for make_screen_capture.sh --slideshow: photos
# (Debian's mate-backgrounds), ImageMagick plasma fractals and gradients, a zoom into a photo
# and a scroll down two stacked photos, all at the screen's size so that the viewer shows them
# unscaled. Writes the pictures into DIR and DIR/slides.txt, the viewer's file list: one line
# is shown for 0.2 s, so a picture held for 2 s takes 10 lines and a zoom step takes one. The
# list plays for 20 s.
#
#   bench/make_slideshow.sh DIR [WIDTHxHEIGHT]
#
# Needs ImageMagick's convert and the photos in /usr/share/backgrounds/mate/nature.
set -eu

usage='usage: make_slideshow.sh DIR [WIDTHxHEIGHT]'
dir=${1:?$usage}
size=${2:-1280x720}
width=${size%x*}
height=${size#*x}
photos=/usr/share/backgrounds/mate/nature

convert -version 2>/dev/null | grep -q ImageMagick ||
  { echo "make_slideshow: ImageMagick's convert is not installed" >&2; exit 1; }
[ -f "$photos/Dune.jpg" ] ||
  { echo "make_slideshow: no photos in $photos (apt-get install mate-backgrounds)" >&2; exit 1; }

mkdir -p "$dir"
list=$dir/slides.txt
: >"$list"

# hold FILE SECONDS_TENTHS: shows FILE for that many tenths of a second (in lines of 0.2 s).
hold() {
  n=$(($2 / 2))
  while [ "$n" -gt 0 ]; do
    echo "$1" >>"$list"
    n=$((n - 1))
  done
}

# photo NAME: the photo cut to the screen's shape and scaled to fill it.
photo() {
  out=$dir/photo-$1.png
  [ -f "$out" ] || convert "$photos/$1.jpg" -resize "${size}^" -gravity center -extent "$size" "$out"
  echo "$out"
}

# made NAME IMAGEMAGICK-SOURCE...: a picture drawn by ImageMagick (fractals, gradients).
made() {
  name=$1
  shift
  out=$dir/$name.png
  [ -f "$out" ] || convert -size "$size" "$@" "$out"
  echo "$out"
}

hold "$(photo Dune)" 20

# A zoom into the middle of a photo: 15 steps from all of it to 40% of it, 0.2 s each.
step=0
while [ "$step" -lt 15 ]; do
  out=$dir/zoom-$step.png
  if [ ! -f "$out" ]; then
    crop_w=$((width * (100 - step * 4) / 100))
    crop_h=$((height * (100 - step * 4) / 100))
    convert "$(photo LadyBird)" -gravity center -crop "${crop_w}x${crop_h}+0+0" +repage \
      -resize "${size}!" "$out"
  fi
  echo "$out" >>"$list"
  step=$((step + 1))
done

hold "$(made plasma-1 -seed 11 plasma:fractal)" 20
hold "$(made gradient-linear gradient:'#ff5010-#1040ff')" 15
hold "$(photo Storm)" 20

# A scroll down two photos stacked: 15 steps of a twentieth of the screen, 0.2 s each.
tall=$dir/tall.png
[ -f "$tall" ] || convert "$(photo Garden)" "$(photo YellowFlower)" -append "$tall"
step=0
while [ "$step" -lt 15 ]; do
  out=$dir/scroll-$step.png
  [ -f "$out" ] || convert "$tall" -crop "${size}+0+$((step * height / 20))" +repage "$out"
  echo "$out" >>"$list"
  step=$((step + 1))
done

hold "$(made gradient-radial radial-gradient:'#ffe040-#602080')" 15
hold "$(photo TwoWings)" 20
hold "$(made plasma-2 -seed 23 plasma:fractal)" 20
hold "$(photo RainDrops)" 10
echo "$list: $(wc -l <"$list") slides of 0.2 s"
