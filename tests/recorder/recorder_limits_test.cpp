// What the recorder refuses, and how a recording ends when it reaches the format's limits.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "recorder/ZuFmrRecorder.h"
#include "tests/recorder/RecordingCheck.h"

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

TEST(RecorderErrors, RefusesUnusableOptions) {
  const struct {
    const char* name;
    std::function<void(ZuFmrRecorderOptions&)> change;
    const char* reason;  // a part of the error
  } cases[] = {
      {"zero width", [](auto& o) { o.width = 0; }, "frame size"},
      {"negative height", [](auto& o) { o.height = -3; }, "frame size"},
      {"too wide", [](auto& o) { o.width = 16385; }, "frame size"},
      {"zero frame rate", [](auto& o) { o.frameRate = 0; }, "frame rate"},
      {"frame rate 256", [](auto& o) { o.frameRate = 256; }, "frame rate"},
      {"depth 24", [](auto& o) { o.depth = 24; }, "bit depth"},
      {"no pictures per block", [](auto& o) { o.blockPolicy = ZuBlockPolicy(0, 0.5); },
       "pictures per block"},
      {"share above one", [](auto& o) { o.blockPolicy = ZuBlockPolicy(5, 1.5); },
       "share of the stage"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFmrRecorderOptions options = SmallOptions();
    c.change(options);
    std::string error;
    EXPECT_EQ(ZuFmrRecorder::Create(options, &error), nullptr);
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

// A frame of another size is left out; nothing is left to finish before the first frame
// or after Finish.
TEST(RecorderErrors, WrongSizesAndCallsOutOfTurnAreRefused) {
  std::string error;
  auto empty = ZuFmrRecorder::Create(SmallOptions(), &error);
  ASSERT_TRUE(empty != nullptr) << error;
  EXPECT_EQ(empty->Finish(), nullptr);
  EXPECT_NE(empty->GetLastError().find("no frames"), std::string::npos);

  auto recorder = ZuFmrRecorder::Create(SmallOptions(), &error);
  ASSERT_TRUE(recorder->AddFrame(OnePixel(1)));
  EXPECT_FALSE(recorder->AddFrame(ZuImage(2, 1)));
  EXPECT_NE(recorder->GetLastError().find("2 x 1"), std::string::npos) << recorder->GetLastError();
  ASSERT_TRUE(recorder->AddFrame(OnePixel(2)));
  EXPECT_EQ(recorder->GetFrameCount(), 2);
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  ASSERT_TRUE(movie != nullptr);
  EXPECT_EQ(movie->GetFrameCount(), 4);
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
  ExpectRecordingForm(*movie);
  ExpectPlaysBack(*movie, {}, 32);
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
