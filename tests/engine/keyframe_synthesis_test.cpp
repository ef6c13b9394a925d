// Key-frame synthesis: the bit depth of a movie's bitmaps, the tags a key frame adds and
// where, the 16-bit DIB road, and the failures that must leave the movie as it was. What the
// key frames show is checked on recorded movies by the edits' frame checks.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "engine/ZuKeyFramePicture.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuImage16BPP.h"
#include "platform/ZuWinGdi.h"
#include "platform/ZuWinGlobalMemory.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EditedFrames.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using engine_test::DescribeTags;
using engine_test::SlotAt;
using Words = std::vector<std::string>;

TEST(KeyFrameSynthesis, BitDepthComesFromTheFirstLosslessTwoBitmap) {
  struct Case {
    const char* name;
    std::vector<ZuSwfTag*> tags;
    int depth;
  };
  const auto bitmap = [](uint8_t format, uint16_t type = ZuSwfTagFactory::kDefineBitsLossless2) {
    return FmrMovieBuilder::MakeBitmap(1, 2, 2, 0x123456, static_cast<enuTagType>(type), format);
  };
  std::vector<Case> cases = {
      {"format 5", {bitmap(5)}, 32},
      {"format 4", {bitmap(4)}, 16},
      {"format 3", {bitmap(3)}, 0},
      {"only the first counts", {bitmap(4), bitmap(5)}, 16},
      {"DefineBitsLossless is not looked at",
       {bitmap(5, ZuSwfTagFactory::kDefineBitsLossless), bitmap(4)},
       16},
      {"no bitmap", {FmrMovieBuilder::MakeShowFrame()}, 0},
      {"empty body", {FmrMovieBuilder::MakeTag(ZuSwfTagFactory::kDefineBitsLossless2, {})}, 0},
      {"a null slot first", {nullptr, bitmap(5)}, 0},
  };
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
  engine_test::LoadBuilt(reloaded, engine_test::StandardMovie());
  EXPECT_EQ(Access::GetBmpBitDepth(reloaded), -1);
  EXPECT_EQ(Access::GetBMPBitDepth(reloaded), 32);
}

// Where a key frame goes in the standard movie (highest id 8), and which tags it brings.
TEST(KeyFrameSynthesis, KeyFrameTagsGoBeforeTheTargetShowFrameAndIntoTheNextCleanup) {
  const Words kKeyFrame = {"bitmap 9", "shape 10", "place 10@100"};
  const size_t kNone = 99;
  struct Case {
    const char* name;
    int targetFrame;
    size_t at;        // standard index the key frame goes before; kNone: none
    size_t freeAt;    // standard index "free 9" goes before; 0: none
    size_t removeAt;  // standard index "remove 100" goes before; 0: none
  };
  const std::vector<Case> cases = {
      {"frame 0: after the header tags", 0, 2, 14, 22},
      {"frame 1", 1, 5, 14, 22},
      {"frame 3", 3, 13, 14, 22},
      {"frame 4: no clean-up block after", 4, 23, 0, 0},
      {"last frame", 6, 26, 0, 0},
      {"past the last frame: no key frame", 7, kNone, 0, 0},
      {"far past: no key frame", 100, kNone, 0, 0},
      {"before frame 0: no key frame", -1, kNone, 0, 0},
  };
  for (const bool sixteen : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (sixteen ? ", 16-bit" : ", 32-bit"));
      ZuFMRTavoFile movie;
      engine_test::LoadBuilt(movie, engine_test::StandardMovie());
      const ZuImage picture = engine_test::MakeScreenFrames(32, 24, 1, 11)[0];
      if (sixteen) {
        std::vector<uint8_t> pixels(ZuImage16BPP::GetRowBytes(32) * 24, 0x11);
        Access::AddImageKeyFrame(movie, ZuImage16BPP(pixels.data(), 32, 24, true), c.targetFrame);
      } else {
        Access::AddImageKeyFrame(movie, picture, c.targetFrame);
      }
      Words expected;
      const Words words = engine_test::SplitLine(engine_test::kStandardLine);
      for (size_t i = 0; i < words.size(); ++i) {
        if (i == c.at) expected.insert(expected.end(), kKeyFrame.begin(), kKeyFrame.end());
        if (c.freeAt != 0 && i == c.freeAt) expected.push_back("free 9");
        if (c.removeAt != 0 && i == c.removeAt) expected.push_back("remove 100");
        expected.push_back(words[i]);
      }
      EXPECT_EQ(DescribeTags(movie), expected);
      EXPECT_EQ(Access::GetHighestId(movie), c.at == kNone ? 8 : 10);
      EXPECT_EQ(movie.GetFrameCount(), engine_test::kStandardFrames);
    }
  }
}

TEST(KeyFramePicture, VerticalFlipOfNullSaysSo) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(VerticalFlip(nullptr, 4, 4), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n null buffer in vertical flip\n");
}

class KeyFrameDib16 : public testing::Test {
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

TEST_F(KeyFrameDib16, NoBlockNoDib) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ZuGlobalMemoryFailNextAllocs(1);
  EXPECT_EQ(CreateDIB16FromBitmap(bitmap), nullptr);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(CreateDIB16FromBitmap(bitmap), nullptr);  // a released bitmap
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
  WriteFileBytes(folder.File("junk.swf"), {'n', 'o', 't', ' ', 'S', 'W', 'F'});
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
