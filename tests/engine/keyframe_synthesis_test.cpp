// Key-frame synthesis: the bit depth of a movie's bitmaps, the tags a key frame adds and
// where, the 16-bit DIB road, and the failures that must leave the movie as it was.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "engine/ZuKeyFramePicture.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuImage16BPP.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/util/ZuMemoryStream.h"
#include "platform/ZuWinGdi.h"
#include "platform/ZuWinGlobalMemory.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/RecordedMovies.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using engine_test::DescribeTags;
using engine_test::SlotAt;
using Words = std::vector<std::string>;

void LoadBytes(ZuFMRTavoFile& movie, const std::vector<uint8_t>& bytes) {
  ZuMemoryStream stream(ZuSharedBytes::Copy(bytes.data(), bytes.size()));
  ASSERT_EQ(Access::Init(movie, &stream), kZuSuccess);
}

// A picture whose every pixel differs, opaque.
ZuImage TestPicture(int width, int height) {
  ZuImage picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = picture.Row(y) + x * 4;
      pixel[0] = static_cast<uint8_t>(x * 8 + 3);
      pixel[1] = static_cast<uint8_t>(y * 8 + 5);
      pixel[2] = static_cast<uint8_t>(x * y);
      pixel[3] = 255;
    }
  }
  return picture;
}

TEST(KeyFrameSynthesis, BitDepthComesFromTheFirstLosslessTwoBitmap) {
  struct Case {
    const char* name;
    std::vector<ZuSwfTag*> tags;
    int depth;
  };
  using Builder = FmrMovieBuilder;
  const uint16_t lossless1 = ZuSwfTagFactory::kDefineBitsLossless;
  std::vector<Case> cases;
  cases.push_back({"format 5", {Builder::MakeBitmap(1, 2, 2, 0x123456)}, 32});
  cases.push_back(
      {"format 4",
       {Builder::MakeBitmap(1, 2, 2, 0x123456, ZuSwfTagFactory::kDefineBitsLossless2, 4)},
       16});
  cases.push_back(
      {"format 3",
       {Builder::MakeBitmap(1, 2, 2, 0x123456, ZuSwfTagFactory::kDefineBitsLossless2, 3)},
       0});
  cases.push_back({"only the first counts",
                   {Builder::MakeBitmap(1, 2, 2, 0x1, ZuSwfTagFactory::kDefineBitsLossless2, 4),
                    Builder::MakeBitmap(2, 2, 2, 0x2)},
                   16});
  cases.push_back({"DefineBitsLossless is not looked at",
                   {Builder::MakeBitmap(1, 2, 2, 0x1, static_cast<enuTagType>(lossless1), 5),
                    Builder::MakeBitmap(2, 2, 2, 0x2, ZuSwfTagFactory::kDefineBitsLossless2, 4)},
                   16});
  cases.push_back({"no bitmap", {Builder::MakeShowFrame()}, 0});
  cases.push_back({"empty body", {Builder::MakeTag(ZuSwfTagFactory::kDefineBitsLossless2, {})}, 0});
  cases.push_back({"a null slot first", {nullptr, Builder::MakeBitmap(1, 2, 2, 0x1)}, 0});
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie;
    for (ZuSwfTag* tag : c.tags) {
      movie.AppendTag(tag);
    }
    EXPECT_EQ(Access::GetBMPBitDepth(movie), c.depth);
    EXPECT_EQ(Access::GetBmpBitDepth(movie), c.depth);
  }
}

TEST(KeyFrameSynthesis, BitDepthIsWorkedOutOnce) {
  ZuFMRTavoFile movie;
  movie.AppendTag(
      FmrMovieBuilder::MakeBitmap(1, 2, 2, 0x1, ZuSwfTagFactory::kDefineBitsLossless2, 4));
  EXPECT_EQ(Access::GetBMPBitDepth(movie), 16);
  delete *movie.begin();
  *movie.begin() = FmrMovieBuilder::MakeBitmap(1, 2, 2, 0x1);
  EXPECT_EQ(Access::GetBMPBitDepth(movie), 16);
  // Loading again forgets it.
  ZuFMRTavoFile reloaded;
  LoadBytes(reloaded, engine_test::StandardMovie().BuildBytes());
  EXPECT_EQ(Access::GetBmpBitDepth(reloaded), -1);
  EXPECT_EQ(Access::GetBMPBitDepth(reloaded), 32);
}

// Where a key frame goes in the standard movie (highest id 8), and which tags it brings.
TEST(KeyFrameSynthesis, KeyFrameTagsGoBeforeTheTargetShowFrameAndIntoTheNextCleanup) {
  const Words kKeyFrame = {"bitmap 9", "shape 10", "place 10@100"};
  struct Case {
    const char* name;
    int targetFrame;
    size_t at;        // standard index the key frame goes before
    size_t freeAt;    // standard index "free 9" goes before; 0: none
    size_t removeAt;  // standard index "remove 100" goes before; 0: none
  };
  const std::vector<Case> cases = {
      {"frame 0: after the header tags", 0, 2, 14, 22},
      {"frame 1", 1, 5, 14, 22},
      {"frame 3", 3, 13, 14, 22},
      {"frame 4: no clean-up block after", 4, 23, 0, 0},
      {"last frame", 6, 26, 0, 0},
  };
  for (const bool sixteen : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (sixteen ? ", 16-bit" : ", 32-bit"));
      ZuFMRTavoFile movie;
      LoadBytes(movie, engine_test::StandardMovie().BuildBytes());
      const ZuImage picture = TestPicture(32, 24);
      if (sixteen) {
        std::vector<uint8_t> pixels(ZuImage16BPP::GetRowBytes(32) * 24, 0x11);
        Access::AddImageKeyFrame(movie, ZuImage16BPP(pixels.data(), 32, 24, true), c.targetFrame);
      } else {
        Access::AddImageKeyFrame(movie, picture, c.targetFrame);
      }
      Words expected;
      ZuFMRTavoFile standard;
      LoadBytes(standard, engine_test::StandardMovie().BuildBytes());
      const Words words = DescribeTags(standard);
      for (size_t i = 0; i < words.size(); ++i) {
        if (i == c.at) expected.insert(expected.end(), kKeyFrame.begin(), kKeyFrame.end());
        if (c.freeAt != 0 && i == c.freeAt) expected.push_back("free 9");
        if (c.removeAt != 0 && i == c.removeAt) expected.push_back("remove 100");
        expected.push_back(words[i]);
      }
      EXPECT_EQ(DescribeTags(movie), expected);
      EXPECT_EQ(Access::GetHighestId(movie), 10);
      EXPECT_EQ(movie.GetFrameCount(), engine_test::kStandardFrames);
    }
  }
}

TEST(KeyFrameSynthesis, NoFrameNoKeyFrame) {
  for (const int target : {7, 100, -1}) {
    SCOPED_TRACE(target);
    ZuFMRTavoFile movie;
    LoadBytes(movie, engine_test::StandardMovie().BuildBytes());
    Access::AddImageKeyFrame(movie, TestPicture(32, 24), target);
    EXPECT_EQ(movie.GetTagCount(), engine_test::kStandardTags);
    EXPECT_EQ(Access::GetHighestId(movie), engine_test::kStandardHighestId);
  }
}

// The bitmap holds the picture, the shape shows it at full size from (0, 0), the placement
// puts the shape at depth 100 with no name and no move.
TEST(KeyFrameSynthesis, KeyFrameShowsThePictureAtFullSize) {
  for (const int width : {32, 7}) {
    const int height = width == 32 ? 24 : 5;
    SCOPED_TRACE(width);
    ZuFMRTavoFile movie;
    LoadBytes(movie, engine_test::StandardMovie().BuildBytes());
    const ZuImage picture = TestPicture(width, height);
    Access::AddImageKeyFrame(movie, picture, 2);
    const auto* bitmap = dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(*SlotAt(movie, 9));
    const auto* shape = dynamic_cast<const ZuSwfDefineShapeTag*>(*SlotAt(movie, 10));
    const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(*SlotAt(movie, 11));
    ASSERT_TRUE(bitmap != nullptr && shape != nullptr && place != nullptr);
    EXPECT_EQ(bitmap->GetBitmapFormat(), 5);
    std::string error;
    const std::unique_ptr<ZuImage> decoded(bitmap->DecodeImage(&error));
    ASSERT_TRUE(decoded != nullptr) << error;
    EXPECT_TRUE(*decoded == picture);
    EXPECT_EQ(shape->GetBitmapIds(), std::vector<uint16_t>{9});
    const ZuSwfRect bounds = shape->GetShapeBounds();
    EXPECT_EQ(bounds.xMin, 0);
    EXPECT_EQ(bounds.yMin, 0);
    EXPECT_EQ(bounds.xMax, width * 20);
    EXPECT_EQ(bounds.yMax, height * 20);
    EXPECT_EQ(place->GetPlacedCharacterId(), std::optional<uint16_t>(10));
    EXPECT_EQ(place->GetDepth(), 100);
    EXPECT_FALSE(place->IsMove());
    const auto matrix = place->GetMatrix();
    if (matrix) {
      EXPECT_EQ(matrix->translateX, 0);
      EXPECT_EQ(matrix->translateY, 0);
    }
  }
}

TEST(KeyFrameSynthesis, SixteenBitKeyFrameIsAFormatFourBitmap) {
  ZuFMRTavoFile movie;
  LoadBytes(movie, engine_test::StandardMovie().BuildBytes());
  const int width = 3;
  const int height = 2;
  // 5-5-5 words, rows of 6 bytes padded to 8.
  const std::vector<uint16_t> words = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x4210};
  std::vector<uint8_t> pixels(8 * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels[8 * y + 2 * x] = static_cast<uint8_t>(words[y * width + x]);
      pixels[8 * y + 2 * x + 1] = static_cast<uint8_t>(words[y * width + x] >> 8);
    }
  }
  Access::AddImageKeyFrame(movie, ZuImage16BPP(pixels.data(), width, height, true), 1);
  const auto* bitmap = dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(*SlotAt(movie, 5));
  ASSERT_TRUE(bitmap != nullptr);
  EXPECT_EQ(bitmap->GetBitmapFormat(), 4);
  EXPECT_EQ(bitmap->GetBitmapWidth(), width);
  EXPECT_EQ(bitmap->GetBitmapHeight(), height);
  std::string error;
  const std::unique_ptr<ZuImage> decoded(bitmap->DecodeImage(&error));
  ASSERT_TRUE(decoded != nullptr) << error;
  auto expand = [](unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint16_t word = words[y * width + x];
      const uint8_t* pixel = decoded->Row(y) + x * 4;
      EXPECT_EQ(pixel[0], expand((word >> 10) & 31)) << x << "," << y;
      EXPECT_EQ(pixel[1], expand((word >> 5) & 31)) << x << "," << y;
      EXPECT_EQ(pixel[2], expand(word & 31)) << x << "," << y;
    }
  }
}

TEST(KeyFramePicture, VerticalFlipTurnsRowsOver) {
  struct Case {
    int width;
    int height;
    size_t rowBytes;
  };
  const std::vector<Case> cases = {{2, 4, 4}, {3, 5, 8}, {1, 1, 4}, {5, 2, 12}, {4, 3, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    std::vector<uint8_t> buffer(c.rowBytes * c.height);
    for (size_t i = 0; i < buffer.size(); ++i) {
      buffer[i] = static_cast<uint8_t>(i);
    }
    const std::vector<uint8_t> original = buffer;
    EXPECT_EQ(VerticalFlip(buffer.data(), c.width, c.height), 0);
    for (int row = 0; row < c.height; ++row) {
      const int from = c.height - 1 - row;
      EXPECT_EQ(std::memcmp(buffer.data() + c.rowBytes * row, original.data() + c.rowBytes * from,
                            c.rowBytes),
                0)
          << "row " << row;
    }
  }
}

TEST(KeyFramePicture, VerticalFlipOfNullSaysSo) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(VerticalFlip(nullptr, 4, 4), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n null buffer in vertical flip\n");
}

class Dib16Test : public testing::Test {
 protected:
  void SetUp() override {
    m_gdiBefore = ZuGdiCountLiveObjects();
    m_blocksBefore = ZuGlobalMemoryCountLiveBlocks();
  }
  void TearDown() override {
    ZuGlobalMemoryFailNextAllocs(0);
    EXPECT_EQ(ZuGdiCountLiveObjects(), m_gdiBefore);
    EXPECT_EQ(ZuGlobalMemoryCountLiveBlocks(), m_blocksBefore);
  }

 private:
  size_t m_gdiBefore = 0;
  size_t m_blocksBefore = 0;
};

using KeyFrameDib16 = Dib16Test;

// The packed DIB: its header, then the rows bottom to top, each padded to 4 bytes.
TEST_F(KeyFrameDib16, PackedDibHoldsRowsBottomUp) {
  const int width = 3;
  const int height = 3;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  std::vector<uint8_t> bits(width * height * 4, 0);
  for (int y = 0; y < height; ++y) {
    bits[(y * width) * 4 + 2] = static_cast<uint8_t>(8 * (y + 1));  // red of the row's first pixel
  }
  ASSERT_EQ(SetDIBits(nullptr, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS), height);

  const HGLOBAL block = CreateDIB16FromBitmap(bitmap);
  ASSERT_NE(block, nullptr);
  const auto* start = static_cast<const uint8_t*>(GlobalLock(block));
  BITMAPINFOHEADER header{};
  std::memcpy(&header, start, sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, width);
  EXPECT_EQ(header.biHeight, height);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 16);
  EXPECT_EQ(header.biCompression, BI_RGB);
  EXPECT_EQ(header.biSizeImage, 8u * height);
  EXPECT_EQ(header.biClrUsed, 0u);
  for (int line = 0; line < height; ++line) {
    const int pictureRow = height - 1 - line;
    const uint8_t* row = start + 40 + 8 * line;
    EXPECT_EQ(row[0] | (row[1] << 8), (pictureRow + 1) << 10) << "line " << line;
  }
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(KeyFrameDib16, NoBlockNoDib) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ZuGlobalMemoryFailNextAllocs(1);
  EXPECT_EQ(CreateDIB16FromBitmap(bitmap), nullptr);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(CreateDIB16FromBitmap(bitmap), nullptr);  // a released bitmap
}

// Rendering from a file: the key frame holds what the player shows for that frame of the
// file, exactly, for both depths (16 bits: exact in 5-5-5).
TEST_F(KeyFrameDib16, ExtractedKeyFrameIsTheRenderedFrame) {
  engine_test::ScratchFolder folder;
  for (const int depth : {32, 16}) {
    SCOPED_TRACE(depth);
    const std::vector<ZuImage> frames = engine_test::MakeScreenFrames(13, 7, 12, 77);
    std::unique_ptr<ZuTavoFile> recorded = RecordFrames(frames, depth, 100);
    ASSERT_TRUE(recorded != nullptr);
    const std::string path = folder.File("movie" + std::to_string(depth) + ".swf");
    WriteMovieFile(*recorded, path);
    const std::vector<ZuImage> rendered = RenderAllFrames(path);
    ASSERT_GE(rendered.size(), 6u);

    ZuFMRTavoFile movie{ZuString(path)};
    ASSERT_TRUE(movie.IsValidFMRSWF());
    const size_t tagsBefore = movie.GetTagCount();
    const uint16_t highest = Access::GetHighestId(movie);
    Access::ExtractImageAndAddKeyFrame(movie, 5, 2, path);
    EXPECT_EQ(Access::GetBMPBitDepth(movie), depth == 32 ? 32 : 16);
    // Frame 7 of the recording opens a new block, so a clean-up block follows frame 2:
    // bitmap, shape and placement, and a FreeCharacter and a RemoveObject2 for them.
    EXPECT_TRUE(Access::SearchForKeyFrameBlock(movie, Access::FindNthFrame(movie, 2)));
    EXPECT_EQ(movie.GetTagCount(), tagsBefore + 5);
    EXPECT_EQ(Access::GetHighestId(movie), highest + 2);
    const auto pos = Access::FindNthFrame(movie, 2);
    const auto* bitmap = dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(*std::prev(pos, 3));
    ASSERT_TRUE(bitmap != nullptr);
    EXPECT_EQ(bitmap->GetCharacterId(), highest + 1);
    EXPECT_EQ(bitmap->GetBitmapFormat(), depth == 32 ? 5 : 4);
    std::string error;
    const std::unique_ptr<ZuImage> decoded(bitmap->DecodeImage(&error));
    ASSERT_TRUE(decoded != nullptr) << error;
    std::string where;
    EXPECT_EQ(CountDifferentPixels(*decoded, rendered[4], &where), 0u) << where;
  }
}

// A frame that cannot be rendered, or a 16-bit DIB that cannot be had, throws the int 0
// before the tag list changes, and everything made on the way is released.
TEST_F(KeyFrameDib16, FailuresThrowBeforeTheListChanges) {
  engine_test::ScratchFolder folder;
  const std::vector<ZuImage> frames = engine_test::MakeScreenFrames(9, 6, 8, 5);
  std::unique_ptr<ZuTavoFile> recorded = RecordFrames(frames, 16, 3);
  ASSERT_TRUE(recorded != nullptr);
  const std::string path = folder.File("movie16.swf");
  WriteMovieFile(*recorded, path);

  struct Case {
    const char* name;
    std::string file;
    int frame;
    bool failGlobalAlloc;
  };
  const std::vector<Case> cases = {
      {"missing file", folder.File("missing.swf"), 2, false},
      {"not an SWF file", folder.File("junk.swf"), 2, false},
      {"frame past the end", path, 99, false},
      {"frame 0", path, 0, false},
      {"no global block", path, 2, true},
  };
  {
    std::FILE* junk = std::fopen(folder.File("junk.swf").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("not a movie", junk);
    std::fclose(junk);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie{ZuString(path)};
    const Words before = DescribeTags(movie);
    const uint16_t highest = Access::GetHighestId(movie);
    ZuGlobalMemoryFailNextAllocs(c.failGlobalAlloc ? 1 : 0);
    try {
      Access::ExtractImageAndAddKeyFrame(movie, c.frame, 1, c.file);
      ADD_FAILURE() << "no exception";
    } catch (int code) {
      EXPECT_EQ(code, 0);
    }
    EXPECT_EQ(DescribeTags(movie), before);
    EXPECT_EQ(Access::GetHighestId(movie), highest);
  }
}

}  // namespace
