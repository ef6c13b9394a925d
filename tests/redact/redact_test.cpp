// Redaction on recorded movies (32- and 16-bit, key-frame blocks of four pictures): every frame of
// the result is rendered and compared, pixel for pixel, with the input's frame, filled in the
// rectangle where the frame is in the range. The result is an FMR movie the independent parser
// reads, and none of its bitmaps still holds a row of the rectangle's pixels that only frames of
// the range showed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "redact/RedactArea.h"
#include "redact/Redaction.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/RandomImage.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 24;
constexpr int kPictures = 12;
constexpr int kBlockPictures = 10;

void PaintNoise(ZuImage& screen, int left, int top, int width, int height, unsigned seed) {
  const ZuImage patch = RandomImage(width, height, true, seed);
  for (int y = 0; y < height; ++y) {
    std::copy_n(patch.Row(y), 4 * width, screen.Row(top + y) + 4 * static_cast<size_t>(left));
  }
}

// Pictures of noise, so that no row of a few pixels shows up twice: a first screen, then a patch
// of new noise a picture, moving across the stage, and a strip along the bottom that changes in
// every picture, so that each frame shows pixels there that no other frame shows.
constexpr int kStripTop = 22;
Pictures NoisyRecording() {
  ZuImage screen = RandomImage(kWidth, kHeight, true, 1);
  Pictures frames = {screen};
  for (int i = 2; i <= kPictures; ++i) {
    PaintNoise(screen, (i * 7) % 31, (i * 5) % 15, 10, 8, static_cast<unsigned>(i));
    PaintNoise(screen, 0, kStripTop, kWidth, kHeight - kStripTop, static_cast<unsigned>(100 + i));
    frames.push_back(screen);
  }
  return frames;
}

void Fill(ZuImage& picture, const RedactArea& area) {
  for (int y = area.y; y < area.y + area.height; ++y) {
    uint8_t* pixel = picture.Row(y) + 4 * static_cast<size_t>(area.x);
    for (int x = 0; x < area.width; ++x, pixel += 4) {
      pixel[0] = static_cast<uint8_t>(area.fill >> 16);
      pixel[1] = static_cast<uint8_t>(area.fill >> 8);
      pixel[2] = static_cast<uint8_t>(area.fill);
      pixel[3] = 255;
    }
  }
}

using Row = std::vector<uint8_t>;

Row RectangleRow(const ZuImage& picture, const RedactArea& area, int y) {
  const uint8_t* start = picture.Row(y) + 4 * static_cast<size_t>(area.x);
  return Row(start, start + 4 * static_cast<size_t>(area.width));
}

// The rows of the rectangle that frames of the range show and no frame outside it shows there.
std::vector<Row> RowsOnlyTheRangeShows(const Pictures& shown, const RedactArea& area) {
  std::vector<Row> rows;
  for (int y = area.y; y < area.y + area.height; ++y) {
    std::vector<Row> outside;
    for (int frame = 1; frame <= static_cast<int>(shown.size()); ++frame) {
      if (frame < area.firstFrame || frame > area.lastFrame) {
        outside.push_back(RectangleRow(shown[frame - 1], area, y));
      }
    }
    for (int frame = area.firstFrame; frame <= area.lastFrame; ++frame) {
      Row row = RectangleRow(shown[frame - 1], area, y);
      if (std::find(outside.begin(), outside.end(), row) == outside.end()) {
        rows.push_back(std::move(row));
      }
    }
  }
  return rows;
}

// Fails the test for every row found in a bitmap of movie, at any place of any of its rows.
void ExpectNoBitmapHolds(const ZuTavoFile& movie, const std::vector<Row>& rows) {
  for (const ZuSwfTag* tag : movie) {
    const auto* bitmap = dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(tag);
    if (bitmap == nullptr) {
      continue;
    }
    std::string error;
    const std::unique_ptr<ZuImage> image(bitmap->DecodeImage(&error));
    ASSERT_TRUE(image != nullptr) << error;
    const size_t rowBytes = 4 * static_cast<size_t>(image->GetWidth());
    for (int y = 0; y < image->GetHeight(); ++y) {
      const uint8_t* begin = image->Row(y);
      for (const Row& row : rows) {
        const uint8_t* at = std::search(begin, begin + rowBytes, row.begin(), row.end());
        const bool aligned = at != begin + rowBytes && (at - begin) % 4 == 0;
        EXPECT_FALSE(aligned) << "bitmap " << bitmap->GetCharacterId() << " row " << y
                              << " still holds a row of the rectangle";
      }
    }
  }
}

// Redacts area in the movie file input and writes the result to output, which must show every
// frame of input, filled in the rectangle in the range, and be an FMR movie the independent
// parser reads.
void ExpectRedacted(const std::string& input, const RedactArea& area, const std::string& output,
                    int frames) {
  const Pictures shown = RenderAllFrames(input);
  ASSERT_EQ(shown.size(), static_cast<size_t>(frames));
  ZuFMRTavoFile movie{ZuString(input)};
  ASSERT_EQ(RedactFrames(movie, area), "");
  WriteMovieFile(movie, output);
  Pictures expected = shown;
  for (int frame = area.firstFrame; frame <= area.lastFrame; ++frame) {
    Fill(expected[frame - 1], area);
  }
  ExpectSamePictures(RenderAllFrames(output), expected);
  const ZuFMRTavoFile written{ZuString(output)};
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(written)) << ZuAnimationUtils::WhyNotFMRSWF(written);
  ExpectOracleAccepts(output, written);
}

struct RedactCase {
  const char* name;
  RedactArea area;
  bool startsInsideBlock;   // the range's first frame is no key frame
  bool resumesInsideBlock;  // a frame after the range is no key frame
  int depth = 32;
};

void PrintTo(const RedactCase& c, std::ostream* out) {
  *out << c.name << " (" << c.depth << "-bit)";
}

// The recording has kPictures + 2 frames (the hold and stop frames); blocks open at frames 1, 6
// and 11.
std::vector<RedactCase> Cases() {
  const RedactCase cases[] = {
      {"inside one picture, in one frame", {10, 22, 6, 2, 3, 3, 0x808080}, true, true},
      {"across several pictures, mid-block to mid-block",
       {5, 8, 30, 16, 3, 7, 0x102030},
       true,
       true},
      {"the whole stage, a whole block", {0, 0, kWidth, kHeight, 6, 10, 0xFFFFFF}, false, false},
      {"from frame 1", {0, 14, 10, 10, 1, 2, 0x000000}, false, true},
      {"at the stage corner, to the last frame", {32, 18, 8, 6, 12, 14, 0x808080}, true, false},
      {"one frame inside a block", {17, 18, 6, 6, 8, 8, 0xFF0000}, true, true},
      {"every frame", {20, 19, 12, 5, 1, 14, 0x00FF00}, false, false},
      {"mid-block to the block's end", {2, 15, 25, 9, 7, 10, 0x808080}, true, false},
  };
  std::vector<RedactCase> both;
  for (const int depth : {32, 16}) {
    for (RedactCase c : cases) {
      c.depth = depth;
      both.push_back(c);
    }
  }
  return both;
}

class Redaction : public testing::TestWithParam<RedactCase> {};

TEST_P(Redaction, FillsTheRectangleInTheRangeAndNothingElse) {
  const RedactCase& c = GetParam();
  const TempDir folder;
  const std::string input = folder.File("in.swf");
  const std::string output = folder.File("out.swf");
  std::vector<int> keyFrames;
  std::string error;
  const std::unique_ptr<ZuTavoFile> recorded =
      RecordPictures(NoisyRecording(), c.depth, kBlockPictures, &error, 10, 2, &keyFrames);
  ASSERT_TRUE(recorded != nullptr) << error;
  const auto isKeyFrame = [&](int frame) {
    return std::find(keyFrames.begin(), keyFrames.end(), frame) != keyFrames.end();
  };
  const std::string blocks = "blocks open at " + testing::PrintToString(keyFrames);
  ASSERT_EQ(!isKeyFrame(c.area.firstFrame), c.startsInsideBlock) << blocks;
  ASSERT_EQ(c.area.lastFrame < kPictures + 2 && !isKeyFrame(c.area.lastFrame + 1),
            c.resumesInsideBlock)
      << blocks;
  WriteMovieFile(*recorded, input);
  ExpectRedacted(input, c.area, output, kPictures + 2);
  const ZuFMRTavoFile written{ZuString(output)};
  const std::vector<Row> secret = RowsOnlyTheRangeShows(RenderAllFrames(input), c.area);
  ASSERT_FALSE(secret.empty());
  ExpectNoBitmapHolds(written, secret);
}

INSTANTIATE_TEST_SUITE_P(Recordings, Redaction, testing::ValuesIn(Cases()));

// A picture placed twice, before the range and in it, or twice in it: the frames outside the range
// keep showing it as it was.
TEST(RedactionOfAPicturePlacedTwice, LeavesTheFramesOutsideTheRangeAsTheyWere) {
  const TempDir folder;
  const std::string input = folder.File("in.swf");
  FmrMovieBuilder builder(40, 30, 10);
  builder.KeyFrame(0x336699).PartialFrame(4, 4, 12, 10, 0xAA0000);
  const uint16_t shape = builder.GetLastId();
  builder.Tag(ZuSwfPlaceObject2Tag::Create(shape, 150, 20, 12, "", {})).HoldFrame();
  builder.PartialFrame(30, 2, 6, 6, 0x00AA00).StopFrame();
  builder.WriteFile(input);
  const RedactArea areas[] = {
      {6, 8, 30, 16, 3, 3, 0x808080},  // placed in frame 2 and again in the range
      {6, 8, 30, 16, 3, 5, 0xFFFFFF},  // the same, to the last frame
      {0, 0, 40, 30, 2, 3, 0x000000},  // both placements in the range
      {20, 14, 12, 10, 4, 4, 0x123456},
  };
  for (const RedactArea& area : areas) {
    SCOPED_TRACE(RectangleText(area) + " in frames " + std::to_string(area.firstFrame) + " to " +
                 std::to_string(area.lastFrame));
    ExpectRedacted(input, area, folder.File("out.swf"), 5);
  }
}

// A refused area names what is wrong and leaves the movie as it was.
TEST(RedactionRefusal, NamesTheFaultAndChangesNothing) {
  struct Refusal {
    RedactArea area;
    const char* said;
  };
  const Refusal refusals[] = {
      {{0, 0, 0, 5, 1, 2, 0x808080}, "is empty"},
      {{0, 0, 5, -1, 1, 2, 0x808080}, "is empty"},
      {{-1, 0, 5, 5, 1, 2, 0x808080}, "passes the left edge"},
      {{0, -3, 5, 5, 1, 2, 0x808080}, "passes the top edge"},
      {{36, 0, 5, 5, 1, 2, 0x808080}, "passes the right edge"},
      {{0, 20, 5, 5, 1, 2, 0x808080}, "passes the bottom edge"},
      {{2147483647, 0, 5, 5, 1, 2, 0x808080}, "passes the right edge"},
      {{0, 0, 5, 5, 4, 3, 0x808080}, "is empty"},
      {{0, 0, 5, 5, 0, 3, 0x808080}, "not in the movie"},
      {{0, 0, 5, 5, 3, kPictures + 3, 0x808080}, "not in the movie"},
      {{0, 0, 5, 5, 1, 2, 0x1000000}, "not a 0xRRGGBB colour"},
  };
  const TempDir folder;
  const std::string input = folder.File("in.swf");
  const std::unique_ptr<ZuTavoFile> recorded = RecordFrames(NoisyRecording(), 32, kBlockPictures);
  ASSERT_TRUE(recorded != nullptr);
  WriteMovieFile(*recorded, input);
  const std::string loaded = folder.File("loaded.swf");
  ZuFMRTavoFile untouched{ZuString(input)};
  WriteMovieFile(untouched, loaded);
  for (const Refusal& r : refusals) {
    ZuFMRTavoFile movie{ZuString(input)};
    const std::string why = RedactFrames(movie, r.area);
    EXPECT_NE(why.find(r.said), std::string::npos) << RectangleText(r.area) << ": " << why;
    EXPECT_EQ(why.find('\n'), std::string::npos) << why;
    const std::string after = folder.File("after.swf");
    WriteMovieFile(movie, after);
    EXPECT_EQ(ReadFileBytes(after), ReadFileBytes(loaded)) << RectangleText(r.area);
  }
}

}  // namespace
