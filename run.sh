#!/usr/bin/env bash
# Installs what is missing, builds fmredit and the demo frame generator, records the demo
# screen as an FMR movie and runs fmredit on it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
zu_install_missing_packages

cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZU_BUILD_TESTS=OFF \
  -DZU_BUILD_BENCH=OFF >/dev/null
cmake --build build/run -j"$(nproc)" --target fmredit make_demo_frames

fmredit=build/run/cli/fmredit
make_demo_frames=build/run/samples/make_demo_frames
out=build/run/output
movie="$out/demo.swf"
mkdir -p "$out"

echo "== record the demo screen (640 x 400, 90 frames, 15 fps) into $movie"
"$make_demo_frames" | "$fmredit" record --raw 640x400 --fps 15 -o "$movie"
echo "== fmredit info $movie"
"$fmredit" info "$movie"
echo "== fmredit render frames 1, 45 and 92"
for frame in 1 45 92; do
  png="$out/demo-frame-$frame.png"
  "$fmredit" render "$movie" --frame "$frame" -o "$png"
  echo "$png"
done
echo "== fmredit dump $movie (first lines)"
"$fmredit" dump "$movie" -o "$out/demo.txt"
head -n 12 "$out/demo.txt"
echo "== fmredit convert $movie to zlib and lzma, and back"
"$fmredit" convert "$movie" -o "$out/demo-zlib.swf" --compression zlib
"$fmredit" convert "$movie" -o "$out/demo-lzma.swf" --compression lzma
"$fmredit" convert "$out/demo-lzma.swf" -o "$out/demo-plain.swf" --compression none
cmp "$movie" "$out/demo-plain.swf" && echo "round trip through zlib and lzma: identical bytes"
project="$out/demo.fmrproj"
echo "== fmredit project: $project with two slides showing the recording"
rm -f "$project"
"$fmredit" project new "$project"
"$fmredit" project add "$project" "$movie" --name demo.swf
"$fmredit" project add "$project" --share 1
"$fmredit" project set "$project" --slide 2 --min-duration 8
"$fmredit" project list "$project"
"$fmredit" project undo "$project"
"$fmredit" project log "$project"
"$fmredit" project export "$project" --slide 1 -o "$out/demo-exported.swf"
cmp "$movie" "$out/demo-exported.swf" && echo "exported movie: identical bytes"
echo "== fmredit project edits on $project: delete, insert, split and merge, each undoable"
"$fmredit" project add "$project" "$movie" --name second.swf
"$fmredit" project list "$project"
echo "-- delete 1 s from 2 s of slide 1 (slide 2 shows the same movie and follows)"
"$fmredit" project delete "$project" --slide 1 --start 2 --length 1
"$fmredit" project list "$project"
echo "-- insert the movie of slide 3 into slide 1 at 1 s"
"$fmredit" project insert "$project" --slide 1 --at 1 --resource-of 3
"$fmredit" project list "$project"
echo "-- split slide 1 at 3 s: the second part becomes slide 2"
"$fmredit" project split "$project" --slide 1 --at 3
"$fmredit" project list "$project"
echo "-- merge slides 1 and 4 into slide 1"
"$fmredit" project merge "$project" --slides 1,4
"$fmredit" project list "$project"
echo "-- undo the merge, then redo it"
"$fmredit" project undo "$project"
"$fmredit" project list "$project"
"$fmredit" project redo "$project"
"$fmredit" project list "$project"
"$fmredit" project log "$project"
edits="$out/edits"
mkdir -p "$edits"
for slide in 1 2; do
  "$fmredit" project export "$project" --slide "$slide" -o "$edits/slide-$slide.swf"
  for frame in 1 40 80; do
    "$fmredit" render "$edits/slide-$slide.swf" --frame "$frame" -o "$edits/slide-$slide-frame-$frame.png"
  done
done
echo "PNG frames of the edited slides 1 and 2 (frames 1, 40 and 80) are in $edits:"
ls "$edits"/*.png
echo "== fmredit export: the edited slide 1 as an MP4 video and a GIF; slide 2 straight from the project"
"$fmredit" export "$edits/slide-1.swf" -o "$edits/slide-1.mp4"
"$fmredit" export "$edits/slide-1.swf" -o "$edits/slide-1.gif"
"$fmredit" project export "$project" --slide 2 -o "$edits/slide-2.mp4"
ls -l "$edits"/*.mp4 "$edits"/*.gif
ls -l "$movie" "$out"/demo-*.swf
echo "Results are in $out"
echo "== the web editor: start it on the demo project with"
echo "  $fmredit serve $project --open"
