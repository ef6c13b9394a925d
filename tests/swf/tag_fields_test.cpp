// Tag classes: the factory, decoded fields both ways, text lines, header forms, and the
// bodies the library builds (placements, image shapes), checked by the independent parser.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfDefineSpriteTag.h"
#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoIDMap.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
using F = ZuSwfTagFactory;

std::unique_ptr<ZuSwfTag> Load(uint16_t code, const Bytes& body, bool longHeader = false) {
  return std::unique_ptr<ZuSwfTag>(
      F::CreateTagFromBody(static_cast<enuTagType>(code), ZuSharedBytes::Copy(body), longHeader));
}

Bytes BodyOf(const ZuSwfTag& tag) {
  ZuSharedBytes body = tag.GetBody();
  return Bytes(body.begin(), body.end());
}

std::string TextOf(const ZuSwfTag& tag) {
  ZuString text("stale text that must be replaced");
  tag.GetTextRep(text);
  return text.GetUTF8String();
}

// Writes tags (code, body) into a one-frame movie and returns what the independent
// parser lists, failing the test when it cannot read the file.
std::vector<int> OracleCodesOf(const std::vector<std::pair<uint16_t, Bytes>>& tags) {
  TempDir dir;
  SwfBuilder builder;
  builder.StageSize(100, 100);
  for (const auto& [code, body] : tags) builder.Tag(code, body);
  builder.ShowFrame();
  std::string error;
  std::vector<int> codes = OracleTagCodes(builder.WriteTo(dir.File("tags.swf")), &error);
  EXPECT_EQ(error, "");
  return codes;
}

const std::vector<uint16_t>& AllCodes() {
  static const std::vector<uint16_t> codes = {
      0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 22, 23,
      24, 26, 28, 32, 33, 34, 35, 36, 37, 39, 41, 43, 45, 46, 48, 56, 57, 58, 59, 60, 61, 62, 63,
      64, 65, 66, 69, 70, 71, 73, 74, 75, 76, 77, 78, 82, 83, 84, 86, 87, 88, 89, 90, 91, 93, 94};
  return codes;
}

TEST(TagFactory, EveryCodeHasItsOwnName) {
  std::set<std::string_view> names;
  for (uint16_t code : AllCodes()) {
    std::string_view name = F::GetTagName(code);
    EXPECT_NE(name, "Unknown") << code;
    EXPECT_TRUE(names.insert(name).second) << name;
  }
  EXPECT_EQ(F::GetTagName(26), "PlaceObject2");
  EXPECT_EQ(F::GetTagName(36), "DefineBitsLossless2");
  EXPECT_EQ(F::GetTagName(86), "DefineSceneAndFrameLabelData");
  for (uint16_t code : {16, 25, 27, 95, 200, 1023, 65535})
    EXPECT_EQ(F::GetTagName(code), "Unknown");
}

TEST(TagFactory, PicksTheClassForEachCode) {
  struct Case {
    uint16_t code;
    bool (*isClass)(const ZuSwfTag*);
  };
  auto place = [](const ZuSwfTag* t) {
    return dynamic_cast<const ZuSwfPlaceObject2Tag*>(t) != nullptr;
  };
  auto remove = [](const ZuSwfTag* t) {
    return dynamic_cast<const ZuSwfRemoveObjectTag*>(t) != nullptr;
  };
  auto freed = [](const ZuSwfTag* t) {
    return dynamic_cast<const ZuSwfFreeCharacterTag*>(t) != nullptr;
  };
  auto bitmap = [](const ZuSwfTag* t) {
    return dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(t) != nullptr;
  };
  auto shape = [](const ZuSwfTag* t) {
    return dynamic_cast<const ZuSwfDefineShapeTag*>(t) != nullptr;
  };
  auto sprite = [](const ZuSwfTag* t) {
    return dynamic_cast<const ZuSwfDefineSpriteTag*>(t) != nullptr;
  };
  auto plain = [](const ZuSwfTag* t) { return typeid(*t) == typeid(ZuSwfTag); };
  const Case cases[] = {{26, place},  {70, place},  {5, remove}, {28, remove}, {3, freed},
                        {20, bitmap}, {36, bitmap}, {2, shape},  {22, shape},  {32, shape},
                        {83, shape},  {39, sprite}, {4, plain},  {94, plain},  {1, plain},
                        {12, plain},  {35, plain},  {46, plain}, {300, plain}};
  for (const Case& c : cases) {
    auto loaded = Load(c.code, {1, 0, 0, 0});
    std::unique_ptr<ZuSwfTag> created(F::CreateTagOfType(static_cast<enuTagType>(c.code), 0, 0));
    std::unique_ptr<ZuSwfTag> clone(loaded->Clone());
    EXPECT_TRUE(c.isClass(loaded.get())) << c.code;
    EXPECT_TRUE(c.isClass(created.get())) << c.code;
    EXPECT_TRUE(c.isClass(clone.get())) << c.code;
    EXPECT_EQ(created->GetTagType(), c.code);
  }
}

TEST(TagFactory, NewTagsHaveMinimalValidBodies) {
  std::vector<std::pair<uint16_t, Bytes>> forOracle;
  for (uint16_t code : AllCodes()) {
    std::unique_ptr<ZuSwfTag> tag(F::CreateTagOfType(static_cast<enuTagType>(code), 0, 0));
    Bytes body = BodyOf(*tag);
    ZuSwfIdFields fields;
    EXPECT_TRUE(ZuSwfLocateIds(code, body, fields)) << code;
    EXPECT_EQ(tag->GetCharacterId(), 0) << code;
    if (ZuSwfIsDefinitionCode(code)) {
      EXPECT_GE(body.size(), 2u) << code;
      tag->SetCharacterId(77);
      EXPECT_EQ(tag->GetCharacterId(), 77) << code;
    }
  }
  EXPECT_EQ(BodyOf(*std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(F::kFreeCharacter, 0, 0))),
            (Bytes{0, 0}));
  EXPECT_EQ(BodyOf(*std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(F::kRemoveObject2, 0, 0))),
            (Bytes{0, 0}));
  EXPECT_EQ(BodyOf(*std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(F::kPlaceObject2, 0, 0))),
            (Bytes{0, 0, 0}));
  // The bodies of the tags the engine creates are read by the independent parser.
  for (uint16_t code :
       {F::kFreeCharacter, F::kRemoveObject2, F::kRemoveObject, F::kDefineShape, F::kDefineShape2,
        F::kDefineShape3, F::kDefineShape4, F::kDefineSprite, F::kSetBackgroundColor,
        F::kFrameLabel, F::kDoAction, F::kFileAttributes, F::kDefineBitsLossless2}) {
    std::unique_ptr<ZuSwfTag> tag(F::CreateTagOfType(static_cast<enuTagType>(code), 0, 0));
    forOracle.emplace_back(code, BodyOf(*tag));
  }
  std::vector<int> expected;
  for (const auto& tag : forOracle) expected.push_back(tag.first);
  expected.push_back(F::kShowFrame);
  EXPECT_EQ(OracleCodesOf(forOracle), expected);
}

TEST(TagHeader, LongFormRules) {
  struct Case {
    const char* name;
    std::unique_ptr<ZuSwfTag> tag;
    bool longHeader;
    size_t writtenSize;
  };
  Case cases[] = {
      {"loaded short bitmap keeps its form", Load(36, Bytes(10)), false, 12},
      {"loaded long small tag keeps its form", Load(1, {}, true), true, 6},
      {"62-byte body", Load(12, Bytes(62)), false, 64},
      {"63-byte body", Load(12, Bytes(63)), true, 69},
      {"new DefineBitsLossless2",
       std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(F::kDefineBitsLossless2, 0, 0)), true, 21},
      {"new DefineBits", std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(F::kDefineBits, 0, 0)), true,
       8},
      {"new DefineBitsJPEG4",
       std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(F::kDefineBitsJPEG4, 0, 0)), true, 8},
      {"new PlaceObject2", std::unique_ptr<ZuSwfTag>(F::CreateTagOfType(F::kPlaceObject2, 0, 0)),
       false, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.tag->UsesLongHeader(), c.longHeader) << c.name;
    EXPECT_EQ(c.tag->GetWrittenSize(), c.writtenSize) << c.name;
  }
}

// One table drives both directions: the fields make the body, and the body decodes back
// to the fields. Positions are pixels; the body holds twips, rounded.
TEST(TagPlaceObject2, CreateAndDecodeBothWays) {
  struct Case {
    uint16_t id;
    uint16_t depth;
    double x, y;
    std::string name;
    std::vector<ZuTavoFilter> filters;
    uint16_t code;
    Bytes body;
    int32_t twipsX, twipsY;
  };
  const Bytes blur = {0, 0, 4, 0, 0, 0, 4, 0, 0x08};
  const Case cases[] = {
      {2, 1, 0, 0, "", {}, 26, {0x06, 1, 0, 2, 0, 0x00}, 0, 0},
      {3, 101, 1.0, -1.0, "", {}, 26, {0x06, 101, 0, 3, 0, 0x0C, 0xA5, 0x80}, 20, -20},
      {3,
       2,
       0.524,
       0.026,
       "pic",
       {},
       26,
       {0x26, 2, 0, 3, 0, 0x0A, 0xA0, 0x80, 'p', 'i', 'c', 0},
       10,
       1},
      {5,
       3,
       0,
       0,
       "",
       {{1, blur}},
       70,
       {0x06, 0x01, 3, 0, 5, 0, 0x00, 1, 1, 0, 0, 4, 0, 0, 0, 4, 0, 0x08},
       0,
       0},
  };
  std::vector<std::pair<uint16_t, Bytes>> forOracle;
  for (const Case& c : cases) {
    std::vector<ZuTavoFilter*> filters;
    std::vector<ZuTavoFilter> copies = c.filters;
    for (ZuTavoFilter& filter : copies) filters.push_back(&filter);
    std::unique_ptr<ZuSwfPlaceObject2Tag> made(
        ZuSwfPlaceObject2Tag::Create(c.id, c.depth, c.x, c.y, c.name, filters));
    EXPECT_EQ(made->GetTagType(), c.code);
    EXPECT_EQ(BodyOf(*made), c.body);

    auto loaded = Load(c.code, c.body);
    auto* place = dynamic_cast<ZuSwfPlaceObject2Tag*>(loaded.get());
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->GetDepth(), c.depth);
    EXPECT_EQ(place->GetPlacedCharacterId(), std::optional<uint16_t>(c.id));
    EXPECT_FALSE(place->IsMove());
    ASSERT_TRUE(place->GetMatrix().has_value());
    EXPECT_EQ(place->GetMatrix()->translateX, c.twipsX);
    EXPECT_EQ(place->GetMatrix()->translateY, c.twipsY);
    EXPECT_EQ(place->GetMatrix()->scaleX, 1 << 16);
    EXPECT_FALSE(place->GetColorTransform().has_value());
    EXPECT_FALSE(place->GetClipDepth().has_value());
    forOracle.emplace_back(c.code, c.body);
  }
  EXPECT_EQ(OracleCodesOf(forOracle), (std::vector<int>{26, 26, 26, 70, 1}));
}

TEST(TagPlaceObject2, DecodesMovesColorTransformsAndClipDepths) {
  // Move at depth 4, colour transform (add terms, 1 bit... -1 alpha), ratio 9, clip depth 7.
  auto tag = Load(26, {0x59, 4, 0, 0x84, 0x40, 9, 0, 7, 0});
  auto* place = dynamic_cast<ZuSwfPlaceObject2Tag*>(tag.get());
  ASSERT_NE(place, nullptr);
  EXPECT_TRUE(place->IsMove());
  EXPECT_EQ(place->GetDepth(), 4);
  EXPECT_FALSE(place->GetPlacedCharacterId().has_value());
  ASSERT_TRUE(place->GetColorTransform().has_value());
  EXPECT_EQ(place->GetColorTransform()->alphaAdd, -1);
  EXPECT_EQ(place->GetClipDepth(), std::optional<uint16_t>(7));
  // Cut before the clip depth: the depth still reads, the rest does not.
  auto cut = Load(26, {0x59, 4, 0, 0x84, 0x40, 9, 0, 7});
  auto* cutPlace = dynamic_cast<ZuSwfPlaceObject2Tag*>(cut.get());
  EXPECT_EQ(cutPlace->GetDepth(), 4);
  EXPECT_FALSE(cutPlace->GetClipDepth().has_value());
  EXPECT_FALSE(cutPlace->GetMatrix().has_value());
  // PlaceObject3 keeps its depth after the second flag byte.
  auto three = Load(70, {0x02, 0x08, 9, 0, 'c', 0, 5, 0});
  EXPECT_EQ(dynamic_cast<ZuSwfPlaceObject2Tag*>(three.get())->GetDepth(), 9);
  EXPECT_EQ(dynamic_cast<ZuSwfPlaceObject2Tag*>(three.get())->GetPlacedCharacterId(),
            std::optional<uint16_t>(5));
}

TEST(TagRemoveObject, FieldsAndBodyBothWays) {
  struct Case {
    uint16_t code;
    uint16_t characterId;
    uint16_t depth;
    Bytes body;
  };
  const Case cases[] = {
      {28, 0, 5, {5, 0}},
      {28, 0, 0x1234, {0x34, 0x12}},
      {5, 3, 7, {3, 0, 7, 0}},
  };
  for (const Case& c : cases) {
    auto loaded = Load(c.code, c.body);
    auto* remove = dynamic_cast<ZuSwfRemoveObjectTag*>(loaded.get());
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(remove->m_depth, c.depth);
    EXPECT_EQ(remove->m_characterId, c.characterId);
    std::unique_ptr<ZuSwfTag> created(F::CreateTagOfType(static_cast<enuTagType>(c.code), 0, 0));
    auto* fresh = dynamic_cast<ZuSwfRemoveObjectTag*>(created.get());
    ASSERT_NE(fresh, nullptr);
    fresh->m_depth = c.depth;
    fresh->m_characterId = c.characterId;
    EXPECT_EQ(BodyOf(*fresh), c.body);
    EXPECT_EQ(fresh->GetWrittenSize(), 2 + c.body.size());
  }
}

TEST(TagRemoveObject, UnchangedBodiesStayShared) {
  ZuSharedBytes bytes = ZuSharedBytes::Copy(Bytes{5, 0});
  std::unique_ptr<ZuSwfTag> tag(F::CreateTagFromBody(F::kRemoveObject2, bytes, false));
  EXPECT_EQ(tag->GetBody().data(), bytes.data());
  dynamic_cast<ZuSwfRemoveObjectTag*>(tag.get())->m_depth = 6;
  EXPECT_EQ(BodyOf(*tag), (Bytes{6, 0}));
  EXPECT_EQ(bytes[0], 5);
}

TEST(TagRemoveObject, ShortBodiesAreWrittenBackUnlessGivenFields) {
  auto tag = Load(28, {5});
  auto* remove = dynamic_cast<ZuSwfRemoveObjectTag*>(tag.get());
  EXPECT_EQ(remove->m_depth, 0);
  EXPECT_EQ(BodyOf(*tag), (Bytes{5}));
  remove->m_depth = 9;
  EXPECT_EQ(BodyOf(*tag), (Bytes{9, 0}));
}

TEST(TagBitmap, HeaderFields) {
  struct Case {
    uint16_t code;
    Bytes body;
    uint8_t format;
    uint16_t width, height;
    bool alpha;
  };
  const Case cases[] = {
      {36, {3, 0, 5, 0x80, 2, 0xE0, 1, 0x78}, 5, 640, 480, true},
      {20, {3, 0, 3, 1, 0, 2, 0, 0}, 3, 1, 2, false},
      {36, {3, 0, 5, 0x80, 2, 0xE0}, 0, 0, 0, true},  // too short for the header
      {36, {}, 0, 0, 0, true},
  };
  for (const Case& c : cases) {
    auto tag = Load(c.code, c.body);
    auto* bitmap = dynamic_cast<ZuSwfDefineBitsLossless2Tag*>(tag.get());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetBitmapFormat(), c.format);
    EXPECT_EQ(bitmap->GetBitmapWidth(), c.width);
    EXPECT_EQ(bitmap->GetBitmapHeight(), c.height);
    EXPECT_EQ(bitmap->HasAlpha(), c.alpha);
  }
}

TEST(TagShape, BoundsAndBitmapIds) {
  // Bounds 0..40 x 0..20 twips; a gradient fill, a bitmap fill (7), then new styles with
  // a bitmap fill (9).
  const Bytes body = {4,    0, 0x38, 0x05, 0x00, 0x0A, 0x00, 2,    0x10, 0x00, 0x01,
                      0,    1, 2,    3,    4,    0x41, 7,    0,    0x00, 0,    0x20,
                      0x40, 1, 0x42, 9,    0,    0x00, 0,    0x10, 0x00};
  auto tag = Load(32, body);
  auto* shape = dynamic_cast<ZuSwfDefineShapeTag*>(tag.get());
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->GetShapeBounds(), (ZuSwfRect{0, 40, 0, 20}));
  EXPECT_EQ(shape->GetBitmapIds(), (std::vector<uint16_t>{7, 9}));
  auto cut = Load(32, Bytes(body.begin(), body.begin() + 20));
  EXPECT_TRUE(dynamic_cast<ZuSwfDefineShapeTag*>(cut.get())->GetBitmapIds().empty());
  auto empty = Load(32, {});
  EXPECT_EQ(dynamic_cast<ZuSwfDefineShapeTag*>(empty.get())->GetShapeBounds(), ZuSwfRect());
}

TEST(TagShape, CreateShapeForImageBytes) {
  // A 2 x 1 pixel image of bitmap 7: bounds 40 x 20 twips; one clipped, unsmoothed
  // bitmap fill scaled by 20; style change (move to 0,0, fill style 0 = 1); four edges.
  std::unique_ptr<ZuSwfTag> tag(F::CreateTagOfType(F::kDefineShape3, 0, 0));
  tag->SetCharacterId(4);
  dynamic_cast<ZuSwfDefineShapeTag*>(tag.get())->CreateShapeForImage(7, 0, 0, 2, 1, 2, 1, 0);
  EXPECT_EQ(tag->GetTagType(), F::kDefineShape3);
  EXPECT_EQ(BodyOf(*tag), (Bytes{0x04, 0x00, 0x38, 0x05, 0x00, 0x0A, 0x00, 0x01, 0x43, 0x07,
                                 0x00, 0xD9, 0x40, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x10,
                                 0x0C, 0x1D, 0x45, 0x1A, 0x2A, 0x6A, 0x58, 0xD1, 0xB0, 0x00}));
}

TEST(TagShape, CreateShapeForImageParsesBack) {
  struct Case {
    uint16_t bitmapId;
    int x, y, width, height;
  };
  // The last case needs edges longer than one straight edge can hold.
  const Case cases[] = {{1, 0, 0, 1, 1},
                        {2, 0, 0, 640, 480},
                        {3, 5, 7, 30, 20},
                        {500, 0, 0, 3840, 2160},
                        {9, 4000, 10, 8, 8}};
  std::vector<std::pair<uint16_t, Bytes>> forOracle;
  std::vector<int> expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    std::unique_ptr<ZuSwfTag> tag(F::CreateTagOfType(F::kDefineShape, 0, 0));
    tag->SetCharacterId(static_cast<uint16_t>(c.bitmapId + 1));
    auto* shape = dynamic_cast<ZuSwfDefineShapeTag*>(tag.get());
    shape->CreateShapeForImage(c.bitmapId, c.x, c.y, c.width, c.height, c.width, c.height, 0);
    EXPECT_EQ(tag->GetTagType(), F::kDefineShape3);
    EXPECT_EQ(tag->GetCharacterId(), c.bitmapId + 1);
    EXPECT_EQ(shape->GetShapeBounds(),
              (ZuSwfRect{c.x * 20, (c.x + c.width) * 20, c.y * 20, (c.y + c.height) * 20}));
    EXPECT_EQ(shape->GetBitmapIds(), std::vector<uint16_t>{c.bitmapId});
    std::unique_ptr<ZuSwfTag> bitmap(FmrMovieBuilder::MakeBitmap(c.bitmapId, 1, 1, 0xFF0000));
    forOracle.emplace_back(F::kDefineBitsLossless2, BodyOf(*bitmap));
    forOracle.emplace_back(F::kDefineShape3, BodyOf(*tag));
    expected.push_back(F::kDefineBitsLossless2);
    expected.push_back(F::kDefineShape3);
  }
  expected.push_back(F::kShowFrame);
  EXPECT_EQ(OracleCodesOf(forOracle), expected);
}

TEST(TagText, OneLinePerTag) {
  struct Case {
    uint16_t code;
    Bytes body;
    std::string text;
  };
  const Case cases[] = {
      {1, {}, "ShowFrame (1) length=0"},
      {200, {1, 2, 3, 4}, "Unknown (200) length=4"},
      {9, {0x12, 0xAB, 0xFF}, "SetBackgroundColor (9) length=3 color=#12abff"},
      {43, {'i', 'n', 't', 'r', 'o', 0}, "FrameLabel (43) length=6 name=intro"},
      {43, {'a', '\n', 'b', 0}, "FrameLabel (43) length=4 name=a?b"},
      {12, {0x07, 0x00}, "DoAction (12) length=2"},
      {69, {0x08, 0, 0, 0}, "FileAttributes (69) length=4 flags=8"},
      {26,
       {0x06, 1, 0, 2, 0, 0x0C, 0xA5, 0x80},
       "PlaceObject2 (26) length=8 depth=1 id=2 matrix=65536,65536,0,0,20,-20"},
      {26, {0x01, 5, 0}, "PlaceObject2 (26) length=3 depth=5 move"},
      {26, {0x22, 1, 0, 2, 0, 'n', 0}, "PlaceObject2 (26) length=7 depth=1 id=2 name=n"},
      {26, {0x06, 1, 0}, "PlaceObject2 (26) length=3 malformed"},
      {28, {5, 0}, "RemoveObject2 (28) length=2 depth=5"},
      {5, {3, 0, 7, 0}, "RemoveObject (5) length=4 ref=3 depth=7"},
      {3, {9, 0}, "FreeCharacter (3) length=2 ref=9"},
      {36,
       {3, 0, 5, 0x80, 2, 0xE0, 1, 0x78, 0x9C},
       "DefineBitsLossless2 (36) length=9 id=3 format=5 width=640 height=480"},
      {20, {3, 0, 5}, "DefineBitsLossless (20) length=3 id=3 malformed"},
      {2,
       {10, 0, 0x00, 1, 0x41, 3, 0, 0x00, 0, 0x10, 0x00},
       "DefineShape (2) length=11 id=10 bounds=0,0,0,0 bitmap=3"},
      {32, {10, 0, 0x00, 1, 0x41}, "DefineShape3 (32) length=5 id=10 bounds=0,0,0,0 malformed"},
      {39,
       {14, 0, 2, 0, 0x86, 0x06, 0x06, 1, 0, 3, 0, 0x00, 0x40, 0x00, 0x00, 0x00},
       "DefineSprite (39) length=16 id=14 ref=3 frames=2 tags=3"},
      {56, {2, 0, 3, 0, 'a', 0, 50, 0, 'b', 0}, "ExportAssets (56) length=10 ref=3 ref=50"},
      {57, {'u', 0, 1, 0, 7, 0, 'n', 0}, "ImportAssets (57) length=8 import=7"},
      {75, {6, 0, 0, 0, 0, 0}, "DefineFont3 (75) length=6 id=6"},
      {11,
       {1, 0, 0x00, 0x00, 1, 1, 0x88, 6, 0, 20, 0, 0, 0x00},
       "DefineText (11) length=13 id=1 ref=6"},
  };
  for (const Case& c : cases) {
    auto tag = Load(c.code, c.body);
    std::string text = TextOf(*tag);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(text.find('\n'), std::string::npos);
  }
}

}  // namespace
