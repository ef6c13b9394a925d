// What the recorder refuses, and how a recording ends when it reaches the format's limits.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/recorder/RecordingCheck.h"

namespace {

// A square frame of gray 9 but for the two ends of its top row.
ZuImage TopEnds(int side, int left, int right) {
  ZuImage image = Gray(side, side, 9);
  SetGray(image, 0, 0, 1, 1, left);
  SetGray(image, side - 1, 0, 1, 1, right);
  return image;
}

TEST(RecorderErrors, RefusesUnusableOptionsFramesAndCallsOutOfTurn) {
  const std::pair<std::function<void(ZuFmrRecorderOptions&)>, const char*> cases[] = {
      {[](auto& o) { o.height = 16385; }, "frame size"},
      {[](auto& o) { o.depth = 24; }, "bit depth"},
      {[](auto& o) { o.compressionLevel = 13; }, "compression level"},
      {[](auto& o) { o.tileSide = 0; }, "tile side"},
  };
  std::string error;
  for (const auto& [change, reason] : cases) {
    ZuFmrRecorderOptions options{.width = 1, .height = 1};
    change(options);
    EXPECT_EQ(ZuFmrRecorder::Create(options, &error), nullptr) << reason;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
  auto recorder = ZuFmrRecorder::Create({.width = 1, .height = 1}, &error);
  EXPECT_EQ(recorder->Finish(), nullptr);  // no frames yet
  ASSERT_TRUE(recorder->AddFrame(TopEnds(1, 1, 1)));
  EXPECT_FALSE(recorder->AddFrame(ZuImage(2, 1)));  // left out
  EXPECT_NE(recorder->GetLastError().find("2 x 1"), std::string::npos) << recorder->GetLastError();
  ASSERT_TRUE(recorder->AddFrame(TopEnds(1, 2, 2)));
  EXPECT_EQ(recorder->Finish()->GetFrameCount(), 4);
  EXPECT_FALSE(recorder->AddFrame(TopEnds(1, 2, 2)));  // finished
}

// Ids run out on frames of two pictures each (after one of one picture, which puts the ids
// out of step): the last frame, with ids for one picture only, gets one across the row, and
// the movie ends cleanly.
TEST(RecorderLimits, RunsOutOfCharacterIds) {
  auto recorder = ZuFmrRecorder::Create({.width = 8, .height = 8, .tileSide = 1}, nullptr);
  int frames = 0;
  while (frames < 70000 &&
         recorder->AddFrame(TopEnds(8, frames & 1, frames > 1 && frames % 2 == 0))) {
    ++frames;
  }
  EXPECT_NE(recorder->GetLastError().find("character id"), std::string::npos);
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  ASSERT_TRUE(movie != nullptr);
  EXPECT_EQ(movie->GetFrameCount(), frames + 2);
  ExpectRecordingForm(*movie);
  const std::vector<std::string> tags = DescribeTags(*movie);
  EXPECT_EQ(tags[tags.size() - 6], "DefineShape3 (32) id=65534 bounds=0,0,160,20 bitmap=65533");
  EXPECT_EQ(tags[tags.size() - 5].find("depth=1 "), std::string::npos);  // a partial picture
  ExpectPlaysBack(*movie, {}, 32);
}

}  // namespace
