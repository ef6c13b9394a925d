// Key-frame blocks and their clean-up blocks: finding the next clean-up block, closing the
// part of a block above a position, collecting what a stretch of tags defines and places,
// and reducing the next clean-up block to it.

#include <gtest/gtest.h>

#include <list>
#include <set>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using engine_test::DescribeTags;
using engine_test::IndexOf;
using engine_test::SlotAt;
using Words = std::vector<std::string>;

// The standard movie's tags (see StandardMovie.h).
const Words kStandard = engine_test::SplitLine(engine_test::kStandardLine);

void LoadStandard(ZuFMRTavoFile& movie) {
  engine_test::LoadBuilt(movie, engine_test::StandardMovie());
}

// kStandard with words put in before index at.
Words StandardWith(size_t at, const Words& inserted) {
  Words words = kStandard;
  words.insert(words.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
  return words;
}

// kStandard without the words at the given indices.
Words StandardWithout(const std::set<size_t>& indices) {
  Words words;
  for (size_t i = 0; i < kStandard.size(); ++i) {
    if (indices.count(i) == 0) {
      words.push_back(kStandard[i]);
    }
  }
  return words;
}

TEST(KeyFrameBlocks, SearchFindsAFreeCharacterAtOrAfterThePosition) {
  ZuFMRTavoFile movie;
  LoadStandard(movie);
  struct Case {
    size_t at;
    bool found;
  };
  const std::vector<Case> cases = {{0, true},  {2, true},   {13, true},  {14, true},
                                   {16, true}, {17, false}, {26, false}, {kStandard.size(), false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at);
    EXPECT_EQ(Access::SearchForKeyFrameBlock(movie, SlotAt(movie, c.at)), c.found);
  }
  // A null slot on the way ends the search.
  movie.IncludeTag(nullptr, SlotAt(movie, 10));
  EXPECT_FALSE(Access::SearchForKeyFrameBlock(movie, SlotAt(movie, 6)));
  EXPECT_TRUE(Access::SearchForKeyFrameBlock(movie, SlotAt(movie, 11)));
}

TEST(KeyFrameBlocks, CleanupUpwardsClosesThePartOfTheBlockAbovePosition) {
  struct Case {
    const char* name;
    size_t at;
    Words inserted;  // before at
  };
  const std::vector<Case> cases = {
      {"at the first tag", 0, {}},
      {"above the header's end: walks over the header tags", 2, {}},
      {"after frame 1", 5, {"free 1", "remove 1"}},
      {"after frame 2, earliest first", 9, {"free 1", "free 3", "remove 1", "remove 101"}},
      {"whole first block",
       14,
       {"free 1", "free 3", "free 5", "remove 1", "remove 101", "remove 102"}},
      {"right after a FreeCharacter run", 17, {}},
      {"second block stops at its clean-up", 23, {"free 7", "remove 1"}},
      {"end of the list", kStandard.size(), {"free 7", "remove 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie;
    LoadStandard(movie);
    const auto pos = SlotAt(movie, c.at);
    const auto result = Access::AddCleanupBlock_Upwards(movie, pos);
    EXPECT_TRUE(result == pos);
    EXPECT_EQ(DescribeTags(movie), StandardWith(c.at, c.inserted));
  }
}

TEST(KeyFrameBlocks, CleanupUpwardsKeepsEveryPlacementOfADepth) {
  FmrMovieBuilder builder(8, 8, 10);
  builder.KeyFrame(0x102030).Tag(FmrMovieBuilder::MakePlacement(2, 1)).HoldFrame();
  ZuFMRTavoFile movie;
  engine_test::LoadBuilt(movie, builder);
  Access::AddCleanupBlock_Upwards(movie, movie.end());
  const Words words = DescribeTags(movie);
  EXPECT_EQ(Words(words.end() - 3, words.end()), (Words{"free 1", "remove 1", "remove 1"}));
}

TEST(KeyFrameBlocks, CleanupUpwardsAfterANullSlotGoesToTheEnd) {
  ZuFMRTavoFile movie;
  LoadStandard(movie);
  movie.IncludeTag(nullptr, SlotAt(movie, 6));                                    // before bitmap 3
  const auto result = Access::AddCleanupBlock_Upwards(movie, SlotAt(movie, 10));  // frame 2 end
  EXPECT_TRUE(result == movie.end());
  Words expected = StandardWith(6, {"null"});
  expected.insert(expected.end(), {"free 3", "remove 101"});
  EXPECT_EQ(DescribeTags(movie), expected);
}

TEST(KeyFrameBlocks, IdDepthSetsStopAtTheFirstFreeCharacter) {
  ZuFMRTavoFile movie;
  LoadStandard(movie);
  movie.IncludeTag(nullptr, SlotAt(movie, 7));  // passed over
  struct Case {
    size_t first;
    size_t last;
    size_t stop;
    std::set<uint16_t> ids;
    std::set<uint16_t> depths;
  };
  // Indices after the null slot at 7: the standard movie's from 7 on are one higher.
  const std::vector<Case> cases = {
      {2, 28, 15, {1, 3, 5}, {1, 101, 102}},
      {6, 11, 11, {3}, {101}},
      {18, 28, 28, {7}, {1}},
      {15, 28, 15, {}, {}},
      {6, 6, 6, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << " to " << c.last);
    std::set<uint16_t> ids = {999};
    std::set<uint16_t> depths;
    const auto stop =
        Access::GetIdDepthSets(movie, SlotAt(movie, c.first), SlotAt(movie, c.last), ids, depths);
    EXPECT_EQ(IndexOf(movie, stop), c.stop);
    std::set<uint16_t> expectedIds = c.ids;
    expectedIds.insert(999);  // the sets are added to, not replaced
    EXPECT_EQ(ids, expectedIds);
    EXPECT_EQ(depths, c.depths);
  }
}

TEST(KeyFrameBlocks, CleanupKeepsOnlyWhatTheTagsFromPositionDefineAndPlace) {
  struct Case {
    const char* name;
    size_t at;
    std::set<size_t> removed;  // indices of the standard movie
    size_t result;             // index in the standard movie of the returned position
  };
  const std::vector<Case> cases = {
      {"from frame 3", 10, {14, 15, 19, 20}, 22},
      {"from frame 2", 6, {14, 19}, 22},
      {"from frame 1: the whole block stays", 2, {}, 22},
      {"at the clean-up block: both runs go", 14, {14, 15, 16, 19, 20, 21}, 22},
      {"no clean-up block after", 17, {}, kStandard.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie;
    LoadStandard(movie);
    const auto expectedResult = SlotAt(movie, c.result);
    const auto result =
        Access::CleanupKeyFrameBlock(movie, SlotAt(movie, c.at), true, nullptr, nullptr);
    EXPECT_TRUE(result == expectedResult);
    EXPECT_EQ(DescribeTags(movie), StandardWithout(c.removed));
  }
}

TEST(KeyFrameBlocks, CleanupHandsTheTagsItTakesToTheLists) {
  ZuFMRTavoFile movie;
  LoadStandard(movie);
  std::list<ZuSwfTag*> freeTags;
  std::list<ZuSwfTag*> removeTags;
  Access::CleanupKeyFrameBlock(movie, SlotAt(movie, 14), false, &freeTags, &removeTags);
  EXPECT_EQ(DescribeTags(movie), StandardWithout({14, 15, 16, 19, 20, 21}));
  EXPECT_EQ(DescribeTags(freeTags), (Words{"free 1", "free 3", "free 5"}));
  EXPECT_EQ(DescribeTags(removeTags), (Words{"remove 1", "remove 101", "remove 102"}));
  Access::ClearTavoTagList(freeTags);
  Access::ClearTavoTagList(removeTags);
}

TEST(KeyFrameBlocks, CleanupWithoutDestroyNeedsBothLists) {
  ZuFMRTavoFile movie;
  LoadStandard(movie);
  std::list<ZuSwfTag*> tags;
  EXPECT_TRUE(Access::CleanupKeyFrameBlock(movie, SlotAt(movie, 14), false, &tags, nullptr) ==
              movie.end());
  EXPECT_TRUE(Access::CleanupKeyFrameBlock(movie, SlotAt(movie, 14), false, nullptr, &tags) ==
              movie.end());
  EXPECT_TRUE(tags.empty());
  EXPECT_EQ(DescribeTags(movie), kStandard);
}

TEST(KeyFrameBlocks, NullSlotsEndTheRunsOfACleanupBlock) {
  ZuFMRTavoFile movie;
  LoadStandard(movie);
  movie.IncludeTag(nullptr, SlotAt(movie, 15));  // between free 1 and free 3
  Access::CleanupKeyFrameBlock(movie, SlotAt(movie, 10), true, nullptr, nullptr);
  Words expected = StandardWithout({14, 19, 20});
  expected.insert(expected.begin() + 14, "null");
  EXPECT_EQ(DescribeTags(movie), expected);
}

// A placement or a removal that is not of its class: the int 0 (closing upwards leaves the
// list as it was; a clean-up block has lost the FreeCharacter run it had reduced).
TEST(KeyFrameBlocks, TagsOfAnotherClassAreRefused) {
  for (const bool upwards : {true, false}) {
    SCOPED_TRACE(upwards ? "closing upwards" : "reducing the clean-up block");
    ZuFMRTavoFile movie;
    LoadStandard(movie);
    movie.IncludeTag(
        new ZuSwfTag(upwards ? ZuSwfTagFactory::kPlaceObject2 : ZuSwfTagFactory::kRemoveObject2,
                     ZuSharedBytes(), false),
        SlotAt(movie, upwards ? 5 : 19));
    const Words before = DescribeTags(movie);
    if (upwards) {
      EXPECT_THROW(Access::AddCleanupBlock_Upwards(movie, SlotAt(movie, 6)), int);
      EXPECT_EQ(DescribeTags(movie), before);
    } else {
      EXPECT_THROW(Access::CleanupKeyFrameBlock(movie, SlotAt(movie, 10), true, nullptr, nullptr),
                   int);
    }
  }
}

}  // namespace
