// What the recorder refuses, and how a recording ends when it reaches the format's limits.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/player/ZuAnimationUtils.h"
#include "recorder/ZuFmrRecorder.h"
#include "tests/recorder/RecordingCheck.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"

namespace {

ZuFmrRecorderOptions SmallOptions() {
  ZuFmrRecorderOptions options;
  options.width = 1;
  options.height = 1;
  options.frameRate = 10;
  return options;
}

ZuImage OnePixel(uint8_t red) {
  const uint8_t pixel[4] = {red, 0, 0, 255};
  return ZuImage(1, 1, pixel);
}

struct OptionsCase {
  const char* name;
  std::function<void(ZuFmrRecorderOptions&)> change;
  const char* reason;  // a part of the error
};

void PrintTo(const OptionsCase& c, std::ostream* out) {
  *out << c.name;
}

class RecorderOptions : public testing::TestWithParam<OptionsCase> {};

TEST_P(RecorderOptions, RefusesUnusableOptions) {
  ZuFmrRecorderOptions options = SmallOptions();
  GetParam().change(options);
  std::string error;
  EXPECT_EQ(ZuFmrRecorder::Create(options, &error), nullptr);
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Bad, RecorderOptions,
    testing::Values(OptionsCase{"ZeroWidth", [](auto& o) { o.width = 0; }, "frame size"},
                    OptionsCase{"NegativeHeight", [](auto& o) { o.height = -3; }, "frame size"},
                    OptionsCase{"TooWide", [](auto& o) { o.width = 16385; }, "frame size"},
                    OptionsCase{"ZeroFrameRate", [](auto& o) { o.frameRate = 0; }, "frame rate"},
                    OptionsCase{"FrameRate256", [](auto& o) { o.frameRate = 256; }, "frame rate"},
                    OptionsCase{"Depth24", [](auto& o) { o.depth = 24; }, "bit depth"},
                    OptionsCase{"NoPicturesPerBlock",
                                [](auto& o) { o.blockPolicy = ZuBlockPolicy(0, 0.5); },
                                "pictures per block"},
                    OptionsCase{"ShareAboveOne",
                                [](auto& o) { o.blockPolicy = ZuBlockPolicy(5, 1.5); },
                                "share of the stage"}),
    [](const testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.name); });

TEST(RecorderErrors, AFrameOfAnotherSizeIsLeftOut) {
  std::string error;
  auto recorder = ZuFmrRecorder::Create(SmallOptions(), &error);
  ASSERT_TRUE(recorder != nullptr) << error;
  ASSERT_TRUE(recorder->AddFrame(OnePixel(1)));
  EXPECT_FALSE(recorder->AddFrame(ZuImage(2, 1)));
  EXPECT_NE(recorder->GetLastError().find("2 x 1"), std::string::npos) << recorder->GetLastError();
  ASSERT_TRUE(recorder->AddFrame(OnePixel(2)));
  EXPECT_EQ(recorder->GetFrameCount(), 2);
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  ASSERT_TRUE(movie != nullptr);
  EXPECT_EQ(movie->GetFrameCount(), 4);
}

TEST(RecorderErrors, NothingToFinishAndNothingAfterFinish) {
  std::string error;
  auto empty = ZuFmrRecorder::Create(SmallOptions(), &error);
  ASSERT_TRUE(empty != nullptr) << error;
  EXPECT_EQ(empty->Finish(), nullptr);
  EXPECT_NE(empty->GetLastError().find("no frames"), std::string::npos);

  auto recorder = ZuFmrRecorder::Create(SmallOptions(), &error);
  ASSERT_TRUE(recorder->AddFrame(OnePixel(1)));
  ASSERT_TRUE(recorder->Finish() != nullptr);
  EXPECT_EQ(recorder->Finish(), nullptr);
  EXPECT_FALSE(recorder->AddFrame(OnePixel(2)));
  EXPECT_NE(recorder->GetLastError().find("finished"), std::string::npos);
}

// Every picture takes two character ids; the last usable pair ends the recording cleanly.
TEST(RecorderLimits, RunsOutOfCharacterIds) {
  std::string error;
  auto recorder = ZuFmrRecorder::Create(SmallOptions(), &error);
  ASSERT_TRUE(recorder != nullptr) << error;
  int frames = 0;
  while (recorder->AddFrame(OnePixel(static_cast<uint8_t>(frames & 1)))) {
    ++frames;
    ASSERT_LT(frames, 40000) << "the recorder never ran out of ids";
  }
  EXPECT_EQ(frames, 32767);  // bitmaps 1, 3, ..., 65533; shapes up to 65534
  EXPECT_NE(recorder->GetLastError().find("character id"), std::string::npos)
      << recorder->GetLastError();
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  ASSERT_TRUE(movie != nullptr);
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
  ExpectRecordingForm(*movie);
  TempDir dir;
  WriteMovieFile(*movie, dir.File("full.swf"));
  ExpectOracleAccepts(dir.File("full.swf"), *movie);
}

// The header counts frames in 16 bits, the hold and stop frames included.
TEST(RecorderLimits, RunsOutOfFrames) {
  std::string error;
  auto recorder = ZuFmrRecorder::Create(SmallOptions(), &error);
  ASSERT_TRUE(recorder != nullptr) << error;
  const ZuImage still = OnePixel(9);
  int frames = 0;
  while (recorder->AddFrame(still)) {
    ++frames;
    ASSERT_LT(frames, 70000) << "the recorder never ran out of frames";
  }
  EXPECT_EQ(frames, 65533);
  EXPECT_NE(recorder->GetLastError().find("full"), std::string::npos);
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  ASSERT_TRUE(movie != nullptr);
  EXPECT_EQ(movie->GetFrameCount(), 65535);
  ExpectRecordingForm(*movie);
}

}  // namespace
