// Frame removal on hand-built movies: every cut of odd movies.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/TempDir.h"

namespace {

using B = FmrMovieBuilder;

// Removes frames start + 1 to start + count of a movie of 10 frames per second.
ZuErrorCodeEnum RemoveFrames(ZuFMRTavoFile& movie, int start, int count, const std::string& out) {
  return movie.RemoveFrames(ZuReal(start / 10.0), ZuReal(count / 10.0), ZuString(out));
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
