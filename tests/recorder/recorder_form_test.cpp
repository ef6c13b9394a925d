// The tags a recording is made of, tag by tag, and when it opens a new block.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "tests/recorder/RecordingCheck.h"

namespace {

// One line per tag with the fields that make the FMR form.
std::string Describe(const ZuSwfTag& tag) {
  const std::string id = std::to_string(tag.GetCharacterId());
  switch (tag.GetTagType()) {
    case ZuSwfTagFactory::kFileAttributes:
      return "FileAttributes " + std::to_string(tag.GetBody().size()) + " bytes, flags " +
             std::to_string(tag.GetBody().empty() ? -1 : tag.GetBody()[0]);
    case ZuSwfTagFactory::kSetBackgroundColor:
      return "SetBackgroundColor";
    case ZuSwfTagFactory::kShowFrame:
      return "ShowFrame";
    case ZuSwfTagFactory::kDoAction:
      return "DoAction " + std::to_string(tag.GetBody()[0]) + "," +
             std::to_string(tag.GetBody()[1]);
    case ZuSwfTagFactory::kFreeCharacter:
      return "Free " + std::to_string(tag.GetReferencedId());
    case ZuSwfTagFactory::kRemoveObject2:
      return "Remove " + std::to_string(dynamic_cast<const ZuSwfRemoveObjectTag&>(tag).m_depth);
    case ZuSwfTagFactory::kDefineBitsLossless2: {
      const auto& bitmap = dynamic_cast<const ZuSwfDefineBitsLossless2Tag&>(tag);
      return "Bitmap " + id + " format " + std::to_string(bitmap.GetBitmapFormat()) + " " +
             std::to_string(bitmap.GetBitmapWidth()) + "x" +
             std::to_string(bitmap.GetBitmapHeight());
    }
    case ZuSwfTagFactory::kDefineShape3: {
      const auto& shape = dynamic_cast<const ZuSwfDefineShapeTag&>(tag);
      const ZuSwfRect bounds = shape.GetShapeBounds();
      const std::vector<uint16_t> bitmaps = shape.GetBitmapIds();
      return "Shape " + id + " of " + (bitmaps.size() == 1 ? std::to_string(bitmaps[0]) : "?") +
             " at " + std::to_string(bounds.xMin / 20) + "," + std::to_string(bounds.yMin / 20) +
             " to " + std::to_string(bounds.xMax / 20) + "," + std::to_string(bounds.yMax / 20);
    }
    case ZuSwfTagFactory::kPlaceObject2: {
      const auto& place = dynamic_cast<const ZuSwfPlaceObject2Tag&>(tag);
      const ZuSwfMatrix matrix = place.GetMatrix().value_or(ZuSwfMatrix{});
      const bool identity = matrix == ZuSwfMatrix{};
      return "Place " + std::to_string(place.GetPlacedCharacterId().value_or(0)) + " at depth " +
             std::to_string(place.GetDepth()) + (identity ? "" : " moved");
    }
    default:
      return "code " + std::to_string(tag.GetTagType());
  }
}

std::vector<std::string> DescribeAll(const ZuTavoFile& movie) {
  std::vector<std::string> lines;
  for (const ZuSwfTag* tag : movie) {
    lines.push_back(tag == nullptr ? "null" : Describe(*tag));
  }
  return lines;
}

// 4 x 3 frames: a start, the same again, two pixels changed, everything changed, one
// pixel changed.
std::vector<ZuImage> FiveFrames() {
  std::vector<ZuImage> frames(5, ZuImage(4, 3));
  auto set = [](ZuImage& image, int x, int y, uint8_t value) {
    uint8_t* pixel = image.Row(y) + x * 4;
    pixel[0] = pixel[1] = pixel[2] = value;
    pixel[3] = 255;
  };
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) set(frames[0], x, y, 200);
  }
  frames[1] = frames[0];
  frames[2] = frames[1];
  set(frames[2], 1, 1, 10);
  set(frames[2], 2, 2, 20);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) set(frames[3], x, y, 90);
  }
  frames[4] = frames[3];
  set(frames[4], 3, 2, 0);
  return frames;
}

// 32-bit pictures are stored in bitmap format 5, 16-bit ones in format 4.
TEST(RecorderForm, WritesTheTagsOfEachKindOfFrame) {
  for (const auto& [depth, formatNumber] : {std::pair{32, 5}, {16, 4}}) {
    SCOPED_TRACE(depth);
    const std::vector<ZuImage> frames = FiveFrames();
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, depth, 100, 12);
    ASSERT_TRUE(movie != nullptr);
    const std::string format = " format " + std::to_string(formatNumber) + " ";
    const std::vector<std::string> expected = {
        "FileAttributes 4 bytes, flags 0",
        "SetBackgroundColor",
        // frame 1: the full picture
        "Bitmap 1" + format + "4x3",
        "Shape 2 of 1 at 0,0 to 4,3",
        "Place 2 at depth 1",
        "ShowFrame",
        // frame 2: no change
        "ShowFrame",
        // frame 3: the rectangle around both changed pixels
        "Bitmap 3" + format + "2x2",
        "Shape 4 of 3 at 1,1 to 3,3",
        "Place 4 at depth 101",
        "ShowFrame",
        // frame 4: everything changed, so a new block with its clean-up
        "Free 1",
        "Free 3",
        "Bitmap 5" + format + "4x3",
        "Shape 6 of 5 at 0,0 to 4,3",
        "Remove 1",
        "Remove 101",
        "Place 6 at depth 1",
        "ShowFrame",
        // frame 5: one pixel in the corner, the first partial picture of the new block
        "Bitmap 7" + format + "1x1",
        "Shape 8 of 7 at 3,2 to 4,3",
        "Place 8 at depth 101",
        "ShowFrame",
        // hold and stop
        "ShowFrame",
        "DoAction 7,0",
        "ShowFrame",
    };
    EXPECT_EQ(DescribeAll(*movie), expected);
    EXPECT_EQ(movie->GetFrameCount(), 7);
    EXPECT_EQ(movie->GetWidth(), 4u);
    EXPECT_EQ(movie->GetHeight(), 3u);
    EXPECT_EQ(movie->GetFrameRate(), 12);
    EXPECT_GE(movie->GetTavoVersion(), 8);
    ExpectRecordingForm(*movie);

    ExpectPlaysBack(*movie, frames, depth);
  }
}

// Where new blocks start: the full pictures of the stage size mark them.
std::vector<int> KeyFrameNumbers(const ZuTavoFile& movie) {
  std::vector<int> keyFrames;
  int frame = 1;
  for (const ZuSwfTag* tag : movie) {
    if (tag->GetTagType() == ZuSwfTagFactory::kShowFrame) {
      ++frame;
    } else if (const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(tag)) {
      if (place->GetDepth() == 1) keyFrames.push_back(frame);
    }
  }
  return keyFrames;
}

TEST(RecorderForm, OpensBlocksByPictureCountAndChangedArea) {
  const struct {
    const char* name;
    int blockFrames;
    int changedSide;  // each frame after the first changes a square of this side (0: none)
    int frames;
    std::vector<int> keyFrames;
  } cases[] = {
      // 1 picture a block: every changed frame is a key frame.
      {"every frame", 1, 2, 4, {1, 2, 3, 4}},
      // 3 pictures: the key frame and two partial pictures.
      {"three pictures", 3, 2, 8, {1, 4, 7}},
      // Frames without change add no picture and so never end a block.
      {"unchanged frames do not count", 1, 0, 5, {1}},
      // 8 x 8 of 10 x 10 is more than half the stage: a new block every time.
      {"large change", 100, 8, 4, {1, 2, 3, 4}},
      // 7 x 7 of 10 x 10 is less than half the stage.
      {"small change", 100, 7, 4, {1}},
      // Four pictures of 7 x 7 cover 1.96 stages; a fifth would pass the 2 stages a
      // block's pictures may cover.
      {"covered area", 100, 7, 11, {1, 6, 11}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ZuImage> frames;
    ZuImage frame(10, 10);
    for (int i = 0; i < c.frames; ++i) {
      for (int y = 0; y < (i > 0 ? c.changedSide : 0); ++y) {
        for (int x = 0; x < c.changedSide; ++x) frame.Row(y)[x * 4] = static_cast<uint8_t>(i);
      }
      frames.push_back(frame);
    }
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, 32, c.blockFrames);
    ASSERT_TRUE(movie != nullptr);
    EXPECT_EQ(KeyFrameNumbers(*movie), c.keyFrames);
    ExpectRecordingForm(*movie);
  }
}

TEST(RecorderForm, BlockPolicyDecidesWhenABlockEnds) {
  const struct {
    const char* name;
    ZuBlockPolicy policy;
    int picturesInBlock;
    int64_t blockArea;
    ZuPixelRect changed;  // on a 10 x 10 stage
    bool startsNewBlock;
  } cases[] = {
      {"forty percent", ZuBlockPolicy(10, 0.5), 1, 0, {0, 0, 10, 4}, false},
      {"fifty percent", ZuBlockPolicy(10, 0.5), 1, 0, {0, 0, 10, 5}, true},
      {"block full", ZuBlockPolicy(10, 0.5), 10, 0, {0, 0, 1, 1}, true},
      {"room for one", ZuBlockPolicy(10, 0.5), 9, 0, {0, 0, 1, 1}, false},
      {"any change", ZuBlockPolicy(10, 0.0), 1, 0, {0, 0, 1, 1}, true},
      {"only all", ZuBlockPolicy(10, 1.0), 1, 0, {0, 0, 10, 9}, false},
      {"area just fits", ZuBlockPolicy(10, 0.5, 2.0), 3, 190, {0, 0, 2, 5}, false},
      {"area overflows", ZuBlockPolicy(10, 0.5, 2.0), 3, 191, {0, 0, 2, 5}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.policy.StartsNewBlock(c.picturesInBlock, c.blockArea, c.changed, 10, 10),
              c.startsNewBlock)
        << c.name;
  }
}

}  // namespace
