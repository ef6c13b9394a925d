// Recordings played back by the player show every input frame pixel for pixel.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "samples/ZuDemoScene.h"
#include "tests/recorder/RecordingCheck.h"

namespace {

// Sizes, depths, block lengths and tile sides (16 as recordings use, 2 to find many small
// pictures in small frames); then the demo screen (typing, scrolling, a moving pointer).
TEST(RecorderPlayback, EveryFrameComesBackExactly) {
  const struct {
    int width, height, frames;
  } sizes[] = {{33, 17, 40}, {1, 1, 20}, {640, 400, 17}, {2, 3, 33}, {65, 1, 24}};
  for (int depth : {32, 16}) {
    for (const auto& size : sizes) {
      for (const auto& [block, tile] : {std::pair{1, 16}, {3, 2}, {100, 2}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " depth " +
                     std::to_string(depth) + " block " + std::to_string(block) + " tile " +
                     std::to_string(tile));
        const std::vector<ZuImage> frames =
            MakeTestFrames(size.width, size.height, size.frames, 1000 + size.width);
        std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, depth, block, 10, tile);
        ExpectRecordingForm(*movie);
        ExpectPlaysBack(*movie, frames, depth);
      }
    }
    ZuDemoScene scene(640, 400);
    std::vector<ZuImage> frames(ZuDemoScene::kCycleFrames + 12, ZuImage(640, 400));
    for (ZuImage& frame : frames) scene.RenderNextFrame(frame);
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, depth, 30, 15, 16);
    ExpectRecordingForm(*movie);
    ExpectPlaysBack(*movie, frames, depth);
  }
}

}  // namespace
