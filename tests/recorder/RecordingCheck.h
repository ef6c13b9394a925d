#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuTavoFile.h"
#include "tests/support/RecordedMovie.h"

// count frames from a fixed seed: a busy first frame, then frames that change nothing, a
// rectangle, one pixel, the stage or two opposite corners. Input alpha is noise.
std::vector<ZuImage> MakeTestFrames(int width, int height, int count, uint32_t seed);

// A picture of one gray (alpha too), and a rectangle of one gray set in one.
ZuImage Gray(int width, int height, int value);
void SetGray(ZuImage& image, int x, int y, int width, int height, int value);

// movie, written to a file, is read by the independent parser and, played back, shows each
// frame exactly (opaque; at depth 16 channels cut to 5 bits and widened back), then the
// last one twice more (hold and stop). No frames: only the file is checked.
void ExpectPlaysBack(ZuTavoFile& movie, const std::vector<ZuImage>& frames, int depth);

// The rules of every recording: an FMR movie; ids rising; each FreeCharacter and
// RemoveObject2 frees a bitmap or empties a depth of the open block before the next key
// frame goes to depth 1; partial pictures at the next depths from 101; the header frame
// count equal to the ShowFrame tags.
void ExpectRecordingForm(const ZuTavoFile& movie);

// The tags' text lines without the body lengths, which the compressor decides.
std::vector<std::string> DescribeTags(const ZuTavoFile& movie);
