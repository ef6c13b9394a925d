// Frame removal on hand-built movies: repair cases tag by tag with the frames they show, and
// cuts of odd movies.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

using B = FmrMovieBuilder;
using engine_test::DescribeLine;

// Removes frames start + 1 to start + count of a movie of 10 frames per second.
ZuErrorCodeEnum RemoveFrames(ZuFMRTavoFile& movie, int start, int count, const std::string& out) {
  return movie.RemoveFrames(ZuReal(start / 10.0), ZuReal(count / 10.0), ZuString(out));
}

// A picture per frame: the frames of original, counted from 1.
Pictures Pick(const Pictures& original, const std::vector<int>& frames) {
  Pictures pictures;
  for (const int frame : frames) pictures.push_back(original.at(static_cast<size_t>(frame - 1)));
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
  // clang-format off
  const std::vector<Case> cases = {
      {"every picture: the hold and stop frames still show the last one", engine_test::StandardMovie(), 0, 4,
       "header, header, bitmap 9, shape 10, place 10@100, show, action, show", {5, 6}},
      {"frames 3 and 4, reaching the last two frames: they show frame 5 as before", engine_test::StandardMovie(), 2, 2,
       "header, header, bitmap 1, shape 2, place 2@1, show, bitmap 3, shape 4, place 4@101, show, free 1, free 3, "
       "remove 1, remove 101, bitmap 9, shape 10, place 10@100, show, action, show", {1, 2, 5, 6}},
      {"unchanged frame after the cut", unchanged, 1, 1,
       "header, header, bitmap 1, shape 2, place 2@1, show, free 1, remove 1, bitmap 7, shape 8, place 8@100, show, "
       "free 7, bitmap 5, shape 6, remove 100, place 6@1, show, show, action, show", {1, 3, 4, 5, 6}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    const ZuTemporaryFolder::Use use(folder.Path());
    const std::string input = folder.File("movie.swf");
    c.movie.WriteFile(input);
    const Pictures original = RenderAllFrames(input);
    ZuFMRTavoFile movie{ZuString(input)};
    const std::string output = folder.File("out.swf");
    ASSERT_EQ(RemoveFrames(movie, c.start, c.count, output), kZuSuccess);
    EXPECT_EQ(DescribeLine(movie), c.tags);
    EXPECT_EQ(movie.GetFrameCount(), c.shows.size());
    // The file written: the tags, read by the independent parser, an FMR movie, the frames.
    const ZuFMRTavoFile written{ZuString(output)};
    EXPECT_EQ(DescribeLine(written), c.tags);
    ExpectOracleAccepts(output, movie);
    EXPECT_TRUE(written.IsValidFMRSWF());
    ExpectSamePictures(RenderAllFrames(output), Pick(original, c.shows));
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
  uint16_t ownId = 40000;  // the ids of bitmaps made here, apart from the builder's
  const int tags = 20 + static_cast<int>(random() % 40);
  for (int i = 0; i < tags; ++i) {
    const auto small = [&random](int below) { return static_cast<uint16_t>(random() % below); };
    switch (random() % 9) {
      case 0:
      case 1:
        movie.Tag(B::MakeShowFrame());
        break;
      case 2:
        ++ownId;
        movie.Tag(B::MakeBitmap(ownId, 1 + small(4), 1 + small(4), random() & 0xFFFFFF));
        ++ownId;
        movie.Tag(B::MakeShape(ownId, ownId - 1, small(8), small(6), 2, 2));
        movie.Tag(B::MakePlacement(ownId, 101 + small(6)));
        break;
      case 3:
        movie.Tag(B::MakeFreeCharacter(small(id + 3)));
        break;
      case 4:
        movie.Tag(B::MakeRemoveObject2(101 + small(6)));
        break;
      case 5:
        movie.Tag(B::MakePlacement(small(id + 2), 101 + small(6)));
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

uint16_t HighestId(const ZuFMRTavoFile& movie) {
  uint16_t highest = 0;
  for (const ZuSwfTag* tag : movie) {
    highest = std::max(highest, tag->GetCharacterId());
  }
  return highest;
}

TEST(FrameRemovalRobustness, EveryCutOfOddMoviesSucceedsOrIsRefused) {
  TempDir folder;
  const ZuTemporaryFolder::Use use(folder.Path());
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
        const uint16_t highestBefore = HighestId(movie);
        ZuErrorCodeEnum result = kZuFailure;
        try {
          result = RemoveFrames(movie, start, count, unwritable);
        } catch (int code) {
          ADD_FAILURE() << "threw " << code;  // every frame of these movies renders
          continue;
        }
        if (result == kZuErrorWrite) {  // cut; only the write failed (the folder is missing)
          ++cuts;
          keyFrames += HighestId(movie) > highestBefore ? 1 : 0;
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
