// Frame and time arithmetic of the movie model, and the frame count kept in step with
// tags taken out of the list or put into it.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <list>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using engine_test::IndexOf;
using engine_test::SlotAt;

void LoadStandard(ZuFMRTavoFile& movie) {
  engine_test::LoadBuilt(movie, engine_test::StandardMovie());
}

TEST(FmrMovieTime, SecondsBecomeFramesRoundedHalfUp) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    uint16_t frameRate;
    double seconds;
    int frames;
  };
  const std::vector<Case> cases = {
      {10, 1.25, 13},  {10, 1.24, 12},      {10, 0.0, 0},         {10, 0.04, 0},
      {10, 0.06, 1},   {30, 2.0, 60},       {25, 0.1, 3},         {10, -0.04, 0},
      {10, -0.06, -1}, {0, 5.0, 0},         {10, 1e300, INT_MAX}, {10, -1e300, INT_MIN},
      {10, nan, 0},    {1, 65535.4, 65535},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frameRate << " fps, " << c.seconds << " s");
    ZuFMRTavoFile movie;
    movie.SetFrameRate(c.frameRate);
    EXPECT_EQ(Access::ConvertDurationToFrame(movie, c.seconds), c.frames);
  }
}

TEST(FmrMovieTime, DurationIsFramesOverFrameRate) {
  struct Case {
    uint16_t frames;
    uint16_t frameRate;
    double seconds;
  };
  const std::vector<Case> cases = {
      {25, 10, 2.5}, {1, 3, 1.0 / 3.0}, {0, 10, 0.0}, {65535, 1, 65535.0}, {10, 0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frames << " frames at " << c.frameRate << " fps");
    ZuFMRTavoFile movie;
    movie.SetFrameCount(c.frames);
    movie.SetFrameRate(c.frameRate);
    EXPECT_DOUBLE_EQ(movie.GetDuration().m_value, c.seconds);
  }
}

TEST(FmrMovieFrames, FindNthFrameGivesFrameBoundaries) {
  ZuFMRTavoFile movie;
  LoadStandard(movie);
  const ZuFMRTavoFile& constMovie = movie;
  struct Case {
    unsigned n;
    size_t index;
  };
  const size_t end = engine_test::kStandardTags;
  const std::vector<Case> cases = {{0, 2}, {1, 5}, {2, 9}, {4, 23}, {6, 26}, {7, end}, {1000, end}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(IndexOf(movie, Access::FindNthFrame(movie, c.n)), c.index);
    EXPECT_EQ(IndexOf(movie, Access::FindNthFrame(constMovie, c.n)), c.index);
  }
}

TEST(FmrMovieFrames, FrameZeroOfAShortListIsItsEnd) {
  for (size_t tags = 0; tags <= 3; ++tags) {
    SCOPED_TRACE(tags);
    ZuFMRTavoFile movie;
    for (size_t i = 0; i < tags; ++i) {
      movie.AppendTag(FmrMovieBuilder::MakeStopAction());
    }
    const size_t expected = tags < 3 ? tags : 2;
    EXPECT_EQ(IndexOf(movie, Access::FindNthFrame(movie, 0)), expected);
  }
}

TEST(FmrMovieFrames, ErasingLowersTheFrameCountAndHandsTheTagsOver) {
  struct Case {
    const char* name;
    size_t first;
    size_t last;
    int count;
    uint16_t frames;  // afterwards
  };
  const std::vector<Case> cases = {
      {"frames 2 and 3", 6, 14, 2, 4},
      {"nothing", 5, 5, 0, 6},
      {"count passes zero", 24, 25, 7, 65535},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie;
    LoadStandard(movie);
    const std::vector<ZuSwfTag*> erased(SlotAt(movie, c.first), SlotAt(movie, c.last));
    std::vector<enuTagType> erasedTypes;
    erasedTypes.reserve(erased.size());
    for (const ZuSwfTag* tag : erased) {
      erasedTypes.push_back(tag->GetTagType());
    }
    ZuSwfTag* const after = *SlotAt(movie, c.last);

    const auto next = Access::EraseTagsAndUpdateFrameCount(movie, SlotAt(movie, c.first),
                                                           SlotAt(movie, c.last), c.count);

    EXPECT_EQ(movie.GetFrameCount(), c.frames);
    EXPECT_EQ(movie.GetTagCount(), engine_test::kStandardTags - erased.size());
    EXPECT_EQ(*next, after);
    EXPECT_EQ(IndexOf(movie, next), c.first);
    // The tags are still alive and now the caller's to destroy.
    for (size_t i = 0; i < erased.size(); ++i) {
      EXPECT_EQ(erased[i]->GetTagType(), erasedTypes[i]);
      delete erased[i];
    }
  }
}

TEST(FmrMovieFrames, InsertingRaisesTheFrameCountByTheShowFramesInserted) {
  struct Case {
    const char* name;
    std::string kinds;  // S ShowFrame, A DoAction, N null slot
    uint16_t framesBefore;
    bool inserted;
    uint16_t framesAfter;
  };
  const std::vector<Case> cases = {
      {"two frames", "SAS", 6, true, 8},
      {"no ShowFrame", "A", 6, true, 6},
      {"null slot refuses all", "SNS", 6, false, 6},
      {"empty range", "", 6, true, 6},
      {"count wraps", "S", 65535, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie;
    LoadStandard(movie);
    movie.SetFrameCount(c.framesBefore);
    std::list<ZuSwfTag*> source;
    for (char kind : c.kinds) {
      source.push_back(kind == 'S'   ? FmrMovieBuilder::MakeShowFrame()
                       : kind == 'A' ? FmrMovieBuilder::MakeStopAction()
                                     : nullptr);
    }
    const std::vector<ZuSwfTag*> inserted(source.begin(), source.end());
    ZuSwfTag* const stopFrame = *SlotAt(movie, 26);

    Access::InsertTagsAndUpdateFrameCount(movie, SlotAt(movie, 26), source);

    EXPECT_EQ(movie.GetFrameCount(), c.framesAfter);
    if (c.inserted) {
      ASSERT_EQ(movie.GetTagCount(), engine_test::kStandardTags + inserted.size());
      const std::vector<ZuSwfTag*> slots(SlotAt(movie, 26), SlotAt(movie, 26 + inserted.size()));
      EXPECT_EQ(slots, inserted);
      EXPECT_EQ(*SlotAt(movie, 26 + inserted.size()), stopFrame);
      source.clear();  // the movie owns them now
    } else {
      EXPECT_EQ(movie.GetTagCount(), engine_test::kStandardTags);
      EXPECT_EQ(source.size(), inserted.size());
      Access::ClearTavoTagList(source);  // skips the null slot, destroys the rest
      EXPECT_TRUE(source.empty());
    }
  }
}

}  // namespace
