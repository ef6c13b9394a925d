// Insertion on hand-built movies: the refusals and the frame limit, the insertion point's
// four cases tag by tag, the renumbering of the inserted ids, the trailing clean-up, and
// the two ways in (by path and by stream).

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
#include "tests/engine/SmallMovies.h"
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

// Words of a described tag list from the first occurrence of word on, count of them.
Words WordsFrom(const Words& all, const std::string& word, size_t count) {
  const auto first = std::find(all.begin(), all.end(), word);
  if (first == all.end() || static_cast<size_t>(all.end() - first) < count) {
    return {};
  }
  return Words(first, first + static_cast<std::ptrdiff_t>(count));
}

// The standard movie with the small movie inserted after each kind of point.
TEST(Insertion, EachInsertionPointTagByTag) {
  const Words header = {"header", "header"};
  const Words small = {"bitmap 9", "shape 10", "place 10@1", "show", "show"};
  struct Case {
    const char* name;
    double seconds;
    Words tags;  // after the two header tags
  };
  const std::vector<Case> cases = {
      {"at frame 0: in front, no key frame, clean-up after",
       0.0,
       {"bitmap 9", "shape 10",    "place 10@1", "show",      "show",     "free 9",
        "remove 1", "bitmap 1",    "shape 2",    "place 2@1", "show",     "bitmap 3",
        "shape 4",  "place 4@101", "show",       "bitmap 5",  "shape 6",  "place 6@102",
        "show",     "free 1",      "free 3",     "free 5",    "bitmap 7", "shape 8",
        "remove 1", "remove 101",  "remove 102", "place 8@1", "show",     "show",
        "action",   "show"}},
      {"inside a block: its clean-up for frame 1 moves up, key frame in frame 2",
       0.1,
       {"bitmap 1",     "shape 2",    "place 2@1",  "show",        "free 1",      "remove 1",
        "bitmap 11",    "shape 12",   "place 12@1", "show",        "show",        "free 11",
        "remove 1",     "bitmap 3",   "shape 4",    "place 4@101", "bitmap 9",    "shape 10",
        "place 10@100", "show",       "bitmap 5",   "shape 6",     "place 6@102", "show",
        "free 9",       "free 3",     "free 5",     "bitmap 7",    "shape 8",     "remove 101",
        "remove 102",   "remove 100", "place 8@1",  "show",        "show",        "action",
        "show"}},
      {"at a block end: after the clean-up block, key frame in frame 4",
       0.3,
       {"bitmap 1",     "shape 2",    "place 2@1", "show",      "bitmap 3",    "shape 4",
        "place 4@101",  "show",       "bitmap 5",  "shape 6",   "place 6@102", "show",
        "free 1",       "free 3",     "free 5",    "bitmap 7",  "shape 8",     "remove 1",
        "remove 101",   "remove 102", "bitmap 11", "shape 12",  "place 12@1",  "show",
        "show",         "free 11",    "remove 1",  "place 8@1", "bitmap 9",    "shape 10",
        "place 10@100", "show",       "show",      "action",    "show"}},
      {"past the end: clamped in front of the last frame, no key frame, no clean-up after",
       2.5,
       {"bitmap 1",    "shape 2",    "place 2@1", "show",       "bitmap 3",    "shape 4",
        "place 4@101", "show",       "bitmap 5",  "shape 6",    "place 6@102", "show",
        "free 1",      "free 3",     "free 5",    "bitmap 7",   "shape 8",     "remove 1",
        "remove 101",  "remove 102", "place 8@1", "show",       "show",        "free 7",
        "remove 1",    "bitmap 9",   "shape 10",  "place 10@1", "show",        "show",
        "action",      "show"}},
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
    Words expected = header;
    expected.insert(expected.end(), c.tags.begin(), c.tags.end());
    EXPECT_EQ(DescribeTags(movie), expected);
    EXPECT_EQ(movie.GetFrameCount(), engine_test::kStandardFrames + 3 - 1);
    ExpectOracleAccepts(output, movie);
  }
}

// Refused insertions change nothing, write nothing and leave no temporary copy behind.
TEST(Insertion, RefusalsLeaveEverythingAsItWas) {
  engine_test::ScratchFolder folder;
  const std::string standard = folder.File("standard.swf");
  const std::string plain = folder.File("plain.swf");
  const std::string wider = folder.File("wider.swf");
  const std::string taller = folder.File("taller.swf");
  const std::string fits = folder.File("fits.swf");
  const std::string tooLong = folder.File("toolong.swf");
  engine_test::StandardMovie().WriteFile(standard);
  FmrMovieBuilder(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
  SmallMovie(33, 24).WriteFile(wider);
  SmallMovie(32, 25).WriteFile(taller);
  SmallMovie(32, 24).WriteFile(fits);
  // With the standard movie's 6 frames: 16001.
  LongMovie(ZuFMRTavoFile::m_maxSWFFramesLimit - engine_test::kStandardFrames + 1)
      .WriteFile(tooLong);
  const std::vector<std::string> inputs = folder.List();
  struct Case {
    const char* name;
    std::string movie;
    std::string other;
    double seconds;
    ZuErrorCodeEnum result;
  };
  const std::vector<Case> cases = {
      {"this movie is not FMR", plain, fits, 0.1, kZuErrorNotFMR},
      {"the other movie is not FMR", standard, plain, 0.1, kZuErrorNotFMR},
      {"wider", standard, wider, 0.1, kZuErrorDimensionMismatch},
      {"equal width, taller", standard, taller, 0.1, kZuErrorDimensionMismatch},
      {"16001 frames", standard, tooLong, 0.1, kZuErrorFrameLimit},
      {"a negative time", standard, fits, -0.5, kZuFailure},
  };
  const std::string output = folder.File("out.swf");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie{ZuString(c.movie)};
    const Words before = DescribeTags(movie);
    const uint16_t frames = movie.GetFrameCount();
    EXPECT_EQ(movie.InsertFMRSWFFile(ZuString(c.other), ZuReal(c.seconds), ZuString(output)),
              c.result);
    EXPECT_EQ(DescribeTags(movie), before);
    EXPECT_EQ(movie.GetFrameCount(), frames);
    EXPECT_EQ(folder.List(), inputs);
  }
  // A file that cannot be read cannot be loaded: the int 0 of the engine.
  ZuFMRTavoFile movie{ZuString(standard)};
  EXPECT_THROW(
      movie.InsertFMRSWFFile(ZuString(folder.File("missing.swf")), ZuReal(0.1), ZuString(output)),
      int);
  EXPECT_EQ(DescribeTags(movie).size(), engine_test::kStandardTags);
  EXPECT_EQ(folder.List(), inputs);
}

// 16000 frames are allowed: the clamped insertion renders nothing, so big movies are cheap.
TEST(Insertion, ExactlyTheFrameLimitIsAccepted) {
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

// Ids 1 to 5 of the inserted movie become 43 to 47 in a movie whose highest id is 40, after
// the key frame's 41 and 42; every reference follows.
TEST(Insertion, InsertedIdsFollowTheKeyFrame) {
  engine_test::ScratchFolder folder;
  FmrMovieBuilder host(32, 24, 10);
  host.KeyFrame(0x102030);
  for (uint16_t i = 0; i < 19; ++i) {
    host.PartialFrame(i, 1, 2, 2, 0x405060 + i);
  }
  host.HoldFrame().StopFrame();
  ASSERT_EQ(host.GetLastId(), 40);
  FmrMovieBuilder inserted(32, 24, 10);
  inserted.KeyFrame(0xFFFFFF).PartialFrame(1, 1, 3, 3, 0x000000);
  inserted.Tag(B::MakeBitmap(5, 2, 2, 0xFF00FF)).HoldFrame().StopFrame();
  const std::string input = folder.File("host.swf");
  const std::string other = folder.File("inserted.swf");
  host.WriteFile(input);
  inserted.WriteFile(other);

  ZuFMRTavoFile movie{ZuString(input)};
  ASSERT_EQ(movie.InsertFMRSWFFile(ZuString(other), ZuReal(0.1), ZuString()), kZuSuccess);
  const Words all = DescribeTags(movie);
  EXPECT_EQ(WordsFrom(all, "bitmap 41", 3), (Words{"bitmap 41", "shape 42", "place 42@100"}));
  EXPECT_EQ(WordsFrom(all, "bitmap 43", 15),
            (Words{"bitmap 43", "shape 44", "place 44@1", "show", "bitmap 45", "shape 46",
                   "place 46@101", "show", "bitmap 47", "show", "free 43", "free 45", "free 47",
                   "remove 1", "remove 101"}));
  std::vector<std::string> shapeBitmaps;
  for (const ZuSwfTag* tag : movie) {
    if (tag->GetTagType() == ZuSwfTagFactory::kDefineShape3 && tag->GetCharacterId() > 42) {
      ZuString text;
      tag->GetTextRep(text);
      const std::string line = text.GetUTF8String();
      shapeBitmaps.push_back(line.substr(line.find(" bitmap=")));
    }
  }
  EXPECT_EQ(shapeBitmaps, (std::vector<std::string>{" bitmap=43", " bitmap=45"}));
  EXPECT_EQ(Access::GetHighestId(movie), 47);
}

// An inserted movie with more ids than this one: its new ids 9 to 20 overlap its old ids 1 to
// 12, and the clean-up after it frees the new ids, each mapped once, never twice.
TEST(Insertion, CleanupAfterTheInsertedMovieFreesItsNewIds) {
  engine_test::ScratchFolder folder;
  FmrMovieBuilder inserted(32, 24, 10);
  inserted.KeyFrame(0xFFFFFF);
  for (uint16_t i = 0; i < 5; ++i) {
    inserted.PartialFrame(i, i, 2, 2, 0x0000FF + i);
  }
  inserted.HoldFrame().StopFrame();
  const std::string input = folder.File("standard.swf");
  const std::string other = folder.File("inserted.swf");
  engine_test::StandardMovie().WriteFile(input);
  inserted.WriteFile(other);

  ZuFMRTavoFile movie{ZuString(input)};
  ASSERT_EQ(movie.InsertFMRSWFFile(ZuString(other), ZuReal(0.0), ZuString()), kZuSuccess);
  EXPECT_EQ(
      WordsFrom(DescribeTags(movie), "bitmap 9", 43),
      (Words{"bitmap 9",     "shape 10", "place 10@1",   "show",       "bitmap 11",    "shape 12",
             "place 12@101", "show",     "bitmap 13",    "shape 14",   "place 14@102", "show",
             "bitmap 15",    "shape 16", "place 16@103", "show",       "bitmap 17",    "shape 18",
             "place 18@104", "show",     "bitmap 19",    "shape 20",   "place 20@105", "show",
             "show",         "free 9",   "free 11",      "free 13",    "free 15",      "free 17",
             "free 19",      "remove 1", "remove 101",   "remove 102", "remove 103",   "remove 104",
             "remove 105",   "bitmap 1", "shape 2",      "place 2@1",  "show",         "bitmap 3",
             "shape 4"}));
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

}  // namespace
