#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuTavoFile.h"
#include "recorder/ZuFmrRecorder.h"
#include "tests/support/RecordedMovie.h"

// Frame sequences for recorder tests and the checks that a recording plays them back.

// count frames of width x height made with a fixed seed. After the first (busy) frame,
// frames cycle through kinds of change: none, a small rectangle, one pixel, a noisy
// rectangle, the whole stage, two opposite corners, alpha bytes only, and changes below
// 5-bit resolution. Input alpha varies everywhere (recordings must ignore it).
std::vector<ZuImage> MakeTestFrames(int width, int height, int count, uint32_t seed);

// What the player should show for an input frame: opaque, and at depth 16 each channel
// reduced to 5 bits and expanded back as (v << 3) | (v >> 2).
ZuImage ExpectedPicture(const ZuImage& input, int depth);

// gtest checks: movie, written to a file, is read by the independent parser and, played
// by ZuTavoPlayer, shows every input frame exactly as ExpectedPicture says, then the last
// one twice more (the hold and stop frames). No frames: only the file is checked.
void ExpectPlaysBack(ZuTavoFile& movie, const std::vector<ZuImage>& frames, int depth);

// gtest checks of the rules every recording keeps, whatever its frames: the player takes
// it for an FMR movie; the two header
// tags first; character ids rising, never reused; every FreeCharacter frees a bitmap the
// open block defined and every RemoveObject2 empties a depth it placed, all of them before
// the next key frame is placed; partial pictures at depths from 101; a header frame count
// equal to the ShowFrame tags; the hold and stop frames at the end.
void ExpectRecordingForm(const ZuTavoFile& movie);
