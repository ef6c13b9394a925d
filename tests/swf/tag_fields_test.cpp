// Tag classes: the factory and its table, header forms, and one table of tags that drives
// both directions: each body reads back as its fields (the text line shows them), the tags
// the library makes give exactly that body, and every body is written into a movie that our
// loader and the independent parser read back.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <typeinfo>

#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfDefineSpriteTag.h"
#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

using F = ZuSwfTagFactory;
using TagList = std::vector<std::pair<uint16_t, Bytes>>;

std::unique_ptr<ZuSwfTag> NewTag(uint16_t code) {
  return std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(static_cast<enuTagType>(code), 0, 0));
}

// Writes tags (code, body) into a one-frame movie; our loader gives back the same bodies,
// and the independent parser reads every tag.
void ExpectWrittenAndReadBack(const TagList& tags) {
  TempDir dir;
  SwfBuilder builder;
  builder.StageSize(100, 100);
  std::vector<int> expected;
  for (const auto& [code, body] : tags) {
    builder.Tag(code, body);
    expected.push_back(code);
  }
  expected.push_back(F::kShowFrame);
  const std::string path = builder.ShowFrame().WriteTo(dir.File("tags.swf"));
  ZuTavoFile movie;
  ASSERT_EQ(LoadBytes(movie, builder.Build()), kZuSuccess);
  auto it = movie.begin();
  for (const auto& [code, body] : tags) {
    EXPECT_EQ(BodyOf(**it++), body) << code;
  }
  std::string error;
  EXPECT_EQ(OracleTagCodes(path, &error), expected);
  EXPECT_EQ(error, "");
}

TEST(TagFactory, TableGivesEachCodeItsNameClassAndMinimalBody) {
  std::set<std::string_view> names;
  TagList minimal;
  for (const ZuSwfTagInfo& info : ZuSwfKnownTags()) {
    EXPECT_TRUE(names.insert(info.name).second) << info.name;
    auto tag = NewTag(info.code);
    EXPECT_EQ(tag->GetTagType(), info.code);
    ZuSwfIdFields fields;
    EXPECT_TRUE(ZuSwfLocateIds(info.code, BodyOf(*tag), fields)) << info.name;
    if (info.definesCharacter) {
      tag->SetCharacterId(77);
      EXPECT_EQ(tag->GetCharacterId(), 77) << info.name;
    }
  }
  EXPECT_EQ(F::GetTagName(300), "Unknown");
  // The classes: a loaded, a new and a cloned tag of each code are of the same class.
  const std::pair<const std::type_info&, std::vector<uint16_t>> classes[] = {
      {typeid(ZuSwfPlaceObject2Tag), {26, 70}},
      {typeid(ZuSwfRemoveObjectTag), {5, 28}},
      {typeid(ZuSwfFreeCharacterTag), {3}},
      {typeid(ZuSwfDefineBitsLossless2Tag), {20, 36}},
      {typeid(ZuSwfDefineShapeTag), {2, 22, 32, 83}},
      {typeid(ZuSwfDefineSpriteTag), {39}},
      {typeid(ZuSwfTag), {4, 94, 1, 12, 35, 46, 300}},
  };
  for (const auto& [type, codes] : classes) {
    for (uint16_t code : codes) {
      auto loaded = LoadTag(code, {1, 0, 0, 0});
      std::unique_ptr<ZuSwfTag> clone(loaded->Clone());
      EXPECT_TRUE(typeid(*loaded) == type && typeid(*NewTag(code)) == type &&
                  typeid(*clone) == type)
          << code;
    }
  }
  // The new tags the engine makes are read by the independent parser.
  for (uint16_t code : {F::kFreeCharacter, F::kRemoveObject2, F::kRemoveObject, F::kDefineShape,
                        F::kDefineShape3, F::kDefineShape4, F::kDefineSprite, F::kFrameLabel,
                        F::kDoAction, F::kFileAttributes, F::kDefineBitsLossless2}) {
    minimal.emplace_back(code, BodyOf(*NewTag(code)));
  }
  ExpectWrittenAndReadBack(minimal);
}

TEST(TagHeader, LongFormRules) {
  const struct {
    const char* name;
    std::unique_ptr<ZuSwfTag> tag;
    bool longHeader;
    size_t writtenSize;
  } cases[] = {
      {"loaded short bitmap keeps its form", LoadTag(36, Bytes(10)), false, 12},
      {"loaded long small tag keeps its form", LoadTag(1, {}, true), true, 6},
      {"62-byte body", LoadTag(12, Bytes(62)), false, 64},
      {"63-byte body", LoadTag(12, Bytes(63)), true, 69},
      {"new DefineBitsLossless2", NewTag(F::kDefineBitsLossless2), true, 21},
      {"new DefineBitsJPEG4", NewTag(F::kDefineBitsJPEG4), true, 8},
      {"new PlaceObject2", NewTag(F::kPlaceObject2), false, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.tag->UsesLongHeader(), c.longHeader) << c.name;
    EXPECT_EQ(c.tag->GetWrittenSize(), c.writtenSize) << c.name;
  }
}

ZuSwfTag* Placement(uint16_t id, uint16_t depth, double x, double y, const std::string& name,
                    std::vector<ZuTavoFilter> filters = {}) {
  std::vector<ZuTavoFilter*> pointers;
  for (ZuTavoFilter& filter : filters) pointers.push_back(&filter);
  return ZuSwfPlaceObject2Tag::Create(id, depth, x, y, name, pointers);
}

ZuSwfTag* Removal(uint16_t code, uint16_t characterId, uint16_t depth) {
  auto* tag = static_cast<ZuSwfRemoveObjectTag*>(NewTag(code).release());
  tag->m_characterId = characterId;
  tag->m_depth = depth;
  return tag;
}

// A shape of id showing bitmap 7 on a width x height picture at 0,0.
ZuSwfTag* ImageShape(uint16_t id, int width, int height) {
  auto* tag = static_cast<ZuSwfDefineShapeTag*>(NewTag(F::kDefineShape3).release());
  tag->SetCharacterId(id);
  tag->CreateShapeForImage(7, 0, 0, width, height, width, height, 0);
  return tag;
}

TEST(TagFields, OneTableReadsAndWritesEveryKind) {
  const struct {
    uint16_t code;
    const char* body;
    const char* text;
    std::function<ZuSwfTag*()> make;  // how the library makes this body, if it does
  } cases[] = {
      {1, "", "ShowFrame (1) length=0", nullptr},
      {200, "01 02 03 04", "Unknown (200) length=4", nullptr},
      {9, "12 AB FF", "SetBackgroundColor (9) length=3 color=#12abff", nullptr},
      {43, "61 0A 62 00", "FrameLabel (43) length=4 name=a?b", nullptr},
      {69, "08 00 00 00", "FileAttributes (69) length=4 flags=8", nullptr},
      {26, "06 01 00 02 00 00",
       "PlaceObject2 (26) length=6 depth=1 id=2 matrix=65536,65536,0,0,0,0",
       [] { return Placement(2, 1, 0, 0, ""); }},
      {26, "06 65 00 03 00 0C A5 80",
       "PlaceObject2 (26) length=8 depth=101 id=3 matrix=65536,65536,0,0,20,-20",
       [] { return Placement(3, 101, 1.0, -1.0, ""); }},
      {26, "26 02 00 03 00 0A A0 80 70 69 63 00",
       "PlaceObject2 (26) length=12 depth=2 id=3 matrix=65536,65536,0,0,10,1 name=pic",
       [] { return Placement(3, 2, 0.524, 0.026, "pic"); }},
      {70, "06 01 03 00 05 00 00 01 01 00 00 04 00 00 00 04 00 08",
       "PlaceObject3 (70) length=18 depth=3 id=5 matrix=65536,65536,0,0,0,0",
       [] {
         return Placement(5, 3, 0, 0, "", {{1, Hex("00 00 04 00 00 00 04 00 08")}});
       }},
      {26, "01 05 00", "PlaceObject2 (26) length=3 depth=5 move", nullptr},
      {26, "59 04 00 84 40 09 00 07 00",
       "PlaceObject2 (26) length=9 depth=4 move cxform ratio=9 clipdepth=7", nullptr},
      {26, "06 01 00", "PlaceObject2 (26) length=3 malformed", nullptr},
      {28, "34 12", "RemoveObject2 (28) length=2 depth=4660",
       [] { return Removal(28, 0, 0x1234); }},
      {5, "03 00 07 00", "RemoveObject (5) length=4 ref=3 depth=7",
       [] { return Removal(5, 3, 7); }},
      {3, "09 00", "FreeCharacter (3) length=2 ref=9", nullptr},
      {36, "03 00 05 80 02 E0 01 78 9C",
       "DefineBitsLossless2 (36) length=9 id=3 format=5 width=640 height=480", nullptr},
      {20, "03 00 05", "DefineBitsLossless (20) length=3 id=3 malformed", nullptr},
      {2, "0A 00 00 01 41 03 00 00 00 10 00",
       "DefineShape (2) length=11 id=10 bounds=0,0,0,0 bitmap=3", nullptr},
      {32,
       "04 00 38 05 00 0A 00 01 43 07 00 D9 40 00 05 00 00 00 00 10 0C 1D 45 1A 2A 6A 58 D1 B0 00",
       "DefineShape3 (32) length=30 id=4 bounds=0,0,40,20 bitmap=7",
       [] { return ImageShape(4, 2, 1); }},
      {32, "0A 00 00 01 41", "DefineShape3 (32) length=5 id=10 bounds=0,0,0,0 malformed", nullptr},
      {39, "0E 00 02 00 86 06 06 01 00 03 00 00 40 00 00 00",
       "DefineSprite (39) length=16 id=14 ref=3 frames=2 tags=3", nullptr},
      {56, "02 00 03 00 61 00 32 00 62 00", "ExportAssets (56) length=10 ref=3 ref=50", nullptr},
      {57, "75 00 01 00 07 00 6E 00", "ImportAssets (57) length=8 import=7", nullptr},
      {11, "01 00 00 00 01 01 88 06 00 14 00 00 00", "DefineText (11) length=13 id=1 ref=6",
       nullptr},
  };
  TagList tags;
  for (const auto& c : cases) {
    ZuString text("stale text that must be replaced");
    LoadTag(c.code, Hex(c.body))->GetTextRep(text);
    EXPECT_EQ(text.GetUTF8String(), c.text);
    if (c.make) {
      std::unique_ptr<ZuSwfTag> made(c.make());
      EXPECT_EQ(made->GetTagType(), c.code) << c.text;
      EXPECT_EQ(BodyOf(*made), Hex(c.body)) << c.text;
    }
    if (std::string(c.text).find("malformed") == std::string::npos) {
      tags.emplace_back(c.code, Hex(c.body));
    }
  }
  ExpectWrittenAndReadBack(tags);
}

// Image shapes of other sizes and places parse back; the last needs edges longer than one
// straight edge can hold.
TEST(TagFields, ImageShapesOfAnySize) {
  const struct {
    uint16_t bitmapId;
    int x, y, width, height;
  } cases[] = {{1, 0, 0, 1, 1}, {3, 5, 7, 30, 20}, {500, 0, 0, 3840, 2160}, {9, 4000, 10, 8, 8}};
  for (const auto& c : cases) {
    auto shape = NewTag(F::kDefineShape);
    auto& geometry = dynamic_cast<ZuSwfDefineShapeTag&>(*shape);
    geometry.CreateShapeForImage(c.bitmapId, c.x, c.y, c.width, c.height, c.width, c.height, 0);
    EXPECT_EQ(shape->GetTagType(), F::kDefineShape3);
    EXPECT_EQ(geometry.GetShapeBounds(),
              (ZuSwfRect{c.x * 20, (c.x + c.width) * 20, c.y * 20, (c.y + c.height) * 20}));
    EXPECT_EQ(geometry.GetBitmapIds(), std::vector<uint16_t>{c.bitmapId});
  }
}

}  // namespace
