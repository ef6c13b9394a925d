// Recordings played back by the player show every input frame pixel for pixel.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "samples/ZuDemoScene.h"
#include "tests/recorder/RecordingCheck.h"

namespace {

struct PlaybackCase {
  int width;
  int height;
  int frames;
  int depth;
  int blockFrames;
};

void PrintTo(const PlaybackCase& c, std::ostream* out) {
  *out << c.width << "x" << c.height << ", " << c.frames << " frames, depth " << c.depth
       << ", block " << c.blockFrames;
}

std::string CaseName(const testing::TestParamInfo<PlaybackCase>& info) {
  const PlaybackCase& c = info.param;
  return std::to_string(c.width) + "x" + std::to_string(c.height) + "_depth" +
         std::to_string(c.depth) + "_block" + std::to_string(c.blockFrames);
}

std::vector<PlaybackCase> AllCases() {
  struct Size {
    int width, height, frames;
  };
  const Size sizes[] = {{33, 17, 40}, {1, 1, 20}, {640, 400, 17}, {2, 3, 33}, {65, 1, 24}};
  std::vector<PlaybackCase> cases;
  for (const Size& size : sizes) {
    for (int depth : {32, 16}) {
      for (int block : {1, 3, 100}) {
        cases.push_back({size.width, size.height, size.frames, depth, block});
      }
    }
  }
  return cases;
}

class RecorderPlayback : public testing::TestWithParam<PlaybackCase> {};

TEST_P(RecorderPlayback, EveryFrameComesBackExactly) {
  const PlaybackCase& c = GetParam();
  const std::vector<ZuImage> frames = MakeTestFrames(c.width, c.height, c.frames, 1000 + c.width);
  std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, c.depth, c.blockFrames);
  ASSERT_TRUE(movie != nullptr);
  ExpectRecordingForm(*movie);
  ExpectPlaysBack(*movie, frames, c.depth);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RecorderPlayback, testing::ValuesIn(AllCases()), CaseName);

// The demo screen: typing, scrolling and a moving pointer, over more than one cycle.
TEST(RecorderPlaybackDemo, DemoScreenComesBackExactly) {
  for (int depth : {32, 16}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    ZuDemoScene scene(640, 400);
    std::vector<ZuImage> frames(ZuDemoScene::kCycleFrames + 12, ZuImage(640, 400));
    for (ZuImage& frame : frames) {
      scene.RenderNextFrame(frame);
    }
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, depth, 30, 15);
    ASSERT_TRUE(movie != nullptr);
    ExpectRecordingForm(*movie);
    ExpectPlaysBack(*movie, frames, depth);
  }
}

}  // namespace
