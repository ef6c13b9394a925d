#!/usr/bin/env bash
# Makes the fuzz targets' seeds in fuzz/corpus/ with the recorder: small recordings of the
# demo screen (32- and 16-bit, several key-frame blocks), their zlib and LZMA forms, the
# first lossless bitmap body of each, and a project file showing one of them.
# Usage: scripts/make-fuzz-corpus.sh [BUILD_DIR]   (a build with fmredit and make_demo_frames)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
fmredit=$build/cli/fmredit
corpus=fuzz/corpus
rm -rf "$corpus"
mkdir -p "$corpus"/{fmr,swf,bitmap,project}

for depth in 32 16; do
  movie=$corpus/fmr/demo$depth.swf
  "$build/samples/make_demo_frames" --size 48x32 --frames 7 |
    "$fmredit" record --raw 48x32 --fps 10 --depth "$depth" --block-frames 3 -o "$movie"
  cp "$movie" "$corpus/swf/"
  "$fmredit" convert "$movie" -o "$corpus/swf/demo$depth-zlib.swf" --compression zlib
  "$fmredit" convert "$movie" -o "$corpus/swf/demo$depth-lzma.swf" --compression lzma
  # The bitmap seed: a byte choosing DefineBitsLossless2 (1) or DefineBitsLossless (0), then
  # the body of the movie's first lossless bitmap tag.
  python3 - "$movie" "$corpus/bitmap/demo$depth.bin" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
pos = 8 + ((data[8] >> 3) * 4 + 5 + 7) // 8 + 4
while pos < len(data):
    code_length, = struct.unpack_from('<H', data, pos)
    code, length, pos = code_length >> 6, code_length & 63, pos + 2
    if length == 63:
        length, = struct.unpack_from('<I', data, pos)
        pos += 4
    if code in (20, 36):
        open(sys.argv[2], 'wb').write(bytes([code == 36]) + data[pos:pos + length])
        break
    pos += length
PY
done
"$fmredit" project new "$corpus/project/demo.fmrproj"
"$fmredit" project add "$corpus/project/demo.fmrproj" "$corpus/fmr/demo16.swf"
# Small pages make a small seed; the project opens the same.
python3 -c 'import sqlite3, sys; c = sqlite3.connect(sys.argv[1]); c.execute("pragma page_size=512"); c.execute("vacuum")' \
  "$corpus/project/demo.fmrproj"
du -sh "$corpus"
