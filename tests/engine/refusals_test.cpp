// Refused edits of every kind: each returns its code, the movie keeps every tag and its
// frame count, and nothing is written, not even a temporary copy; only a split that reaches
// the missing stop action has written its second file. And the frame limit: 16000 frames
// are allowed, 16001 are not, and a merge stops its list there, writing what it merged.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using engine_test::DescribeTags;
using engine_test::LongMovie;
using engine_test::SmallMovie;
using EditCall = std::function<ZuErrorCodeEnum(ZuFMRTavoFile&)>;

EditCall Remove(int start, int count, const std::string& out) {
  return [=](ZuFMRTavoFile& m) { return Access::RemoveFrames(m, start, count, out); };
}
EditCall Insert(const std::string& other, double seconds, const std::string& out) {
  return [=](ZuFMRTavoFile& m) {
    return m.InsertFMRSWFFile(ZuString(other), ZuReal(seconds), ZuString(out));
  };
}
EditCall Merge(const std::vector<std::string>& others, const std::string& out) {
  return [=](ZuFMRTavoFile& m) {
    std::vector<ZuString> paths;
    for (const std::string& other : others) {
      paths.push_back(ZuString(other));
    }
    return m.MergeSWFs(paths, ZuString(out));
  };
}
EditCall Split(double seconds, const std::string& first, const std::string& second) {
  return [=](ZuFMRTavoFile& m) {
    return m.SplitSWF(ZuReal(seconds), ZuString(first), ZuString(second));
  };
}

TEST(Refusals, TheMovieStaysAsItWasAndNothingIsWritten) {
  engine_test::ScratchFolder folder;
  const std::string standard = folder.File("standard.swf");
  const std::string plain = folder.File("plain.swf");
  const std::string noStop = folder.File("nostop.swf");
  const std::string fits = folder.File("fits.swf");
  const std::string wider = folder.File("wider.swf");
  const std::string taller = folder.File("taller.swf");
  const std::string tooLong = folder.File("toolong.swf");
  engine_test::StandardMovie().WriteFile(standard);
  FmrMovieBuilder(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
  FmrMovieBuilder(32, 24, 10)
      .KeyFrame(0x112233)
      .PartialFrame(2, 2, 3, 3, 0x445566)
      .KeyFrame(0x778899)
      .HoldFrame()
      .WriteFile(noStop);
  SmallMovie(32, 24).WriteFile(fits);
  SmallMovie(33, 24).WriteFile(wider);
  SmallMovie(32, 25).WriteFile(taller);
  // With the standard movie's 6 frames: 16001.
  LongMovie(ZuFMRTavoFile::m_maxSWFFramesLimit - engine_test::kStandardFrames + 1)
      .WriteFile(tooLong);
  const std::vector<std::string> inputs = folder.List();
  const std::string out = folder.File("out.swf");
  const std::string second = folder.File("second.swf");

  struct Case {
    const char* name;
    std::string movie;
    EditCall edit;
    ZuErrorCodeEnum result;
    bool tagsKept = true;  // false: the list was merged up to the refused movie
    bool secondWritten = false;
  };
  const std::vector<Case> cases = {
      {"removal: not an FMR movie", plain, Remove(1, 1, out), kZuErrorNotFMR},
      {"removal: not an FMR movie, bad arguments too", plain, Remove(0, 0, ""), kZuErrorNotFMR},
      {"removal: no frames", standard, Remove(1, 0, out), kZuFailure},
      {"removal: start before frame 0", standard, Remove(-2, 1, out), kZuFailure},
      {"removal: lowest start", standard, Remove(INT_MIN, 1, out), kZuFailure},
      {"removal: no output path", standard, Remove(1, 1, ""), kZuFailure},
      {"removal: all but one frame", standard, Remove(0, 5, out), kZuFailure},
      {"removal: all but one frame, from frame 4", standard, Remove(3, 5, out), kZuFailure},
      {"removal: more frames than the movie", standard, Remove(0, 60000, out), kZuFailure},
      {"removal: start past the last frame", standard, Remove(6, 1, out), kZuFailure},
      {"removal: highest start", standard, Remove(INT_MAX, 1, out), kZuFailure},
      {"removal: negative count", standard, Remove(1, -1, out), kZuFailure},
      {"removal: lowest count", standard, Remove(1, INT_MIN, out), kZuFailure},
      {"insertion: this movie is not FMR", plain, Insert(fits, 0.1, out), kZuErrorNotFMR},
      {"insertion: the other is not FMR", standard, Insert(plain, 0.1, out), kZuErrorNotFMR},
      {"insertion: wider", standard, Insert(wider, 0.1, out), kZuErrorDimensionMismatch},
      {"insertion: taller", standard, Insert(taller, 0.1, out), kZuErrorDimensionMismatch},
      {"insertion: 16001 frames", standard, Insert(tooLong, 0.1, out), kZuErrorFrameLimit},
      {"insertion: a negative time", standard, Insert(fits, -0.5, out), kZuFailure},
      {"merge: this movie is not FMR", plain, Merge({fits}, out), kZuErrorNotFMR},
      {"merge: an empty list", standard, Merge({}, out), kZuFailure},
      {"merge: the first is not FMR", standard, Merge({plain, fits}, out), kZuErrorNotFMR},
      {"merge: the second is taller", standard, Merge({fits, taller}, out),
       kZuErrorDimensionMismatch, false},
      {"split: not FMR", plain, Split(0.1, out, second), kZuErrorNotFMR},
      {"split: at frame 0", standard, Split(0.0, out, second), kZuFailure},
      {"split: before frame 0", standard, Split(-0.3, out, second), kZuFailure},
      {"split: at the last frame", standard, Split(0.6, out, second), kZuFailure},
      {"split: past the end", standard, Split(9.0, out, second), kZuFailure},
      {"split: no stop action", noStop, Split(0.1, out, second), kZuFailure, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie{ZuString(c.movie)};
    const std::vector<std::string> before = DescribeTags(movie);
    const uint16_t frames = movie.GetFrameCount();
    EXPECT_EQ(c.edit(movie), c.result);
    if (c.tagsKept) {
      EXPECT_EQ(DescribeTags(movie), before);
      EXPECT_EQ(movie.GetFrameCount(), frames);
    }
    if (c.secondWritten) {
      ExpectOracleAccepts(second, ZuFMRTavoFile(ZuString(second)));
      std::filesystem::remove(second);
    }
    EXPECT_EQ(folder.List(), inputs);
  }
}

// 16000 frames are allowed: the clamped insertion renders nothing, so big movies are cheap.
TEST(FrameLimit, InsertionOfExactlyTheLimitIsAccepted) {
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("movie.swf");
  const std::string other = folder.File("other.swf");
  const std::string output = folder.File("out.swf");
  LongMovie(8000).WriteFile(input);
  LongMovie(ZuFMRTavoFile::m_maxSWFFramesLimit - 8000).WriteFile(other);
  ZuFMRTavoFile movie{ZuString(input)};
  ASSERT_EQ(movie.InsertFMRSWFFile(ZuString(other), ZuReal(800.0), ZuString(output)), kZuSuccess);
  EXPECT_EQ(movie.GetFrameCount(), ZuFMRTavoFile::m_maxSWFFramesLimit - 1);
  ExpectOracleAccepts(output, movie);
  EXPECT_EQ(ZuFMRTavoFile(ZuString(output)).GetFrameCount(),
            ZuFMRTavoFile::m_maxSWFFramesLimit - 1);
}

// The second movie of the list would pass the limit: the first is merged, the result
// written, and 200 returned.
TEST(FrameLimit, MergeStopsTheListAndWritesWhatWasMerged) {
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("movie.swf");
  const std::string small = folder.File("small.swf");
  const std::string big = folder.File("big.swf");
  const std::string output = folder.File("out.swf");
  LongMovie(8000).WriteFile(input);
  SmallMovie(32, 24).WriteFile(small);
  LongMovie(8000).WriteFile(big);
  ZuFMRTavoFile movie{ZuString(input)};
  EXPECT_EQ(Merge({small, big, small}, output)(movie), kZuErrorFrameLimit);
  EXPECT_EQ(movie.GetFrameCount(), 8000 + 3 - 1);
  ExpectOracleAccepts(output, movie);
  EXPECT_EQ(ZuFMRTavoFile(ZuString(output)).GetFrameCount(), 8002);
}

}  // namespace
