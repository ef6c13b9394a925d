// Split on hand-built movies: the two files tag by tag, and the failure road, where the movie
// must keep every tag it had (the shared tags are destroyed once and never touched after: the
// sanitizer build proves it).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

namespace {

using engine_test::DescribeLine;
using engine_test::DescribeTags;

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
    const char* first;   // after the header tags
    const char* second;  // after the header tags
  };
  const std::vector<Case> cases = {
      {"standard movie at frame 2", engine_test::StandardMovie(), 2,
       "bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4, place 4@101, action, show",
       "bitmap 1, shape 2, place 2@100, show, bitmap 5, shape 6, place 6@102, show, free 1, "
       "free 5, bitmap 7, shape 8, remove 102, remove 100, place 8@1, show, show, action, show"},
      {"nothing drawn between the cut and the next block", idle, 2,
       "bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4, place 4@101, action, show",
       "bitmap 1, shape 2, place 2@100, show, show, free 1, bitmap 5, shape 6, remove 100, "
       "place 6@1, show, show, action, show"},
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
    EXPECT_EQ(DescribeLine(movie), std::string("header, header, ") + c.first);
    EXPECT_EQ(movie.GetFrameCount(), c.cut);
    ExpectOracleAccepts(first, movie);

    const ZuFMRTavoFile secondMovie{ZuString(second)};
    EXPECT_EQ(DescribeLine(secondMovie), std::string("header, header, ") + c.second);
    EXPECT_EQ(secondMovie.GetFrameCount(), frames - c.cut + 1);
    EXPECT_TRUE(secondMovie.IsValidFMRSWF());
    ExpectOracleAccepts(second, secondMovie);
  }
}

// The key frame cannot be rendered when the backing file is gone: the int 0 leaves the
// split, nothing is written, and the movie still holds and can write all its tags.
TEST(Split, FailureKeepsTheMovieWhole) {
  engine_test::ScratchFolder folder;
  const std::string gone = folder.File("gone.swf");
  const std::string first = folder.File("first.swf");
  const std::string second = folder.File("second.swf");
  engine_test::StandardMovie().WriteFile(gone);
  ZuFMRTavoFile movie{ZuString(gone)};
  std::filesystem::remove(gone);
  EXPECT_THROW(movie.SplitSWF(ZuReal(0.2), ZuString(first), ZuString(second)), int);
  EXPECT_TRUE(folder.List().empty());
  EXPECT_EQ(DescribeTags(movie).size(), engine_test::kStandardTags);
  const std::string rewritten = folder.File("rewritten.swf");
  ZuFMRTavoFileTestAccess::WriteToFile(movie, rewritten);
  ExpectOracleAccepts(rewritten, movie);
}

}  // namespace
