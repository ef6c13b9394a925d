// Insertion on hand-built movies: the insertion point's four cases tag by tag, the
// renumbering of the inserted ids, the trailing clean-up, the two ways in (by path and by
// stream), and a file that cannot be read.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using B = FmrMovieBuilder;
using engine_test::DescribeTags;
using engine_test::LongMovie;
using engine_test::SmallMovie;
using Words = std::vector<std::string>;

// Whether the described tags of movie hold the run of words.
testing::AssertionResult HoldsRun(const ZuFMRTavoFile& movie, const std::string& run) {
  const std::string line = engine_test::DescribeLine(movie);
  if (line.find(run) != std::string::npos) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << line;
}

// The standard movie with the small movie inserted after each kind of point.
TEST(Insertion, EachInsertionPointTagByTag) {
  struct Case {
    const char* name;
    double seconds;
    const char* tags;  // after the two header tags
  };
  const std::vector<Case> cases = {
      {"at frame 0: in front, no key frame, clean-up after", 0.0,
       "bitmap 9, shape 10, place 10@1, show, show, free 9, remove 1, bitmap 1, shape 2, place "
       "2@1, show, bitmap 3, shape 4, place 4@101, show, bitmap 5, shape 6, place 6@102, show, "
       "free 1, free 3, free 5, bitmap 7, shape 8, remove 1, remove 101, remove 102, place 8@1, "
       "show, show, action, show"},
      {"inside a block: its clean-up for frame 1 moves up, key frame in frame 2", 0.1,
       "bitmap 1, shape 2, place 2@1, show, free 1, remove 1, bitmap 11, shape 12, place 12@1, "
       "show, show, free 11, remove 1, bitmap 3, shape 4, place 4@101, bitmap 9, shape 10, place "
       "10@100, show, bitmap 5, shape 6, place 6@102, show, free 9, free 3, free 5, bitmap 7, "
       "shape 8, remove 101, remove 102, remove 100, place 8@1, show, show, action, show"},
      {"at a block end: after the clean-up block, key frame in frame 4", 0.3,
       "bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4, place 4@101, show, bitmap 5, shape "
       "6, place 6@102, show, free 1, free 3, free 5, bitmap 7, shape 8, remove 1, remove 101, "
       "remove 102, bitmap 11, shape 12, place 12@1, show, show, free 11, remove 1, place 8@1, "
       "bitmap 9, shape 10, place 10@100, show, show, action, show"},
      {"past the end: clamped in front of the last frame, no key frame, no clean-up after", 2.5,
       "bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4, place 4@101, show, bitmap 5, shape "
       "6, place 6@102, show, free 1, free 3, free 5, bitmap 7, shape 8, remove 1, remove 101, "
       "remove 102, place 8@1, show, show, free 7, remove 1, bitmap 9, shape 10, place 10@1, show, "
       "show, action, show"},
  };
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("movie.swf");
  const std::string other = folder.File("other.swf");
  engine_test::StandardMovie().WriteFile(input);
  SmallMovie(32, 24).WriteFile(other);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie{ZuString(input)};
    const std::string output = folder.File("out.swf");
    ASSERT_EQ(movie.InsertFMRSWFFile(ZuString(other), ZuReal(c.seconds), ZuString(output)),
              kZuSuccess);
    EXPECT_EQ(engine_test::DescribeLine(movie), std::string("header, header, ") + c.tags);
    EXPECT_EQ(movie.GetFrameCount(), engine_test::kStandardFrames + 3 - 1);
    ExpectOracleAccepts(output, movie);
  }
}

// The inserted ids follow this movie's highest id and the key frame's: ids 1 to 5 become 43
// to 47 in a movie whose highest id is 40, after the key frame's 41 and 42. With more ids
// than this movie, the new ids 9 to 20 overlap the old 1 to 12, and the clean-up after the
// inserted frames frees the new ids, each mapped once, never twice. (The frame checks prove
// that every reference follows.)
TEST(Insertion, InsertedIdsAreRenumbered) {
  FmrMovieBuilder highest40(32, 24, 10);
  highest40.KeyFrame(0x102030);
  for (uint16_t i = 0; i < 19; ++i) {
    highest40.PartialFrame(i, 1, 2, 2, 0x405060 + i);
  }
  highest40.HoldFrame().StopFrame();
  FmrMovieBuilder fiveIds(32, 24, 10);
  fiveIds.KeyFrame(0xFFFFFF).PartialFrame(1, 1, 3, 3, 0x000000);
  fiveIds.Tag(B::MakeBitmap(5, 2, 2, 0xFF00FF)).HoldFrame().StopFrame();
  FmrMovieBuilder twelveIds(32, 24, 10);
  twelveIds.KeyFrame(0xFFFFFF);
  for (uint16_t i = 0; i < 5; ++i) {
    twelveIds.PartialFrame(i, i, 2, 2, 0x0000FF + i);
  }
  twelveIds.HoldFrame().StopFrame();
  struct Case {
    FmrMovieBuilder movie;
    FmrMovieBuilder inserted;
    double seconds;
    std::vector<const char*> runs;  // of the result's tags
    uint16_t highestId;
  };
  const std::vector<Case> cases = {
      {highest40,
       fiveIds,
       0.1,
       {"bitmap 41, shape 42, place 42@100",
        "bitmap 43, shape 44, place 44@1, show, bitmap 45, shape 46, place 46@101, show, bitmap "
        "47, show, free 43, free 45, free 47, "
        "remove 1, remove 101"},
       47},
      {engine_test::StandardMovie(),
       twelveIds,
       0.0,
       {"bitmap 9, shape 10, place 10@1, show, bitmap 11, shape 12, place 12@101, show, bitmap 13, "
        "shape 14, place 14@102, show, bitmap 15, shape 16, place 16@103, show, bitmap 17, shape "
        "18, place 18@104, show, bitmap 19, shape 20, place 20@105, show, show, free 9, free 11, "
        "free 13, free 15, free 17, free 19, remove 1, remove 101, remove 102, remove 103, remove "
        "104, remove 105, bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4"},
       20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.highestId);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("movie.swf");
    const std::string other = folder.File("inserted.swf");
    c.movie.WriteFile(input);
    c.inserted.WriteFile(other);
    ZuFMRTavoFile movie{ZuString(input)};
    ASSERT_EQ(movie.InsertFMRSWFFile(ZuString(other), ZuReal(c.seconds), ZuString()), kZuSuccess);
    for (const char* run : c.runs) {
      EXPECT_TRUE(HoldsRun(movie, run));
    }
    EXPECT_EQ(Access::GetHighestId(movie), c.highestId);
  }
}

// The stream overload gives the same movie as the path overload, and writes a file only when
// given a path.
TEST(Insertion, ByStreamAndByPathAgree) {
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("standard.swf");
  const std::string other = folder.File("small.swf");
  engine_test::StandardMovie().WriteFile(input);
  SmallMovie(32, 24).WriteFile(other);

  ZuFMRTavoFile byPath{ZuString(input)};
  ASSERT_EQ(byPath.InsertFMRSWFFile(ZuString(other), ZuReal(0.2), ZuString()), kZuSuccess);
  EXPECT_EQ(folder.List().size(), 2u);  // nothing written
  const std::string fromPath = folder.File("path.swf");
  Access::WriteToFile(byPath, fromPath);

  ZuFMRTavoFile byStream{ZuString(input)};
  std::unique_ptr<ZuFileStream> stream(ZuFileStream::Open(other, ZuFileStream::Mode::kRead));
  ASSERT_TRUE(stream != nullptr);
  const std::string fromStream = folder.File("stream.swf");
  ASSERT_EQ(byStream.InsertFMRSWFFile(stream.get(), ZuReal(0.2), ZuString(fromStream)), kZuSuccess);
  EXPECT_EQ(ReadFileBytes(fromStream), ReadFileBytes(fromPath));
  ExpectOracleAccepts(fromStream, byStream);
}

// A file that cannot be read cannot be loaded: the int 0, the movie whole, nothing written.
TEST(Insertion, UnreadableFileThrowsZero) {
  engine_test::ScratchFolder folder;
  const std::string standard = folder.File("standard.swf");
  engine_test::StandardMovie().WriteFile(standard);
  ZuFMRTavoFile movie{ZuString(standard)};
  EXPECT_THROW(movie.InsertFMRSWFFile(ZuString(folder.File("missing.swf")), ZuReal(0.1),
                                      ZuString(folder.File("out.swf"))),
               int);
  EXPECT_EQ(DescribeTags(movie).size(), engine_test::kStandardTags);
  EXPECT_EQ(folder.List().size(), 1u);
}

}  // namespace
