// ZuSwfTagSet::BuildDependencyList: the definitions a list of tags needs, found through
// every kind of reference and through other definitions.
#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <vector>

#include "host/swf/ZuSwfTagSet.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

using F = ZuSwfTagFactory;

ZuSwfTag* Make(uint16_t code, const Bytes& body) {
  return LoadTag(code, body).release();
}

uint8_t Lo(uint16_t v) {
  return static_cast<uint8_t>(v);
}
uint8_t Hi(uint16_t v) {
  return static_cast<uint8_t>(v >> 8);
}

ZuSwfTag* Bitmap(uint16_t id, uint16_t width = 1) {
  return Make(F::kDefineBitsLossless2, {Lo(id), Hi(id), 5, Lo(width), Hi(width), 1, 0});
}
// A DefineShape3 filled with bitmapId.
ZuSwfTag* Shape(uint16_t id, uint16_t bitmapId) {
  return Make(F::kDefineShape3,
              {Lo(id), Hi(id), 0x00, 1, 0x41, Lo(bitmapId), Hi(bitmapId), 0x00, 0, 0x10, 0x00});
}
ZuSwfTag* Place(uint16_t id, uint16_t depth) {
  return Make(F::kPlaceObject2, {0x06, Lo(depth), Hi(depth), Lo(id), Hi(id), 0x00});
}
// A sprite placing characterId on its one frame.
ZuSwfTag* Sprite(uint16_t id, uint16_t characterId) {
  return Make(F::kDefineSprite, {Lo(id), Hi(id), 1, 0, 0x86, 0x06, 0x06, 1, 0, Lo(characterId),
                                 Hi(characterId), 0x00, 0x40, 0x00, 0x00, 0x00});
}
ZuSwfTag* Font(uint16_t id) {
  return Make(F::kDefineFont3, {Lo(id), Hi(id), 0, 0, 0, 0, 0});
}
// A DefineText with one record in font fontId.
ZuSwfTag* Text(uint16_t id, uint16_t fontId) {
  return Make(F::kDefineText,
              {Lo(id), Hi(id), 0x00, 0x00, 1, 1, 0x88, Lo(fontId), Hi(fontId), 20, 0, 0, 0x00});
}

struct Summary {
  uint16_t code;
  uint16_t id;
  bool operator==(const Summary&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Summary& s) {
  return out << F::GetTagName(s.code) << "#" << s.id;
}

std::vector<Summary> Summarize(const std::list<ZuSwfTag*>& tags) {
  std::vector<Summary> result;
  for (const ZuSwfTag* tag : tags) {
    result.push_back({tag->GetTagType(), tag->GetCharacterId()});
  }
  return result;
}

TEST(TagDependencies, FollowsReferencesThroughDefinitions) {
  ZuSwfTagSet source;
  source.AppendTag(Bitmap(1));
  source.AppendTag(Shape(2, 1));
  source.AppendTag(Bitmap(3));
  source.AppendTag(Shape(4, 3));
  source.AppendTag(Sprite(5, 4));  // needs shape 4, which needs bitmap 3
  source.AppendTag(Font(6));
  source.AppendTag(Text(7, 6));  // needs font 6
  source.AppendTag(Bitmap(8));   // needed by nothing
  source.AppendTag(Make(F::kShowFrame, {}));

  std::list<ZuSwfTag*> tags = {Place(5, 1), Place(7, 2), Shape(2, 1), Place(99, 3)};
  std::vector<ZuSwfTag*> own(tags.begin(), tags.end());
  source.BuildDependencyList(tags, &source);

  // Shape 2 is already in the list, but its bitmap is not; id 99 is defined nowhere.
  const std::vector<Summary> expected = {{F::kDefineBitsLossless2, 1}, {F::kDefineBitsLossless2, 3},
                                         {F::kDefineShape3, 4},        {F::kDefineSprite, 5},
                                         {F::kDefineFont3, 6},         {F::kDefineText, 7},
                                         {F::kPlaceObject2, 0},        {F::kPlaceObject2, 0},
                                         {F::kDefineShape3, 2},        {F::kPlaceObject2, 0}};
  EXPECT_EQ(Summarize(tags), expected);
  // The added tags are clones owned by the caller; the source keeps its own.
  auto it = tags.begin();
  for (size_t i = 0; i < 6; ++i, ++it) {
    for (ZuSwfTag* held : source) EXPECT_NE(*it, held);
    delete *it;
  }
  EXPECT_EQ(source.GetTagCount(), 9u);
  for (ZuSwfTag* tag : own) delete tag;
}

TEST(TagDependencies, TakesTheDefinitionInForceWhereTheTagsStand) {
  // Bitmap 1 is defined, freed and defined again; the tags stand after the second one.
  ZuSwfTagSet source;
  source.AppendTag(Bitmap(1, 10));
  source.AppendTag(Make(F::kFreeCharacter, {1, 0}));
  source.AppendTag(Bitmap(1, 20));
  ZuSwfTag* place = Place(2, 1);
  source.AppendTag(place);
  source.AppendTag(Bitmap(1, 30));
  source.AppendTag(Shape(2, 1));  // defined after the anchor: not in force there

  std::list<ZuSwfTag*> tags = {place, Shape(3, 1)};
  source.BuildDependencyList(tags, &source);
  ASSERT_EQ(tags.size(), 3u);
  const ZuSwfTag* added = tags.front();
  EXPECT_EQ(added->GetTagType(), F::kDefineBitsLossless2);
  EXPECT_EQ(added->GetBody()[3], 20);  // the width marks which definition it is
  delete tags.front();
  delete tags.back();
}

// A null source means the set itself.
TEST(TagDependencies, CyclesEndAndNothingNeededAddsNothing) {
  ZuSwfTagSet source;
  source.AppendTag(Sprite(1, 2));
  source.AppendTag(Sprite(2, 1));  // each sprite places the other
  source.AppendTag(nullptr);       // an empty slot is passed over
  std::list<ZuSwfTag*> tags = {Place(1, 1)};
  source.BuildDependencyList(tags, nullptr);
  EXPECT_EQ(
      Summarize(tags),
      (std::vector<Summary>{{F::kDefineSprite, 1}, {F::kDefineSprite, 2}, {F::kPlaceObject2, 0}}));
  for (ZuSwfTag* tag : tags) delete tag;

  std::list<ZuSwfTag*> plain = {Make(F::kShowFrame, {}), Make(F::kRemoveObject2, {1, 0})};
  source.BuildDependencyList(plain, &source);
  EXPECT_EQ(plain.size(), 2u);
  for (ZuSwfTag* tag : plain) delete tag;
}

}  // namespace
