#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuTavoFile.h"

namespace engine_test {

// count screen-like frames of width x height, the same for a seed on every run: a busy
// first frame, then frames that change nothing, a small rectangle, a single pixel, two
// rectangles far apart, or (every seventh frame) most of the stage, which makes the
// recorder open a new key-frame block.
std::vector<ZuImage> MakeScreenFrames(int width, int height, int count, uint32_t seed);

// Records frames as an FMR movie with 32- or 16-bit pictures and blocks of at most
// blockFrames pictures; fails the test and returns null when the recorder refuses.
std::unique_ptr<ZuTavoFile> RecordMovie(const std::vector<ZuImage>& frames, int depth,
                                        int blockFrames, int frameRate = 10);

// Writes movie as an SWF file; fails the test when that does not work.
void WriteMovieFile(ZuTavoFile& movie, const std::string& path);

// Every frame of the SWF file at path as the player shows it; empty (and a test failure)
// when the player cannot load it.
std::vector<ZuImage> RenderAllFrames(const std::string& path);

// The number of pixels that differ (any byte), the first one described in *where.
size_t CountDifferentPixels(const ZuImage& actual, const ZuImage& expected, std::string* where);

}  // namespace engine_test
