#pragma once

#include <cstdint>

#include "tests/support/FmrMovieBuilder.h"

namespace engine_test {

// The FMR movie most engine tests work on: a 32 x 24 stage at 10 frames per second, two
// key-frame blocks, a hold frame and a stop frame. Its tags, by index:
//    0 FileAttributes   1 SetBackgroundColor
//    2 bitmap 1   3 shape 2   4 place 2 at 1      5 ShowFrame (frame 1)
//    6 bitmap 3   7 shape 4   8 place 4 at 101    9 ShowFrame (frame 2)
//   10 bitmap 5  11 shape 6  12 place 6 at 102   13 ShowFrame (frame 3)
//   14-16 FreeCharacter 1, 3, 5   17 bitmap 7   18 shape 8
//   19-21 RemoveObject2 1, 101, 102   22 place 8 at 1   23 ShowFrame (frame 4)
//   24 ShowFrame (frame 5)   25 DoAction stop   26 ShowFrame (frame 6)
inline FmrMovieBuilder StandardMovie() {
  FmrMovieBuilder builder(32, 24, 10);
  builder.KeyFrame(0xFF0000)
      .PartialFrame(4, 4, 8, 6, 0x00FF00)
      .PartialFrame(10, 10, 5, 5, 0x0000FF)
      .KeyFrame(0x808080)
      .HoldFrame()
      .StopFrame();
  return builder;
}

constexpr uint16_t kStandardFrames = 6;

}  // namespace engine_test
