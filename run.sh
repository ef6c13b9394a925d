#!/usr/bin/env bash
# Installs what is missing, builds fmredit and runs it on the bundled sample movie.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
zu_install_missing_packages

cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZU_BUILD_TESTS=OFF \
  -DZU_BUILD_BENCH=OFF >/dev/null
cmake --build build/run -j"$(nproc)" --target fmredit

fmredit=build/run/cli/fmredit
sample=samples/demo.swf
out=build/run/output
mkdir -p "$out"

echo "== fmredit info $sample"
"$fmredit" info "$sample"
echo "== fmredit dump $sample (first lines)"
"$fmredit" dump "$sample" -o "$out/demo.txt"
head -n 12 "$out/demo.txt"
echo "== fmredit convert $sample to zlib and lzma, and back"
"$fmredit" convert "$sample" -o "$out/demo-zlib.swf" --compression zlib
"$fmredit" convert "$sample" -o "$out/demo-lzma.swf" --compression lzma
"$fmredit" convert "$out/demo-lzma.swf" -o "$out/demo-plain.swf" --compression none
cmp "$sample" "$out/demo-plain.swf" && echo "round trip through zlib and lzma: identical bytes"
ls -l "$sample" "$out"/demo-*.swf
echo "Results are in $out"
