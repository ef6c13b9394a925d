// The tag list: finding tags, including and erasing them with positions that stay valid,
// who owns what, and copies.

#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagSet.h"

namespace {

ZuSwfTag* MakeTag(enuTagType type, std::vector<uint8_t> body = {}) {
  return ZuSwfTagFactory::CreateTagFromBody(type, ZuSharedBytes::Copy(body), false);
}

// Counts the tags the set is told about.
class CountingSet : public ZuSwfTagSet {
 public:
  int included = 0;

 protected:
  void OnTagIncluded(ZuSwfTag* /*tag*/) override { ++included; }
};

std::vector<int> Codes(const ZuSwfTagSet& set) {
  std::vector<int> codes;
  for (const ZuSwfTag* tag : set) codes.push_back(tag != nullptr ? tag->GetTagType() : -1);
  return codes;
}

constexpr auto kShow = ZuSwfTagFactory::kShowFrame;
constexpr auto kBack = ZuSwfTagFactory::kSetBackgroundColor;
constexpr auto kAction = ZuSwfTagFactory::kDoAction;

TEST(TagSet, FindNthTagOfTypeCountsFromOneAndSkipsNullSlots) {
  ZuSwfTagSet set;
  for (ZuSwfTag* tag : {MakeTag(kShow), MakeTag(kBack), static_cast<ZuSwfTag*>(nullptr),
                        MakeTag(kShow), MakeTag(kShow)}) {
    set.AppendTag(tag);
  }
  struct Case {
    enuTagType type;
    unsigned n;
    int index;  // -1: end()
  };
  const Case cases[] = {{kShow, 1, 0},  {kShow, 2, 3}, {kShow, 3, 4},  {kShow, 4, -1},
                        {kShow, 0, -1}, {kBack, 1, 1}, {kBack, 2, -1}, {kAction, 1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " #" << c.n);
    const auto found = set.FindNthTagOfType(c.type, c.n);
    if (c.index < 0) {
      EXPECT_EQ(found, set.end());
    } else {
      EXPECT_EQ(std::distance(set.begin(), found), c.index);
    }
  }
}

TEST(TagSet, IncludeByIndexPutsTheTagThereOrAppends) {
  struct Case {
    int index;
    std::vector<int> codes;
  };
  const Case cases[] = {{0, {12, 1, 9}}, {1, {1, 12, 9}},   {2, {1, 9, 12}},
                        {3, {1, 9, 12}}, {100, {1, 9, 12}}, {-1, {1, 9, 12}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    CountingSet set;
    set.AppendTag(MakeTag(kShow));
    set.AppendTag(MakeTag(kBack));
    set.IncludeTag(MakeTag(kAction), c.index);
    EXPECT_EQ(Codes(set), c.codes);
    EXPECT_EQ(set.included, 3);
  }
}

TEST(TagSet, PositionsStayValidWhileOthersComeAndGo) {
  CountingSet set;
  ZuSwfTag* kept = MakeTag(kBack);
  const auto keptPos = set.IncludeTag(kept, set.end());
  set.IncludeTag(MakeTag(kShow), keptPos);  // before it
  const auto after = set.IncludeTag(MakeTag(kAction), set.end());
  EXPECT_EQ(Codes(set), (std::vector<int>{1, 9, 12}));

  std::list<ZuSwfTag*> incoming = {MakeTag(kShow), nullptr, MakeTag(kShow)};
  set.InsertTags(after, incoming.begin(), incoming.end());
  incoming.clear();  // the set owns them now
  EXPECT_EQ(Codes(set), (std::vector<int>{1, 9, 1, -1, 1, 12}));
  EXPECT_EQ(set.included, 5);  // the null slot is not announced

  ZuSwfTag* first = *set.begin();
  const auto next = set.EraseTags(set.begin(), keptPos);
  delete first;  // erased tags are the caller's
  EXPECT_EQ(next, keptPos);
  EXPECT_EQ(*keptPos, kept);
  EXPECT_EQ(set.FindNthTagOfType(kAction, 1), after);
  EXPECT_EQ((*after)->GetTagType(), kAction);
}

TEST(TagSet, EraseUnlinksWithoutDestroying) {
  ZuSwfTagSet set;
  set.AppendTag(MakeTag(kShow));
  set.AppendTag(MakeTag(kAction, {0x07, 0x00}));
  set.AppendTag(MakeTag(kShow));
  auto first = std::next(set.begin());
  std::vector<ZuSwfTag*> taken(first, std::next(first, 2));
  set.EraseTags(first, std::next(first, 2));
  EXPECT_EQ(Codes(set), (std::vector<int>{1}));
  // Still alive and ours to destroy (a double delete would show under the sanitizers).
  EXPECT_EQ(taken[0]->GetTagType(), kAction);
  EXPECT_EQ(taken[0]->GetBody().size(), 2u);
  for (ZuSwfTag* tag : taken) delete tag;
}

TEST(TagSet, CopiesCloneEveryTagAndKeepNullSlots) {
  ZuSwfTagSet set;
  set.AppendTag(MakeTag(kBack, {1, 2, 3}));
  set.AppendTag(nullptr);
  set.AppendTag(MakeTag(kShow));
  ZuSwfTagSet copy(set);
  ZuSwfTagSet assigned;
  assigned.AppendTag(MakeTag(kAction));
  assigned = set;
  assigned = assigned;  // self-assignment keeps the tags
  for (const ZuSwfTagSet* other : {&copy, &assigned}) {
    EXPECT_EQ(Codes(*other), Codes(set));
    EXPECT_NE(*other->begin(), *set.begin());
    EXPECT_EQ((*other->begin())->GetBody().data(), (*set.begin())->GetBody().data());
  }
  set.DestroyAllTags();
  EXPECT_EQ(set.GetTagCount(), 0u);
  EXPECT_EQ(copy.GetTagCount(), 3u);
}

TEST(TagSet, PlaceObjectInsertsAPlacementBeforeThePosition) {
  ZuSwfTagSet set;
  set.AppendTag(MakeTag(kShow));
  ZuSwfPlaceObject2Tag* placed = set.PlaceObject(7, set.begin(), ZuString(""), 0.0, 0.0, 100, {});
  ASSERT_NE(placed, nullptr);
  EXPECT_EQ(*set.begin(), placed);
  EXPECT_EQ(placed->GetTagType(), ZuSwfTagFactory::kPlaceObject2);
  EXPECT_EQ(placed->GetDepth(), 100);
  EXPECT_EQ(placed->GetPlacedCharacterId(), 7);
}

}  // namespace
