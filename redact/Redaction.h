#pragma once

#include <string>

#include "redact/RedactArea.h"

class ZuTavoFile;

// Fills the rectangle with the fill colour in every frame of the range; every other pixel of every
// frame stays exactly as it was. Returns "" on success; otherwise why not, one line, movie
// unchanged.
//
// Every picture placed in the range whose bounds meet the rectangle has the rectangle's pixels
// overwritten. Where a picture placed before the range still shows in its first frame, that frame
// opens a key-frame block of its own, with a key frame rendered from the movie (BlockOpening.h),
// and so does the frame after the range for the pictures the range placed; the pictures freed
// there are left as they were for the frames before.
//
// The movie's tags are replaced: an engine movie (ZuFMRTavoFile) keeps the id count it took when
// loaded, so it is written and loaded again before another engine edit.
std::string RedactFrames(ZuTavoFile& movie, const RedactArea& area);
