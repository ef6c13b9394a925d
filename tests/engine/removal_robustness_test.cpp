// Frame removal on movies that keep the FMR form but not the recorder's habits: clean-up
// tags for unknown ids and depths, clean-up blocks without removals, placements without
// definitions, actions between them. Every cut either succeeds, keeping the frame count in
// step with the ShowFrame tags, or is refused; nothing crashes (the sanitizer build checks
// the memory). The result goes to a path that cannot be written, so no file is made.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using B = FmrMovieBuilder;

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
