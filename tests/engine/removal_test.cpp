// Frame removal on hand-built movies: the checks and the clamp, the repair cases tag by
// tag (the worked example among them), and the roads that fail.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/RecordedMovies.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using B = FmrMovieBuilder;
using engine_test::DescribeTags;
using engine_test::SlotAt;
using Words = std::vector<std::string>;

bool FileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

// The worked example of frame removal: eight frames in two blocks and a bit, with real
// bitmaps (bitmaps 1, 5 and 11 fill the 16 x 12 stage) so that its frames render.
FmrMovieBuilder WorkedExample() {
  FmrMovieBuilder movie(16, 12, 10);
  // frame 1
  movie.Tag(B::MakeBitmap(1, 16, 12, 0xC02020)).Tag(B::MakeShape(2, 1, 0, 0, 16, 12));
  movie.Tag(B::MakePlacement(2, 1)).Tag(B::MakeShowFrame());
  // frame 2
  movie.Tag(B::MakeBitmap(3, 4, 4, 0x20C020)).Tag(B::MakeShape(4, 3, 2, 2, 4, 4));
  movie.Tag(B::MakePlacement(4, 2)).Tag(B::MakeShowFrame());
  // frame 3: a new block
  movie.Tag(B::MakeFreeCharacter(1)).Tag(B::MakeFreeCharacter(3));
  movie.Tag(B::MakeBitmap(5, 16, 12, 0x2020C0)).Tag(B::MakeShape(6, 5, 0, 0, 16, 12));
  movie.Tag(B::MakeRemoveObject2(1)).Tag(B::MakeRemoveObject2(2));
  movie.Tag(B::MakePlacement(6, 1)).Tag(B::MakeShowFrame());
  // frames 4 and 5
  movie.Tag(B::MakeBitmap(7, 5, 3, 0xE0E000)).Tag(B::MakeShape(8, 7, 1, 1, 5, 3));
  movie.Tag(B::MakePlacement(8, 2)).Tag(B::MakeShowFrame());
  movie.Tag(B::MakeBitmap(9, 3, 6, 0x00E0E0)).Tag(B::MakeShape(10, 9, 9, 4, 3, 6));
  movie.Tag(B::MakePlacement(10, 3)).Tag(B::MakeShowFrame());
  // frame 6: a new block
  movie.Tag(B::MakeFreeCharacter(5)).Tag(B::MakeFreeCharacter(7)).Tag(B::MakeFreeCharacter(9));
  movie.Tag(B::MakeBitmap(11, 16, 12, 0x808080)).Tag(B::MakeShape(12, 11, 0, 0, 16, 12));
  movie.Tag(B::MakeRemoveObject2(1)).Tag(B::MakeRemoveObject2(2)).Tag(B::MakeRemoveObject2(3));
  movie.Tag(B::MakePlacement(12, 1)).Tag(B::MakeShowFrame());
  // frames 7 and 8
  movie.Tag(B::MakeShowFrame()).Tag(B::MakeShowFrame());
  return movie;
}

// The worked example after removing frames 2 to 4, before the key frame is added.
const Words kWorkedExampleRepaired = {
    "header",
    "header",
    // frame 1
    "bitmap 1",
    "shape 2",
    "place 2@1",
    "show",
    // frame 2
    "free 1",
    "remove 1",
    "bitmap 9",
    "shape 10",
    "place 10@3",
    "show",
    // frame 3
    "free 9",
    "bitmap 11",
    "shape 12",
    "remove 3",
    "place 12@1",
    "show",
    // frames 4 and 5
    "show",
    "show",
};

TEST(FrameRemoval, WorkedExampleTagByTag) {
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("example.swf");
  WorkedExample().WriteFile(input);
  const std::vector<ZuImage> original = RenderAllFrames(input);
  ASSERT_EQ(original.size(), 8u);

  ZuFMRTavoFile movie{ZuString(input)};
  ASSERT_TRUE(movie.IsValidFMRSWF());
  const std::string output = folder.File("out.swf");
  ASSERT_EQ(Access::RemoveFrames(movie, 1, 3, output), kZuSuccess);

  // The key frame: frame 5 of the file, as bitmap 13 shown by shape 14 at depth 100 in
  // frame 2, freed and removed again by the next clean-up block.
  const Words expected = {
      "header",     "header",   "bitmap 1", "shape 2",    "place 2@1", "show",     "free 1",
      "remove 1",   "bitmap 9", "shape 10", "place 10@3", "bitmap 13", "shape 14", "place 14@100",
      "show",       "free 13",  "free 9",   "bitmap 11",  "shape 12",  "remove 3", "remove 100",
      "place 12@1", "show",     "show",     "show",
  };
  EXPECT_EQ(DescribeTags(movie), expected);
  EXPECT_EQ(movie.GetFrameCount(), 5);
  ASSERT_TRUE(FileExists(output));
  ExpectOracleAccepts(output, movie);

  ZuFMRTavoFile result{ZuString(output)};
  EXPECT_TRUE(result.IsValidFMRSWF());
  EXPECT_EQ(DescribeTags(result), expected);
  const std::vector<ZuImage> pictures = RenderAllFrames(output);
  ASSERT_EQ(pictures.size(), 5u);
  const std::vector<int> shown = {1, 5, 6, 7, 8};  // the input frame each result frame shows
  for (size_t i = 0; i < pictures.size(); ++i) {
    std::string where;
    EXPECT_EQ(CountDifferentPixels(pictures[i], original[shown[i] - 1], &where), 0u)
        << "frame " << i + 1 << ": " << where;
  }
}

// Without its backing file the key frame cannot be rendered: the int 0 comes after the
// repair, so the movie reads as the worked example has it before the key frame, and no
// output is written.
TEST(FrameRemoval, WorkedExampleBeforeTheKeyFrame) {
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("example.swf");
  WorkedExample().WriteFile(input);
  ZuFMRTavoFile movie{ZuString(input)};
  std::filesystem::remove(input);
  const std::string output = folder.File("out.swf");
  try {
    Access::RemoveFrames(movie, 1, 3, output);
    ADD_FAILURE() << "no exception";
  } catch (int code) {
    EXPECT_EQ(code, 0);
  }
  EXPECT_EQ(DescribeTags(movie), kWorkedExampleRepaired);
  EXPECT_EQ(movie.GetFrameCount(), 5);
  EXPECT_FALSE(FileExists(output));
}

// The repair cases on the standard movie (frames 1-3 one block, frame 4 a new block,
// then the hold and stop frames).
TEST(FrameRemoval, RepairCasesOnTheStandardMovie) {
  struct Case {
    const char* name;
    int start;
    int count;
    uint16_t frames;  // afterwards
    Words words;
  };
  const Words frame1 = {"header", "header", "bitmap 1", "shape 2", "place 2@1", "show"};
  auto join = [](Words first, const Words& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
  };
  const std::vector<Case> cases = {
      {"frame 1 (inside the first block): key frame from frame 2",
       0,
       1,
       5,
       {"header",       "header", "bitmap 3", "shape 4", "place 4@101", "bitmap 9",   "shape 10",
        "place 10@100", "show",   "bitmap 5", "shape 6", "place 6@102", "show",       "free 9",
        "free 3",       "free 5", "bitmap 7", "shape 8", "remove 101",  "remove 102", "remove 100",
        "place 8@1",    "show",   "show",     "action",  "show"}},
      {"frame 2: the block above is closed, key frame from frame 3", 1, 1, 5,
       join(frame1, {"free 1",    "remove 1", "bitmap 5",     "shape 6",    "place 6@102",
                     "bitmap 9",  "shape 10", "place 10@100", "show",       "free 9",
                     "free 5",    "bitmap 7", "shape 8",      "remove 102", "remove 100",
                     "place 8@1", "show",     "show",         "action",     "show"})},
      {"frames 2 and 3, ending at a clean-up block: no key frame", 1, 2, 4,
       join(frame1, {"free 1", "remove 1", "bitmap 7", "shape 8", "place 8@1", "show", "show",
                     "action", "show"})},
      {"frames 3 and 4, reaching the last two frames",
       2,
       2,
       4,
       {"header", "header", "bitmap 1", "shape 2", "place 2@1", "show", "bitmap 3", "shape 4",
        "place 4@101", "show", "show", "action", "show"}},
      {"frame 5, clamped to keep the last frame",
       4,
       3,
       5,
       {"header",      "header",   "bitmap 1",    "shape 2",    "place 2@1", "show",
        "bitmap 3",    "shape 4",  "place 4@101", "show",       "bitmap 5",  "shape 6",
        "place 6@102", "show",     "free 1",      "free 3",     "free 5",    "bitmap 7",
        "shape 8",     "remove 1", "remove 101",  "remove 102", "place 8@1", "show",
        "action",      "show"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("standard.swf");
    engine_test::StandardMovie().WriteFile(input);
    ZuFMRTavoFile movie{ZuString(input)};
    const std::string output = folder.File("out.swf");
    ASSERT_EQ(Access::RemoveFrames(movie, c.start, c.count, output), kZuSuccess);
    EXPECT_EQ(DescribeTags(movie), c.words);
    EXPECT_EQ(movie.GetFrameCount(), c.frames);
    ASSERT_TRUE(FileExists(output));
    ExpectOracleAccepts(output, movie);
    ZuFMRTavoFile result{ZuString(output)};
    EXPECT_TRUE(result.IsValidFMRSWF());
    EXPECT_EQ(DescribeTags(result), c.words);
  }
}

// When the frame after the cut changes nothing up to the next block, the clean-up block
// that follows keeps exactly the key frame's own FreeCharacter and RemoveObject2: the key
// frame leaves the display list where the next block begins.
TEST(FrameRemoval, KeyFrameBeforeAnUnchangedFrameEndsWithItsBlock) {
  engine_test::ScratchFolder folder;
  FmrMovieBuilder builder(16, 12, 10);
  builder.KeyFrame(0x204060).PartialFrame(3, 3, 4, 4, 0xF0A000).HoldFrame();
  builder.KeyFrame(0x60A0E0).HoldFrame().StopFrame();
  const std::string input = folder.File("movie.swf");
  builder.WriteFile(input);
  const std::vector<ZuImage> original = RenderAllFrames(input);
  ASSERT_EQ(original.size(), 6u);

  ZuFMRTavoFile movie{ZuString(input)};
  const std::string output = folder.File("out.swf");
  ASSERT_EQ(Access::RemoveFrames(movie, 1, 1, output), kZuSuccess);
  const Words expected = {
      "header",   "header",     "bitmap 1",  "shape 2",     "place 2@1", "show",   "free 1",
      "remove 1", "bitmap 7",   "shape 8",   "place 8@100", "show",      "free 7", "bitmap 5",
      "shape 6",  "remove 100", "place 6@1", "show",        "show",      "action", "show",
  };
  EXPECT_EQ(DescribeTags(movie), expected);
  ExpectOracleAccepts(output, movie);
  const std::vector<ZuImage> pictures = RenderAllFrames(output);
  ASSERT_EQ(pictures.size(), 5u);
  const std::vector<int> shown = {1, 3, 4, 5, 6};
  for (size_t i = 0; i < pictures.size(); ++i) {
    std::string where;
    EXPECT_EQ(CountDifferentPixels(pictures[i], original[shown[i] - 1], &where), 0u)
        << "frame " << i + 1 << ": " << where;
  }
}

// A start at the last frame leaves nothing to remove: the movie is written unchanged.
TEST(FrameRemoval, StartAtTheLastFrameRemovesNothing) {
  for (int count = 1; count <= engine_test::kStandardFrames - 2; ++count) {
    SCOPED_TRACE(count);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("standard.swf");
    engine_test::StandardMovie().WriteFile(input);
    ZuFMRTavoFile movie{ZuString(input)};
    const Words before = DescribeTags(movie);
    const std::string output = folder.File("out.swf");
    ASSERT_EQ(Access::RemoveFrames(movie, engine_test::kStandardFrames - 1, count, output),
              kZuSuccess);
    EXPECT_EQ(DescribeTags(movie), before);
    EXPECT_EQ(movie.GetFrameCount(), engine_test::kStandardFrames);
    ZuFMRTavoFile result{ZuString(output)};
    EXPECT_EQ(DescribeTags(result), before);
    ExpectOracleAccepts(output, movie);
  }
}

// A movie of ten frames: a key frame, seven partial frames, the hold and stop frames.
FmrMovieBuilder TenFrames() {
  FmrMovieBuilder movie(16, 12, 10);
  movie.KeyFrame(0x404040);
  for (uint16_t i = 0; i < 7; ++i) {
    movie.PartialFrame(i, i, 3, 2, 0x102030 * (i + 1));
  }
  movie.HoldFrame().StopFrame();
  return movie;
}

TEST(FrameRemoval, ChecksAndClampOnTenFrames) {
  struct Case {
    const char* name;
    int start;
    int count;
    ZuErrorCodeEnum result;
    uint16_t frames;  // afterwards
    size_t tagsLeft;  // of the input's tags (no key frame in these cases)
  };
  // The ten-frame movie has 2 + 4 + 7 * 4 + 1 + 2 = 37 tags: frame 1 has four, frames 2
  // to 8 four each, frame 9 one, frame 10 two.
  const std::vector<Case> cases = {
      {"N = F - 1", 3, 9, kZuFailure, 10, 37},
      {"clamped to frames 4 to 9", 3, 7, kZuSuccess, 4, 2 + 4 + 2 * 4 + 2},
      {"frames 1 to 8: the last two remain", 0, 8, kZuSuccess, 2, 2 + 1 + 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("ten.swf");
    TenFrames().WriteFile(input);
    ZuFMRTavoFile movie{ZuString(input)};
    ASSERT_EQ(movie.GetTagCount(), 37u);
    const std::string output = folder.File("out.swf");
    EXPECT_EQ(Access::RemoveFrames(movie, c.start, c.count, output), c.result);
    EXPECT_EQ(movie.GetFrameCount(), c.frames);
    EXPECT_EQ(movie.GetTagCount(), c.tagsLeft);
    EXPECT_EQ(FileExists(output), c.result == kZuSuccess);
    if (c.result == kZuSuccess) {
      ExpectOracleAccepts(output, movie);
      // The last frame (DoAction stop, ShowFrame) is never removed.
      const Words words = DescribeTags(movie);
      EXPECT_EQ(Words(words.end() - 2, words.end()), (Words{"action", "show"}));
    }
  }
}

// Twenty frames, S = 2, N = 3: the key frame of frame 3 is frame 6 of the file.
TEST(FrameRemoval, KeyFrameComesFromTheFirstFrameAfterTheCut) {
  engine_test::ScratchFolder folder;
  FmrMovieBuilder builder(16, 12, 10);
  builder.KeyFrame(0x336699);
  for (uint16_t i = 0; i < 17; ++i) {
    builder.PartialFrame(i % 13, i % 9, 3, 3, 0x0F1E2D * (i + 1));
  }
  builder.HoldFrame().StopFrame();
  const std::string input = folder.File("twenty.swf");
  builder.WriteFile(input);
  const std::vector<ZuImage> original = RenderAllFrames(input);
  ASSERT_EQ(original.size(), 20u);
  ZuFMRTavoFile movie{ZuString(input)};
  const uint16_t highest = Access::GetHighestId(movie);
  const std::string output = folder.File("out.swf");
  ASSERT_EQ(Access::RemoveFrames(movie, 2, 3, output), kZuSuccess);
  EXPECT_EQ(movie.GetFrameCount(), 17);
  // The key frame's placement stands right before the ShowFrame of frame 3.
  const auto third = Access::FindNthFrame(movie, 3);
  EXPECT_EQ(engine_test::DescribeTag(*std::prev(third)),
            "place " + std::to_string(highest + 2) + "@100");
  const std::vector<ZuImage> pictures = RenderAllFrames(output);
  ASSERT_EQ(pictures.size(), 17u);
  std::string where;
  EXPECT_EQ(CountDifferentPixels(pictures[2], original[5], &where), 0u) << where;
  ExpectOracleAccepts(output, movie);
}

TEST(FrameRemoval, SecondsBecomeFrames) {
  struct Case {
    double start;
    double length;
  };
  // At 10 frames per second all of these remove frames 11 to 15.
  const std::vector<Case> cases = {{1.0, 0.5}, {1.04, 0.46}, {0.951, 0.549}};
  engine_test::ScratchFolder folder;
  FmrMovieBuilder builder(16, 12, 10);
  builder.KeyFrame(0x102030);
  for (uint16_t i = 0; i < 16; ++i) {
    builder.PartialFrame(i % 10, i % 7, 2, 2, 0x010203 * (i + 7));
  }
  builder.HoldFrame().StopFrame();
  const std::string input = folder.File("movie.swf");
  builder.WriteFile(input);

  ZuFMRTavoFile byFrames{ZuString(input)};
  ASSERT_EQ(byFrames.GetFrameCount(), 19);
  ASSERT_EQ(Access::RemoveFrames(byFrames, 10, 5, folder.File("frames.swf")), kZuSuccess);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " s + " << c.length << " s");
    ZuFMRTavoFile movie{ZuString(input)};
    const std::string output = folder.File("seconds.swf");
    ASSERT_EQ(movie.RemoveFrames(ZuReal(c.start), ZuReal(c.length), ZuString(output)), kZuSuccess);
    EXPECT_EQ(movie.GetFrameCount(), 14);
    EXPECT_EQ(DescribeTags(movie), DescribeTags(byFrames));
  }
}

// Refusals change nothing and write nothing.
TEST(FrameRemoval, RefusalsLeaveTheMovieAlone) {
  struct Case {
    const char* name;
    bool fmr;
    int start;
    int count;
    bool emptyPath;
    ZuErrorCodeEnum result;
  };
  const std::vector<Case> cases = {
      {"not an FMR movie", false, 1, 1, false, kZuErrorNotFMR},
      {"not an FMR movie, bad arguments too", false, 0, 0, true, kZuErrorNotFMR},
      {"no frames to remove", true, 1, 0, false, kZuFailure},
      {"start before frame 0", true, -2, 1, false, kZuFailure},
      {"lowest start", true, INT_MIN, 1, false, kZuFailure},
      {"no output path", true, 1, 1, true, kZuFailure},
      {"all but one frame", true, 0, 5, false, kZuFailure},
      {"more frames than the movie", true, 0, 60000, false, kZuFailure},
      {"start past the last frame", true, 6, 1, false, kZuFailure},
      {"highest start", true, INT_MAX, 1, false, kZuFailure},
      {"negative count", true, 1, -1, false, kZuFailure},
      {"lowest count", true, 1, INT_MIN, false, kZuFailure},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("movie.swf");
    if (c.fmr) {
      engine_test::StandardMovie().WriteFile(input);
    } else {
      FmrMovieBuilder(16, 12, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(input);
    }
    ZuFMRTavoFile movie{ZuString(input)};
    ASSERT_EQ(movie.IsValidFMRSWF(), c.fmr);
    const Words before = DescribeTags(movie);
    const uint16_t frames = movie.GetFrameCount();
    const std::string output = c.emptyPath ? std::string() : folder.File("out.swf");
    EXPECT_EQ(Access::RemoveFrames(movie, c.start, c.count, output), c.result);
    EXPECT_EQ(DescribeTags(movie), before);
    EXPECT_EQ(movie.GetFrameCount(), frames);
    EXPECT_FALSE(FileExists(folder.File("out.swf")));
  }
}

// A null slot or a removal of the wrong class inside the range: 1 or the int 0, and the
// movie keeps every tag it had (none destroyed while still listed).
TEST(FrameRemoval, BrokenRangeLeavesTheMovieWhole) {
  struct Case {
    const char* name;
    size_t at;  // standard index the bad slot goes before
    bool null;  // else a RemoveObject2 that is not of its class
  };
  const std::vector<Case> cases = {
      {"null slot at the range's start", 6, true},
      {"null slot after kept clean-up tags", 16, true},
      {"null slot at the range's last tag", 13, true},
      {"foreign RemoveObject2 in the clean-up block", 20, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("standard.swf");
    engine_test::StandardMovie().WriteFile(input);
    ZuFMRTavoFile movie{ZuString(input)};
    movie.IncludeTag(
        c.null ? nullptr : new ZuSwfTag(ZuSwfTagFactory::kRemoveObject2, ZuSharedBytes(), false),
        SlotAt(movie, c.at));
    const Words before = DescribeTags(movie);
    const std::string output = folder.File("out.swf");
    if (c.null) {
      EXPECT_EQ(Access::RemoveFrames(movie, 1, 3, output), kZuFailure);
    } else {
      EXPECT_THROW(Access::RemoveFrames(movie, 1, 3, output), int);
    }
    EXPECT_EQ(DescribeTags(movie), before);
    EXPECT_EQ(movie.GetFrameCount(), engine_test::kStandardFrames);
    EXPECT_FALSE(FileExists(output));
  }
}

}  // namespace
