// Merge: recorded movies appended one after the other show each movie's frames but its last,
// in order, pixel for pixel, and the result can be edited again; the frame limit stops the
// list part way and writes what was merged; other refusals write nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EditedFrames.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/SmallMovies.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/Oracle.h"

namespace {

using engine_test::Concat;
using engine_test::FramesOf;
using engine_test::Pictures;

int Count(const Pictures& pictures) {
  return static_cast<int>(pictures.size());
}

class RecordedMerge : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    const int depth = GetParam();
    const int lengths[] = {12, 6, 4};
    for (int i = 0; i < 3; ++i) {
      m_paths.push_back(m_folder.File("movie" + std::to_string(i) + ".swf"));
      m_shown.push_back(engine_test::RecordToFile(
          engine_test::MakeScreenFrames(21, 13, lengths[i], 50 * i + depth), depth, 3 + i,
          m_paths.back()));
      ASSERT_EQ(Count(m_shown.back()), lengths[i] + 2);
    }
  }

  engine_test::ScratchFolder m_folder;
  std::vector<std::string> m_paths;
  std::vector<Pictures> m_shown;
};

// Each movie's frames but its last, in order, then the first movie's last frame. That frame
// is the first movie's stop frame, a DoAction and a ShowFrame that draw nothing, so it still
// shows what the last merged movie's last frame but one drew: its hold frame, the same
// picture as its own last frame.
TEST_P(RecordedMerge, EachMovieFollowsTheOneBefore) {
  for (const size_t movies : {2u, 3u}) {
    SCOPED_TRACE(testing::Message() << movies << " movies");
    ZuFMRTavoFile movie{ZuString(m_paths[0])};
    std::vector<ZuString> others;
    Pictures expected;
    for (size_t i = 0; i < movies; ++i) {
      if (i > 0) {
        others.push_back(ZuString(m_paths[i]));
      }
      expected = Concat({expected, FramesOf(m_shown[i], 1, Count(m_shown[i]) - 1)});
    }
    expected.push_back(expected.back());
    const std::string output = m_folder.File("merged" + std::to_string(movies) + ".swf");
    ASSERT_EQ(movie.MergeSWFs(others, ZuString(output)), kZuSuccess);
    const Pictures merged = engine_test::ExpectEditedFrames(output, movie, expected);
    ASSERT_FALSE(HasFailure());

    // Frames across the first join are cut out of the result, and the rest is split in the
    // second movie's frames.
    ZuFMRTavoFile again{ZuString(output)};
    const std::string cut = m_folder.File("cut" + std::to_string(movies) + ".swf");
    ASSERT_EQ(again.RemoveFrames(ZuReal(1.0), ZuReal(0.6), ZuString(cut)), kZuSuccess);
    const Pictures cutShown = engine_test::ExpectEditedFrames(
        cut, again, Concat({FramesOf(merged, 1, 10), FramesOf(merged, 17, Count(merged))}));
    ZuFMRTavoFile third{ZuString(cut)};
    const std::string first = m_folder.File("first" + std::to_string(movies) + ".swf");
    const std::string second = m_folder.File("second" + std::to_string(movies) + ".swf");
    ASSERT_EQ(third.SplitSWF(ZuReal(1.2), ZuString(first), ZuString(second)), kZuSuccess);
    engine_test::ExpectEditedFrames(first, third, FramesOf(cutShown, 1, 12));
    const ZuFMRTavoFile secondMovie{ZuString(second)};
    engine_test::ExpectEditedFrames(second, secondMovie, FramesOf(cutShown, 12, Count(cutShown)));
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, RecordedMerge, testing::Values(32, 16),
                         [](const testing::TestParamInfo<int>& info) {
                           return "depth" + std::to_string(info.param);
                         });

// The second movie of the list would pass the frame limit: the first is merged, the result
// written, and 200 returned.
TEST(Merge, TheFrameLimitStopsTheListAndWritesWhatWasMerged) {
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("movie.swf");
  const std::string small = folder.File("small.swf");
  const std::string big = folder.File("big.swf");
  const std::string output = folder.File("out.swf");
  engine_test::LongMovie(8000).WriteFile(input);
  engine_test::SmallMovie(32, 24).WriteFile(small);
  engine_test::LongMovie(8000).WriteFile(big);
  ZuFMRTavoFile movie{ZuString(input)};
  std::vector<ZuString> others = {ZuString(small), ZuString(big), ZuString(small)};
  EXPECT_EQ(movie.MergeSWFs(others, ZuString(output)), kZuErrorFrameLimit);
  EXPECT_EQ(movie.GetFrameCount(), 8000 + 3 - 1);
  ExpectOracleAccepts(output, movie);
  EXPECT_EQ(ZuFMRTavoFile(ZuString(output)).GetFrameCount(), 8002);
}

// Other refusals return at once, with nothing written.
TEST(Merge, RefusalsWriteNothing) {
  engine_test::ScratchFolder folder;
  const std::string standard = folder.File("standard.swf");
  const std::string plain = folder.File("plain.swf");
  const std::string fits = folder.File("fits.swf");
  const std::string taller = folder.File("taller.swf");
  engine_test::StandardMovie().WriteFile(standard);
  FmrMovieBuilder(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
  engine_test::SmallMovie(32, 24).WriteFile(fits);
  engine_test::SmallMovie(32, 25).WriteFile(taller);
  const std::vector<std::string> inputs = folder.List();
  struct Case {
    const char* name;
    std::string movie;
    std::vector<std::string> others;
    ZuErrorCodeEnum result;
  };
  const std::vector<Case> cases = {
      {"this movie is not FMR", plain, {fits}, kZuErrorNotFMR},
      {"an empty list", standard, {}, kZuFailure},
      {"the first file is not FMR", standard, {plain, fits}, kZuErrorNotFMR},
      {"the second file is taller", standard, {fits, taller}, kZuErrorDimensionMismatch},
  };
  const std::string output = folder.File("out.swf");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie{ZuString(c.movie)};
    std::vector<ZuString> others;
    for (const std::string& other : c.others) {
      others.push_back(ZuString(other));
    }
    EXPECT_EQ(movie.MergeSWFs(others, ZuString(output)), c.result);
    EXPECT_EQ(folder.List(), inputs);
  }
}

}  // namespace
