// The tags a recording is made of, and when it opens a new block.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/recorder/RecordingCheck.h"

namespace {

// Bitmap id of w x h pixels in format, its shape at (x, y), placed at depth.
std::vector<std::string> Picture(const char* format, int id, int w, int h, int x, int y,
                                 int depth) {
  char text[3][100];
  std::snprintf(text[0], 100, "DefineBitsLossless2 (36) id=%d format=%s width=%d height=%d", id,
                format, w, h);
  std::snprintf(text[1], 100, "DefineShape3 (32) id=%d bounds=%d,%d,%d,%d bitmap=%d", id + 1,
                x * 20, y * 20, (x + w) * 20, (y + h) * 20, id);
  std::snprintf(text[2], 100, "PlaceObject2 (26) depth=%d id=%d matrix=65536,65536,0,0,0,0", depth,
                id + 1);
  return {text[0], text[1], text[2]};
}

// 8 x 3 frames: a start, the same again, two far-apart pixels changed (two pictures in one
// frame), everything changed (a new block with its clean-up), a row of one colour changed
// (a colour-mapped picture).
TEST(RecorderForm, WritesTheTagsOfEachKindOfFrame) {
  std::vector<ZuImage> frames = {Gray(8, 3, 200), Gray(8, 3, 200), Gray(8, 3, 200), Gray(8, 3, 90),
                                 Gray(8, 3, 90)};
  SetGray(frames[2], 0, 0, 1, 1, 10);
  SetGray(frames[2], 7, 2, 1, 1, 20);
  SetGray(frames[4], 0, 2, 8, 1, 0);
  for (const auto& [depth, format] : {std::pair{32, "5"}, {16, "4"}}) {
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, depth, 100, 12);
    const std::string show = "ShowFrame (1)";
    std::vector<std::string> expected = {"FileAttributes (69) flags=0",
                                         "SetBackgroundColor (9) color=#ffffff"};
    auto add = [&expected](std::vector<std::string> tags) {
      expected.insert(expected.end(), tags.begin(), tags.end());
    };
    add(Picture(format, 1, 8, 3, 0, 0, 1));
    add({show, show});
    add(Picture(format, 3, 1, 1, 0, 0, 101));
    add(Picture(format, 5, 1, 1, 7, 2, 102));
    add({show, "FreeCharacter (3) ref=1", "FreeCharacter (3) ref=3", "FreeCharacter (3) ref=5"});
    std::vector<std::string> keyFrame = Picture(format, 7, 8, 3, 0, 0, 1);
    add({keyFrame[0], keyFrame[1], "RemoveObject2 (28) depth=1", "RemoveObject2 (28) depth=101",
         "RemoveObject2 (28) depth=102", keyFrame[2], show});
    add(Picture("3", 9, 8, 1, 0, 2, 101));
    add({show, show, "DoAction (12)", show});  // hold and stop
    EXPECT_EQ(DescribeTags(*movie), expected) << depth;
    ExpectRecordingForm(*movie);
    ExpectPlaysBack(*movie, frames, depth);
  }
}

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
