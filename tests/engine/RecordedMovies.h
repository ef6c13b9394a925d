#pragma once

#include <cstdint>
#include <vector>

#include "host/image/ZuImage.h"
#include "tests/support/RecordedMovie.h"

namespace engine_test {

// count screen-like frames of width x height, the same for a seed on every run: a busy
// first frame, then frames that change nothing, a small rectangle, a single pixel, two
// rectangles far apart, or (every seventh frame) most of the stage, which makes the
// recorder open a new key-frame block.
std::vector<ZuImage> MakeScreenFrames(int width, int height, int count, uint32_t seed);

}  // namespace engine_test
