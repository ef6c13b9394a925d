// Tag classes: the factory, decoded fields both ways, text lines, header forms, and the
// bodies the library builds (placements, image shapes), checked by the independent parser.
#include <gtest/gtest.h>

#include <set>
#include <typeinfo>

#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfDefineSpriteTag.h"
#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "tests/support/FmrMovieBuilder.h"
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

// Writes tags (code, body) into a one-frame movie; the independent parser reads them all.
void ExpectOracleReads(const TagList& tags) {
  TempDir dir;
  SwfBuilder builder;
  builder.StageSize(100, 100);
  std::vector<int> expected;
  for (const auto& [code, body] : tags) {
    builder.Tag(code, body);
    expected.push_back(code);
  }
  expected.push_back(F::kShowFrame);
  std::string error;
  EXPECT_EQ(OracleTagCodes(builder.ShowFrame().WriteTo(dir.File("tags.swf")), &error), expected);
  EXPECT_EQ(error, "");
}

const std::vector<uint16_t> kAllCodes = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 22, 23,
    24, 26, 28, 32, 33, 34, 35, 36, 37, 39, 41, 43, 45, 46, 48, 56, 57, 58, 59, 60, 61, 62, 63,
    64, 65, 66, 69, 70, 71, 73, 74, 75, 76, 77, 78, 82, 83, 84, 86, 87, 88, 89, 90, 91, 93, 94};

TEST(TagFactory, EveryCodeHasItsOwnName) {
  std::set<std::string_view> names;
  for (uint16_t code : kAllCodes) {
    EXPECT_NE(F::GetTagName(code), "Unknown") << code;
    EXPECT_TRUE(names.insert(F::GetTagName(code)).second) << F::GetTagName(code);
  }
  EXPECT_EQ(F::GetTagName(26), "PlaceObject2");
  EXPECT_EQ(F::GetTagName(86), "DefineSceneAndFrameLabelData");
  for (uint16_t code : {16, 25, 27, 95, 200, 1023, 65535}) {
    EXPECT_EQ(F::GetTagName(code), "Unknown");
  }
}

template <class T>
bool Is(const ZuSwfTag* tag) {
  return dynamic_cast<const T*>(tag) != nullptr;
}

bool IsPlain(const ZuSwfTag* tag) {
  return typeid(*tag) == typeid(ZuSwfTag);
}

TEST(TagFactory, PicksTheClassForEachCode) {
  const struct {
    bool (*isClass)(const ZuSwfTag*);
    std::vector<uint16_t> codes;
  } cases[] = {
      {Is<ZuSwfPlaceObject2Tag>, {26, 70}},       {Is<ZuSwfRemoveObjectTag>, {5, 28}},
      {Is<ZuSwfFreeCharacterTag>, {3}},           {Is<ZuSwfDefineBitsLossless2Tag>, {20, 36}},
      {Is<ZuSwfDefineShapeTag>, {2, 22, 32, 83}}, {Is<ZuSwfDefineSpriteTag>, {39}},
      {IsPlain, {4, 94, 1, 12, 35, 46, 300}},
  };
  for (const auto& c : cases) {
    for (uint16_t code : c.codes) {
      auto loaded = LoadTag(code, {1, 0, 0, 0});
      auto created = NewTag(code);
      std::unique_ptr<ZuSwfTag> clone(loaded->Clone());
      EXPECT_TRUE(c.isClass(loaded.get()) && c.isClass(created.get()) && c.isClass(clone.get()))
          << code;
      EXPECT_EQ(created->GetTagType(), code);
    }
  }
}

TEST(TagFactory, NewTagsHaveMinimalValidBodies) {
  for (uint16_t code : kAllCodes) {
    auto tag = NewTag(code);
    ZuSwfIdFields fields;
    EXPECT_TRUE(ZuSwfLocateIds(code, BodyOf(*tag), fields)) << code;
    EXPECT_EQ(tag->GetCharacterId(), 0) << code;
    if (ZuSwfIsDefinitionCode(code)) {
      EXPECT_GE(BodyOf(*tag).size(), 2u) << code;
      tag->SetCharacterId(77);
      EXPECT_EQ(tag->GetCharacterId(), 77) << code;
    }
  }
  EXPECT_EQ(BodyOf(*NewTag(F::kFreeCharacter)), (Bytes{0, 0}));
  EXPECT_EQ(BodyOf(*NewTag(F::kRemoveObject2)), (Bytes{0, 0}));
  EXPECT_EQ(BodyOf(*NewTag(F::kPlaceObject2)), (Bytes{0, 0, 0}));
  // The bodies of the tags the engine creates are read by the independent parser.
  TagList tags;
  for (uint16_t code :
       {F::kFreeCharacter, F::kRemoveObject2, F::kRemoveObject, F::kDefineShape, F::kDefineShape2,
        F::kDefineShape3, F::kDefineShape4, F::kDefineSprite, F::kSetBackgroundColor,
        F::kFrameLabel, F::kDoAction, F::kFileAttributes, F::kDefineBitsLossless2}) {
    tags.emplace_back(code, BodyOf(*NewTag(code)));
  }
  ExpectOracleReads(tags);
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
      {"new DefineBits", NewTag(F::kDefineBits), true, 8},
      {"new DefineBitsJPEG4", NewTag(F::kDefineBitsJPEG4), true, 8},
      {"new PlaceObject2", NewTag(F::kPlaceObject2), false, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.tag->UsesLongHeader(), c.longHeader) << c.name;
    EXPECT_EQ(c.tag->GetWrittenSize(), c.writtenSize) << c.name;
  }
}

// One table drives both directions: the fields make the body, and the body decodes back
// to the fields. Positions are pixels; the body holds twips, rounded.
TEST(TagPlaceObject2, CreateAndDecodeBothWays) {
  struct Case {
    uint16_t id, depth;
    double x, y;
    std::string name;
    std::vector<ZuTavoFilter> filters;
    uint16_t code;
    const char* body;
    int32_t twipsX, twipsY;
  };
  const ZuTavoFilter blur{1, Hex("00 00 04 00 00 00 04 00 08")};
  const Case cases[] = {
      {2, 1, 0, 0, "", {}, 26, "06 01 00 02 00 00", 0, 0},
      {3, 101, 1.0, -1.0, "", {}, 26, "06 65 00 03 00 0C A5 80", 20, -20},
      {3, 2, 0.524, 0.026, "pic", {}, 26, "26 02 00 03 00 0A A0 80 70 69 63 00", 10, 1},
      {5, 3, 0, 0, "", {blur}, 70, "06 01 03 00 05 00 00 01 01 00 00 04 00 00 00 04 00 08", 0, 0},
  };
  TagList tags;
  for (const auto& c : cases) {
    std::vector<ZuTavoFilter> copies = c.filters;
    std::vector<ZuTavoFilter*> filters;
    for (ZuTavoFilter& filter : copies) filters.push_back(&filter);
    std::unique_ptr<ZuSwfPlaceObject2Tag> made(
        ZuSwfPlaceObject2Tag::Create(c.id, c.depth, c.x, c.y, c.name, filters));
    EXPECT_EQ(made->GetTagType(), c.code);
    EXPECT_EQ(BodyOf(*made), Hex(c.body));

    auto loaded = LoadTag(c.code, Hex(c.body));
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
    tags.emplace_back(c.code, Hex(c.body));
  }
  ExpectOracleReads(tags);
}

ZuSwfPlaceObject2Tag& AsPlacement(const std::unique_ptr<ZuSwfTag>& tag) {
  return dynamic_cast<ZuSwfPlaceObject2Tag&>(*tag);
}

TEST(TagPlaceObject2, DecodesMovesColorTransformsAndClipDepths) {
  // Move at depth 4, colour transform (add terms, 1 bit: alpha -1), ratio 9, clip depth 7.
  auto tag = LoadTag(26, Hex("59 04 00 84 40 09 00 07 00"));
  const ZuSwfPlaceObject2Tag& place = AsPlacement(tag);
  EXPECT_TRUE(place.IsMove());
  EXPECT_EQ(place.GetDepth(), 4);
  EXPECT_FALSE(place.GetPlacedCharacterId().has_value());
  ASSERT_TRUE(place.GetColorTransform().has_value());
  EXPECT_EQ(place.GetColorTransform()->alphaAdd, -1);
  EXPECT_EQ(place.GetClipDepth(), std::optional<uint16_t>(7));
  // Cut before the clip depth: the depth still reads, the rest does not.
  auto cut = LoadTag(26, Hex("59 04 00 84 40 09 00 07"));
  EXPECT_EQ(AsPlacement(cut).GetDepth(), 4);
  EXPECT_FALSE(AsPlacement(cut).GetClipDepth().has_value());
  EXPECT_FALSE(AsPlacement(cut).GetMatrix().has_value());
  // PlaceObject3 keeps its depth after the second flag byte.
  auto three = LoadTag(70, Hex("02 08 09 00 63 00 05 00"));
  EXPECT_EQ(AsPlacement(three).GetDepth(), 9);
  EXPECT_EQ(AsPlacement(three).GetPlacedCharacterId(), std::optional<uint16_t>(5));
}

TEST(TagRemoveObject, FieldsAndBodyBothWays) {
  const struct {
    uint16_t code, characterId, depth;
    Bytes body;
  } cases[] = {{28, 0, 5, {5, 0}}, {28, 0, 0x1234, {0x34, 0x12}}, {5, 3, 7, {3, 0, 7, 0}}};
  for (const auto& c : cases) {
    auto loaded = LoadTag(c.code, c.body);
    const auto& remove = dynamic_cast<const ZuSwfRemoveObjectTag&>(*loaded);
    EXPECT_EQ(remove.m_depth, c.depth);
    EXPECT_EQ(remove.m_characterId, c.characterId);
    auto created = NewTag(c.code);
    auto& fresh = dynamic_cast<ZuSwfRemoveObjectTag&>(*created);
    fresh.m_depth = c.depth;
    fresh.m_characterId = c.characterId;
    EXPECT_EQ(BodyOf(fresh), c.body);
    EXPECT_EQ(fresh.GetWrittenSize(), 2 + c.body.size());
  }
  // An unchanged body stays shared; a short one is written back as it came until given
  // fields.
  const ZuSharedBytes bytes = ZuSharedBytes::Copy(Bytes{5, 0});
  std::unique_ptr<ZuSwfTag> tag(F::CreateTagFromBody(F::kRemoveObject2, bytes, false));
  EXPECT_EQ(tag->GetBody().data(), bytes.data());
  dynamic_cast<ZuSwfRemoveObjectTag&>(*tag).m_depth = 6;
  EXPECT_EQ(BodyOf(*tag), (Bytes{6, 0}));
  EXPECT_EQ(bytes[0], 5);
  auto shortTag = LoadTag(28, {5});
  auto& shortRemove = dynamic_cast<ZuSwfRemoveObjectTag&>(*shortTag);
  EXPECT_EQ(shortRemove.m_depth, 0);
  EXPECT_EQ(BodyOf(*shortTag), (Bytes{5}));
  shortRemove.m_depth = 9;
  EXPECT_EQ(BodyOf(*shortTag), (Bytes{9, 0}));
}

// Bodies too short for the header give zeros.
TEST(TagBitmap, HeaderFields) {
  const struct {
    uint16_t code;
    const char* body;
    std::vector<int> fields;  // format, width, height, alpha
  } cases[] = {
      {36, "03 00 05 80 02 E0 01 78", {5, 640, 480, 1}},
      {20, "03 00 03 01 00 02 00 00", {3, 1, 2, 0}},
      {36, "03 00 05 80 02 E0", {0, 0, 0, 1}},
      {36, "", {0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    auto bitmap = BitmapTag(c.code, Hex(c.body));
    EXPECT_EQ((std::vector<int>{bitmap->GetBitmapFormat(), bitmap->GetBitmapWidth(),
                                bitmap->GetBitmapHeight(), bitmap->HasAlpha()}),
              c.fields)
        << c.body;
  }
}

ZuSwfDefineShapeTag& AsShape(const std::unique_ptr<ZuSwfTag>& tag) {
  return dynamic_cast<ZuSwfDefineShapeTag&>(*tag);
}

TEST(TagShape, BoundsAndBitmapIds) {
  // Bounds 0..40 x 0..20 twips; a gradient fill, a bitmap fill (7), then new styles with
  // a bitmap fill (9).
  const Bytes body =
      Hex("04 00 38 05 00 0A 00 02 10 00 01 00 01 02 03 04 41 07 00 00 00 20 40 01 42 09 00 00 "
          "00 10 00");
  auto tag = LoadTag(32, body);
  EXPECT_EQ(AsShape(tag).GetShapeBounds(), (ZuSwfRect{0, 40, 0, 20}));
  EXPECT_EQ(AsShape(tag).GetBitmapIds(), (std::vector<uint16_t>{7, 9}));
  auto cut = LoadTag(32, Bytes(body.begin(), body.begin() + 20));
  EXPECT_TRUE(AsShape(cut).GetBitmapIds().empty());
  EXPECT_EQ(AsShape(LoadTag(32, {})).GetShapeBounds(), ZuSwfRect());
}

TEST(TagShape, CreateShapeForImage) {
  // A 2 x 1 pixel image of bitmap 7: bounds 40 x 20 twips; one clipped, unsmoothed
  // bitmap fill scaled by 20; style change (move to 0,0, fill style 0 = 1); four edges.
  auto tag = NewTag(F::kDefineShape3);
  tag->SetCharacterId(4);
  AsShape(tag).CreateShapeForImage(7, 0, 0, 2, 1, 2, 1, 0);
  EXPECT_EQ(BodyOf(*tag), Hex("04 00 38 05 00 0A 00 01 43 07 00 D9 40 00 05 00 00 00 00 10 0C 1D "
                              "45 1A 2A 6A 58 D1 B0 00"));
  // Other sizes and positions parse back; the last needs edges longer than one straight
  // edge can hold.
  const struct {
    uint16_t bitmapId;
    int x, y, width, height;
  } cases[] = {{1, 0, 0, 1, 1},
               {2, 0, 0, 640, 480},
               {3, 5, 7, 30, 20},
               {500, 0, 0, 3840, 2160},
               {9, 4000, 10, 8, 8}};
  TagList tags;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    auto shape = NewTag(F::kDefineShape);
    shape->SetCharacterId(static_cast<uint16_t>(c.bitmapId + 1));
    AsShape(shape).CreateShapeForImage(c.bitmapId, c.x, c.y, c.width, c.height, c.width, c.height,
                                       0);
    EXPECT_EQ(shape->GetTagType(), F::kDefineShape3);
    EXPECT_EQ(shape->GetCharacterId(), c.bitmapId + 1);
    EXPECT_EQ(AsShape(shape).GetShapeBounds(),
              (ZuSwfRect{c.x * 20, (c.x + c.width) * 20, c.y * 20, (c.y + c.height) * 20}));
    EXPECT_EQ(AsShape(shape).GetBitmapIds(), std::vector<uint16_t>{c.bitmapId});
    std::unique_ptr<ZuSwfTag> bitmap(FmrMovieBuilder::MakeBitmap(c.bitmapId, 1, 1, 0xFF0000));
    tags.emplace_back(F::kDefineBitsLossless2, BodyOf(*bitmap));
    tags.emplace_back(F::kDefineShape3, BodyOf(*shape));
  }
  ExpectOracleReads(tags);
}

TEST(TagText, OneLinePerTag) {
  const struct {
    uint16_t code;
    const char* body;
    const char* text;
  } cases[] = {
      {1, "", "ShowFrame (1) length=0"},
      {200, "01 02 03 04", "Unknown (200) length=4"},
      {9, "12 AB FF", "SetBackgroundColor (9) length=3 color=#12abff"},
      {43, "69 6E 74 72 6F 00", "FrameLabel (43) length=6 name=intro"},
      {43, "61 0A 62 00", "FrameLabel (43) length=4 name=a?b"},
      {12, "07 00", "DoAction (12) length=2"},
      {69, "08 00 00 00", "FileAttributes (69) length=4 flags=8"},
      {26, "06 01 00 02 00 0C A5 80",
       "PlaceObject2 (26) length=8 depth=1 id=2 matrix=65536,65536,0,0,20,-20"},
      {26, "01 05 00", "PlaceObject2 (26) length=3 depth=5 move"},
      {26, "22 01 00 02 00 6E 00", "PlaceObject2 (26) length=7 depth=1 id=2 name=n"},
      {26, "06 01 00", "PlaceObject2 (26) length=3 malformed"},
      {28, "05 00", "RemoveObject2 (28) length=2 depth=5"},
      {5, "03 00 07 00", "RemoveObject (5) length=4 ref=3 depth=7"},
      {3, "09 00", "FreeCharacter (3) length=2 ref=9"},
      {36, "03 00 05 80 02 E0 01 78 9C",
       "DefineBitsLossless2 (36) length=9 id=3 format=5 width=640 height=480"},
      {20, "03 00 05", "DefineBitsLossless (20) length=3 id=3 malformed"},
      {2, "0A 00 00 01 41 03 00 00 00 10 00",
       "DefineShape (2) length=11 id=10 bounds=0,0,0,0 bitmap=3"},
      {32, "0A 00 00 01 41", "DefineShape3 (32) length=5 id=10 bounds=0,0,0,0 malformed"},
      {39, "0E 00 02 00 86 06 06 01 00 03 00 00 40 00 00 00",
       "DefineSprite (39) length=16 id=14 ref=3 frames=2 tags=3"},
      {56, "02 00 03 00 61 00 32 00 62 00", "ExportAssets (56) length=10 ref=3 ref=50"},
      {57, "75 00 01 00 07 00 6E 00", "ImportAssets (57) length=8 import=7"},
      {75, "06 00 00 00 00 00", "DefineFont3 (75) length=6 id=6"},
      {11, "01 00 00 00 01 01 88 06 00 14 00 00 00", "DefineText (11) length=13 id=1 ref=6"},
  };
  for (const auto& c : cases) {
    ZuString text("stale text that must be replaced");
    LoadTag(c.code, Hex(c.body))->GetTextRep(text);
    EXPECT_EQ(text.GetUTF8String(), c.text);
  }
}

}  // namespace
