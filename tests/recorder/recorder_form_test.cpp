// When a recording opens a new block.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/recorder/RecordingCheck.h"

namespace {

TEST(RecorderForm, OpensBlocksByPictureCountAndChangedArea) {
  const struct {
    const char* name;
    int blockFrames;
    int side;     // each frame after the first changes a square of this side (0: none)
    bool corner;  // and the far corner pixel, a second picture
    int frames;
    std::vector<int> keyFrames;  // the frames that open blocks
  } cases[] = {
      {"every changed frame", 1, 2, false, 4, {1, 2, 3, 4}},
      {"three pictures", 3, 2, false, 8, {1, 4, 7}},
      {"two pictures a frame", 3, 2, true, 6, {1, 3, 5}},
      {"more than half the stage", 100, 8, false, 3, {1, 2, 3}},
      // Six pictures of 7 x 7 cover 2.94 stages; a seventh would pass the 3 a block may cover.
      {"covered area", 100, 7, false, 15, {1, 8, 15}},
  };
  for (const auto& c : cases) {
    std::vector<ZuImage> frames = {Gray(10, 10, 0)};
    for (int i = 1; i < c.frames; ++i) {
      frames.push_back(frames.back());
      SetGray(frames.back(), 0, 0, c.side, c.side, static_cast<uint8_t>(i));
      SetGray(frames.back(), 9, 9, c.corner, c.corner, static_cast<uint8_t>(i));
    }
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, 32, c.blockFrames);
    std::vector<int> keyFrames;
    int frame = 1;
    for (const std::string& tag : DescribeTags(*movie)) {
      frame += tag == "ShowFrame (1)";
      if (tag.starts_with("PlaceObject2 (26) depth=1 ")) keyFrames.push_back(frame);
    }
    EXPECT_EQ(keyFrames, c.keyFrames) << c.name;
    ExpectRecordingForm(*movie);
  }
}

}  // namespace
