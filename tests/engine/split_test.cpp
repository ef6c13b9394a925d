// Split: on recorded movies the two files show the frames up to the cut and, from the cut
// frame on, the rest, pixel for pixel; on hand-built movies the second file's tags, the
// refusals, and the failure roads, where the movie must keep every tag it had (the shared
// tags are destroyed once and never touched after: the sanitizer build proves it).

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EditedFrames.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

namespace {

using engine_test::DescribeTags;
using engine_test::FramesOf;
using engine_test::Pictures;
using Words = std::vector<std::string>;

bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

struct Recording {
  int depth;
  int blockFrames;
};

class RecordedSplit : public testing::TestWithParam<Recording> {
 protected:
  void SetUp() override {
    m_input = m_folder.File("movie.swf");
    m_shown =
        engine_test::RecordToFile(engine_test::MakeScreenFrames(21, 13, 14, 300 + GetParam().depth),
                                  GetParam().depth, GetParam().blockFrames, m_input);
    ASSERT_EQ(m_shown.size(), 16u);
  }

  // Splits the movie file input (showing shown) at frame cut (time cut / 10 s) and checks
  // both files. Returns what the second shows.
  Pictures SplitAndCheck(const std::string& input, const Pictures& shown, int cut,
                         const std::string& name) {
    SCOPED_TRACE(testing::Message() << input << " split at frame " << cut);
    const std::string first = m_folder.File(name + "-1.swf");
    const std::string second = m_folder.File(name + "-2.swf");
    ZuFMRTavoFile movie{ZuString(input)};
    EXPECT_EQ(movie.SplitSWF(ZuReal(cut / 10.0), ZuString(first), ZuString(second)), kZuSuccess);
    engine_test::ExpectEditedFrames(first, movie, FramesOf(shown, 1, cut));
    const ZuFMRTavoFile secondMovie{ZuString(second)};
    return engine_test::ExpectEditedFrames(second, secondMovie,
                                           FramesOf(shown, cut, static_cast<int>(shown.size())));
  }

  engine_test::ScratchFolder m_folder;
  std::string m_input;
  Pictures m_shown;
};

TEST_P(RecordedSplit, BothFilesShowTheirFrames) {
  const int frames = static_cast<int>(m_shown.size());
  for (const int cut : std::set<int>{1, 2, 3, 6, 7, 8, frames - 2, frames - 1}) {
    SplitAndCheck(m_input, m_shown, cut, "cut" + std::to_string(cut));
    if (HasFailure()) {
      return;
    }
  }
}

// The second part is split again, and its second part once more, each time across the key
// frame the split before made.
TEST_P(RecordedSplit, SecondPartsCanBeSplitAgain) {
  std::string input = m_input;
  Pictures shown = m_shown;
  int index = 0;
  for (const int cut : {5, 1, 2}) {
    const std::string name = "again" + std::to_string(index++);
    shown = SplitAndCheck(input, shown, cut, name);
    input = m_folder.File(name + "-2.swf");
    ASSERT_FALSE(HasFailure());
  }
}

INSTANTIATE_TEST_SUITE_P(Recordings, RecordedSplit,
                         testing::Values(Recording{32, 1}, Recording{32, 3}, Recording{32, 100},
                                         Recording{16, 1}, Recording{16, 3}, Recording{16, 100}),
                         [](const testing::TestParamInfo<Recording>& info) {
                           return "depth" + std::to_string(info.param.depth) + "_block" +
                                  std::to_string(info.param.blockFrames);
                         });

// The first file ends with a copy of the stop action; the second starts with copies of the
// header tags and a key frame of ids 1 and 2, and its next clean-up block frees and empties
// only what it defines and places.
TEST(Split, TheTwoFilesTagByTag) {
  // A block whose frame after the cut draws nothing: the key frame's clean-up must still go
  // into the next block.
  FmrMovieBuilder idle(32, 24, 10);
  idle.KeyFrame(0xFF0000).PartialFrame(1, 1, 4, 4, 0x00FF00).HoldFrame();
  idle.KeyFrame(0x0000FF).HoldFrame().StopFrame();
  struct Case {
    const char* name;
    FmrMovieBuilder builder;
    int cut;
    Words first;   // after the header tags
    Words second;  // after the header tags
  };
  const std::vector<Case> cases = {
      {"standard movie at frame 2",
       engine_test::StandardMovie(),
       2,
       {"bitmap 1", "shape 2", "place 2@1", "show", "bitmap 3", "shape 4", "place 4@101", "action",
        "show"},
       {"bitmap 1", "shape 2", "place 2@100", "show", "bitmap 5", "shape 6", "place 6@102", "show",
        "free 1", "free 5", "bitmap 7", "shape 8", "remove 102", "remove 100", "place 8@1", "show",
        "show", "action", "show"}},
      {"nothing drawn between the cut and the next block",
       idle,
       2,
       {"bitmap 1", "shape 2", "place 2@1", "show", "bitmap 3", "shape 4", "place 4@101", "action",
        "show"},
       {"bitmap 1", "shape 2", "place 2@100", "show", "show", "free 1", "bitmap 5", "shape 6",
        "remove 100", "place 6@1", "show", "show", "action", "show"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("movie.swf");
    const std::string first = folder.File("first.swf");
    const std::string second = folder.File("second.swf");
    c.builder.WriteFile(input);
    ZuFMRTavoFile movie{ZuString(input)};
    const uint16_t frames = movie.GetFrameCount();
    ASSERT_EQ(movie.SplitSWF(ZuReal(c.cut / 10.0), ZuString(first), ZuString(second)), kZuSuccess);
    Words expected = {"header", "header"};
    expected.insert(expected.end(), c.first.begin(), c.first.end());
    EXPECT_EQ(DescribeTags(movie), expected);
    EXPECT_EQ(movie.GetFrameCount(), c.cut);
    ExpectOracleAccepts(first, movie);

    const ZuFMRTavoFile secondMovie{ZuString(second)};
    expected = {"header", "header"};
    expected.insert(expected.end(), c.second.begin(), c.second.end());
    EXPECT_EQ(DescribeTags(secondMovie), expected);
    EXPECT_EQ(secondMovie.GetFrameCount(), frames - c.cut + 1);
    EXPECT_TRUE(secondMovie.IsValidFMRSWF());
    ExpectOracleAccepts(second, secondMovie);
  }
}

// Refusals and failures: the movie keeps every tag it had, and only what the road reached is
// written: nothing, or (without a stop action) the second file alone.
TEST(Split, FailuresKeepTheMovieWhole) {
  engine_test::ScratchFolder folder;
  const std::string standard = folder.File("standard.swf");
  const std::string plain = folder.File("plain.swf");
  const std::string noStop = folder.File("nostop.swf");
  engine_test::StandardMovie().WriteFile(standard);
  FmrMovieBuilder(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
  FmrMovieBuilder(32, 24, 10)
      .KeyFrame(0x112233)
      .PartialFrame(2, 2, 3, 3, 0x445566)
      .KeyFrame(0x778899)
      .HoldFrame()
      .WriteFile(noStop);
  struct Case {
    const char* name;
    std::string movie;
    double seconds;
    ZuErrorCodeEnum result;
    bool secondWritten;
  };
  const std::vector<Case> cases = {
      {"not FMR", plain, 0.1, kZuErrorNotFMR, false},
      {"at frame 0", standard, 0.0, kZuFailure, false},
      {"before frame 0", standard, -0.3, kZuFailure, false},
      {"at the last frame", standard, 0.6, kZuFailure, false},
      {"past the end", standard, 9.0, kZuFailure, false},
      {"no stop action", noStop, 0.1, kZuFailure, true},
  };
  const std::string first = folder.File("first.swf");
  const std::string second = folder.File("second.swf");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie{ZuString(c.movie)};
    const Words before = DescribeTags(movie);
    const uint16_t frames = movie.GetFrameCount();
    EXPECT_EQ(movie.SplitSWF(ZuReal(c.seconds), ZuString(first), ZuString(second)), c.result);
    EXPECT_EQ(DescribeTags(movie), before);
    EXPECT_EQ(movie.GetFrameCount(), frames);
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(Exists(second), c.secondWritten);
    if (c.secondWritten) {
      ExpectOracleAccepts(second, ZuFMRTavoFile(ZuString(second)));
    }
    std::filesystem::remove(second);
  }

  // The key frame cannot be rendered when the backing file is gone: the int 0 leaves the
  // split, nothing is written, and the movie still holds and can write all its tags.
  const std::string gone = folder.File("gone.swf");
  std::filesystem::copy_file(standard, gone);
  ZuFMRTavoFile movie{ZuString(gone)};
  std::filesystem::remove(gone);
  EXPECT_THROW(movie.SplitSWF(ZuReal(0.2), ZuString(first), ZuString(second)), int);
  EXPECT_FALSE(Exists(first));
  EXPECT_FALSE(Exists(second));
  EXPECT_EQ(DescribeTags(movie).size(), engine_test::kStandardTags);
  const std::string rewritten = folder.File("rewritten.swf");
  ZuFMRTavoFileTestAccess::WriteToFile(movie, rewritten);
  ExpectOracleAccepts(rewritten, movie);
}

}  // namespace
