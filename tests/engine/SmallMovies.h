#pragma once

#include <cstdint>

#include "tests/support/FmrMovieBuilder.h"

namespace engine_test {

// A movie of one color over the whole stage, a hold frame and a stop frame: three frames,
// ids 1 and 2, 10 frames per second.
inline FmrMovieBuilder SmallMovie(uint16_t width, uint16_t height) {
  FmrMovieBuilder builder(width, height, 10);
  builder.KeyFrame(0x00FFFF).HoldFrame().StopFrame();
  return builder;
}

// A 32 x 24 movie of frames frames at 10 per second: a key frame, lone ShowFrames, a stop
// frame. Cheap to build at any length up to the frame limit.
inline FmrMovieBuilder LongMovie(int frames) {
  FmrMovieBuilder builder(32, 24, 10);
  builder.KeyFrame(0x123456);
  for (int frame = 2; frame < frames; ++frame) {
    builder.HoldFrame();
  }
  builder.StopFrame();
  return builder;
}

}  // namespace engine_test
