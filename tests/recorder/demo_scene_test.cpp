// The demo screen is the same on every run, draws at any size, and holds the kinds of
// frames a recorder meets: unchanged ones, small changes and large ones.

#include <gtest/gtest.h>

#include <utility>

#include "recorder/ZuFrameDiff.h"
#include "samples/ZuDemoScene.h"

namespace {

TEST(DemoScene, SameFramesOnEveryRunAtAnySize) {
  for (const auto& [width, height] : {std::pair{320, 200}, {1, 1}, {33, 17}, {7, 400}, {640, 3}}) {
    ZuDemoScene first(width, height), second(width, height);
    ZuImage a(1, 1), b(1, 1);
    for (int i = 0; i < ZuDemoScene::kCycleFrames + 5; ++i) {
      first.RenderNextFrame(a);
      second.RenderNextFrame(b);
      ASSERT_TRUE(a == b) << width << " x " << height << ", frame " << i;
    }
    EXPECT_EQ(a.GetWidth(), width);
    EXPECT_EQ(a.GetHeight(), height);
  }
}

TEST(DemoScene, CycleHasStillSmallAndLargeChanges) {
  ZuDemoScene scene(640, 400);
  ZuImage previous(640, 400);
  ZuImage frame(640, 400);
  scene.RenderNextFrame(previous);
  const ZuFrameDiff diff(640, 400, 4);
  int still = 0, small = 0, large = 0;
  for (int i = 1; i < ZuDemoScene::kCycleFrames; ++i) {
    scene.RenderNextFrame(frame);
    const int64_t area = diff.FindChangedBounds(previous.GetBuffer(), frame.GetBuffer()).Area();
    still += area == 0;
    small += area > 0 && area < 640 * 400 / 100;
    large += area > 640 * 400 / 10;
    std::swap(previous, frame);
  }
  EXPECT_GE(still, 3);
  EXPECT_GE(small, 10);  // typing
  EXPECT_GE(large, 10);  // scrolling
}

}  // namespace
