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
ls -l "$movie" "$out"/demo-*.swf
echo "Results are in $out"
