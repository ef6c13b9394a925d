// Frame removal on hand-built movies: the repair cases tag by tag (the worked example among
// them) with the frames they show, the roads that fail, and cuts of odd movies.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EditedFrames.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using B = FmrMovieBuilder;
using engine_test::DescribeLine;
using engine_test::DescribeTags;
using engine_test::SlotAt;
using Words = std::vector<std::string>;

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

// A picture per frame: the frames of original, counted from 1.
engine_test::Pictures Pick(const engine_test::Pictures& original, const std::vector<int>& frames) {
  engine_test::Pictures pictures;
  for (const int frame : frames) {
    pictures.push_back(original.at(static_cast<size_t>(frame - 1)));
  }
  return pictures;
}

// The repair cases tag by tag, with the frames each result shows (input frames).
TEST(FrameRemoval, RepairCasesTagByTag) {
  // A block whose frame after the cut changes nothing up to the next block: the clean-up
  // block that follows keeps exactly the key frame's own FreeCharacter and RemoveObject2.
  FmrMovieBuilder unchanged(16, 12, 10);
  unchanged.KeyFrame(0x204060).PartialFrame(3, 3, 4, 4, 0xF0A000).HoldFrame();
  unchanged.KeyFrame(0x60A0E0).HoldFrame().StopFrame();
  struct Case {
    const char* name;
    FmrMovieBuilder movie;
    int start;
    int count;
    std::string tags;
    std::vector<int> shows;
  };
  const std::vector<Case> cases = {
      // The key frame: frame 5 of the file, as bitmap 13 shown by shape 14 at depth 100 in
      // frame 2, freed and removed again by the next clean-up block.
      {"worked example",
       WorkedExample(),
       1,
       3,
       "header, header, bitmap 1, shape 2, place 2@1, show, free 1, remove 1, bitmap 9, shape 10, "
       "place 10@3, bitmap 13, shape 14, place 14@100, show, free 13, free 9, bitmap 11, shape 12, "
       "remove 3, remove 100, place 12@1, show, show, show",
       {1, 5, 6, 7, 8}},
      {"frame 1 (inside the first block): key frame from frame 2",
       engine_test::StandardMovie(),
       0,
       1,
       "header, header, bitmap 3, shape 4, place 4@101, bitmap 9, shape 10, place 10@100, show, "
       "bitmap 5, shape 6, place 6@102, show, free 9, free 3, free 5, bitmap 7, shape 8, "
       "remove 101, remove 102, remove 100, place 8@1, show, show, action, show",
       {2, 3, 4, 5, 6}},
      {"frame 2: the block above is closed, key frame from frame 3",
       engine_test::StandardMovie(),
       1,
       1,
       "header, header, bitmap 1, shape 2, place 2@1, show, free 1, remove 1, bitmap 5, shape 6, "
       "place 6@102, bitmap 9, shape 10, place 10@100, show, free 9, free 5, bitmap 7, shape 8, "
       "remove 102, remove 100, place 8@1, show, show, action, show",
       {1, 3, 4, 5, 6}},
      {"frames 2 and 3, ending at a clean-up block: no key frame",
       engine_test::StandardMovie(),
       1,
       2,
       "header, header, bitmap 1, shape 2, place 2@1, show, free 1, remove 1, bitmap 7, shape 8, "
       "place 8@1, show, show, action, show",
       {1, 4, 5, 6}},
      {"frames 3 and 4, reaching the last two frames",
       engine_test::StandardMovie(),
       2,
       2,
       "header, header, bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4, place 4@101, show, "
       "show, action, show",
       {1, 2, 2, 2}},
      {"frame 5, clamped to keep the last frame",
       engine_test::StandardMovie(),
       4,
       3,
       "header, header, bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4, place 4@101, show, "
       "bitmap 5, shape 6, place 6@102, show, free 1, free 3, free 5, bitmap 7, shape 8, remove 1, "
       "remove 101, remove 102, place 8@1, show, action, show",
       {1, 2, 3, 4, 4}},
      {"start at the last frame: nothing to remove",
       engine_test::StandardMovie(),
       5,
       4,
       engine_test::kStandardLine,
       {1, 2, 3, 4, 5, 6}},
      {"unchanged frame after the cut",
       unchanged,
       1,
       1,
       "header, header, bitmap 1, shape 2, place 2@1, show, free 1, remove 1, bitmap 7, shape 8, "
       "place 8@100, show, free 7, bitmap 5, shape 6, remove 100, place 6@1, show, show, action, "
       "show",
       {1, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_test::ScratchFolder folder;
    const std::string input = folder.File("movie.swf");
    c.movie.WriteFile(input);
    const engine_test::Pictures original = RenderAllFrames(input);
    ZuFMRTavoFile movie{ZuString(input)};
    const std::string output = folder.File("out.swf");
    ASSERT_EQ(Access::RemoveFrames(movie, c.start, c.count, output), kZuSuccess);
    EXPECT_EQ(DescribeLine(movie), c.tags);
    EXPECT_EQ(movie.GetFrameCount(), c.shows.size());
    EXPECT_EQ(DescribeLine(ZuFMRTavoFile(ZuString(output))), c.tags);
    engine_test::ExpectEditedFrames(output, movie, Pick(original, c.shows));
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
  EXPECT_EQ(DescribeLine(movie),
            "header, header, bitmap 1, shape 2, place 2@1, show, free 1, remove 1, bitmap 9, "
            "shape 10, place 10@3, show, free 9, bitmap 11, shape 12, remove 3, place 12@1, show, "
            "show, show");
  EXPECT_EQ(movie.GetFrameCount(), 5);
  EXPECT_FALSE(std::filesystem::exists(output));
}

// At 10 frames per second all of these remove frames 11 to 15.
TEST(FrameRemoval, SecondsBecomeFrames) {
  engine_test::ScratchFolder folder;
  const std::string input = folder.File("movie.swf");
  engine_test::LongMovie(19).WriteFile(input);
  ZuFMRTavoFile byFrames{ZuString(input)};
  ASSERT_EQ(Access::RemoveFrames(byFrames, 10, 5, folder.File("frames.swf")), kZuSuccess);
  for (const auto& [start, length] :
       std::vector<std::pair<double, double>>{{1.0, 0.5}, {1.04, 0.46}, {0.951, 0.549}}) {
    SCOPED_TRACE(testing::Message() << start << " s + " << length << " s");
    ZuFMRTavoFile movie{ZuString(input)};
    ASSERT_EQ(movie.RemoveFrames(ZuReal(start), ZuReal(length), ZuString(folder.File("s.swf"))),
              kZuSuccess);
    EXPECT_EQ(movie.GetFrameCount(), 14);
    EXPECT_EQ(DescribeTags(movie), DescribeTags(byFrames));
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
    EXPECT_FALSE(std::filesystem::exists(output));
  }
}

// Movies that keep the FMR form but not the recorder's habits: clean-up tags for unknown ids
// and depths, clean-up blocks without removals, placements without definitions, actions
// between them. Every cut either succeeds, keeping the frame count in step with the
// ShowFrame tags, or is refused; nothing crashes (the sanitizer build checks the memory).
// The result goes to a path that cannot be written, so no file is made.
// A movie of the FMR form with a random body after its first key frame.
FmrMovieBuilder RandomMovie(uint32_t seed) {
  std::mt19937 random(seed);
  FmrMovieBuilder movie(12, 8, 10);
  movie.KeyFrame(0x112233);
  uint16_t id = movie.GetLastId();
  const int tags = 20 + static_cast<int>(random() % 40);
  for (int i = 0; i < tags; ++i) {
    const auto small = [&random](int below) { return static_cast<uint16_t>(random() % below); };
    switch (random() % 9) {
      case 0:
      case 1:
        movie.Tag(B::MakeShowFrame());
        break;
      case 2:
        ++id;
        movie.Tag(B::MakeBitmap(id, 1 + small(4), 1 + small(4), random() & 0xFFFFFF));
        ++id;
        movie.Tag(B::MakeShape(id, id - 1, small(8), small(6), 2, 2));
        movie.Tag(B::MakePlacement(id, small(3) == 0 ? 1 : 100 + small(6)));
        break;
      case 3:
        movie.Tag(B::MakeFreeCharacter(small(id + 3)));
        break;
      case 4:
        movie.Tag(B::MakeRemoveObject2(small(3) == 0 ? 1 : 100 + small(6)));
        break;
      case 5:
        movie.Tag(B::MakePlacement(small(id + 2), 100 + small(6)));
        break;
      case 6:
        movie.Tag(B::MakeStopAction());
        break;
      case 7:
        movie.KeyFrame(random() & 0xFFFFFF);
        id = movie.GetLastId();
        break;
      default:
        movie.PartialFrame(small(10), small(6), 2, 2, random() & 0xFFFFFF);
        id = movie.GetLastId();
        break;
    }
  }
  movie.HoldFrame().StopFrame();
  return movie;
}

unsigned CountShowFrames(const ZuFMRTavoFile& movie) {
  unsigned count = 0;
  for (const ZuSwfTag* tag : movie) {
    count += tag != nullptr && tag->GetTagType() == ZuSwfTagFactory::kShowFrame ? 1 : 0;
  }
  return count;
}

TEST(FrameRemovalRobustness, EveryCutOfOddMoviesSucceedsOrIsRefused) {
  engine_test::ScratchFolder folder;
  const std::string unwritable = folder.File("no-such-folder/out.swf");
  int cuts = 0;
  int keyFrames = 0;
  for (uint32_t seed = 1; seed <= 25; ++seed) {
    SCOPED_TRACE(seed);
    const std::string input = folder.File("movie" + std::to_string(seed) + ".swf");
    RandomMovie(seed).WriteFile(input);
    const int frames = ZuFMRTavoFile(ZuString(input)).GetFrameCount();
    for (int start = -1; start <= frames; ++start) {
      for (const int count : {1, 2, 3, 7, frames - 2, frames}) {
        SCOPED_TRACE(testing::Message() << "S = " << start << ", N = " << count);
        ZuFMRTavoFile movie{ZuString(input)};
        ASSERT_TRUE(movie.IsValidFMRSWF());
        const uint16_t highestBefore = Access::GetHighestId(movie);
        ZuErrorCodeEnum result = kZuFailure;
        try {
          result = Access::RemoveFrames(movie, start, count, unwritable);
        } catch (int code) {
          ADD_FAILURE() << "threw " << code;  // every frame of these movies renders
          continue;
        }
        if (result == kZuSuccess) {
          ++cuts;
          keyFrames += Access::GetHighestId(movie) > highestBefore ? 1 : 0;
          EXPECT_EQ(movie.GetFrameCount(), CountShowFrames(movie));
          EXPECT_GE(movie.GetFrameCount(), 2);
        } else {
          EXPECT_EQ(result, kZuFailure);
          EXPECT_EQ(movie.GetFrameCount(), frames);
        }
      }
    }
  }
  EXPECT_FALSE(std::filesystem::exists(unwritable));
  // The movies are varied enough to reach the key frame on many roads.
  EXPECT_GT(cuts, 1000);
  EXPECT_GT(keyFrames, 500);
}

}  // namespace
