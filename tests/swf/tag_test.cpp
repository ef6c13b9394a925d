// Tags: the factory and its table, header forms, character ids (where they stand, how
// RemapIds renumbers them, damaged bodies), and one table of tags that drives both directions: each
// body reads back as its fields (the text line shows them), the tags the library makes give exactly
// that body, and every body is written into a movie that our loader and the independent parser read
// back.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <stdexcept>

#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuTavoIDMap.h"
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

TEST(TagFactory, TableGivesEachCodeItsNameAndMinimalBody) {
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
      // clang-format off
      {1, "", "ShowFrame (1) length=0", nullptr},
      {200, "01 02 03 04", "Unknown (200) length=4", nullptr},
      {9, "12 AB FF", "SetBackgroundColor (9) length=3 color=#12abff", nullptr},
      {43, "61 0A 62 00", "FrameLabel (43) length=4 name=a?b", nullptr},
      {69, "08 00 00 00", "FileAttributes (69) length=4 flags=8", nullptr},
      {26, "06 01 00 02 00 00", "PlaceObject2 (26) length=6 depth=1 id=2 matrix=65536,65536,0,0,0,0", [] { return Placement(2, 1, 0, 0, ""); }},
      {26, "06 65 00 03 00 0C A5 80", "PlaceObject2 (26) length=8 depth=101 id=3 matrix=65536,65536,0,0,20,-20", [] { return Placement(3, 101, 1.0, -1.0, ""); }},
      {26, "26 02 00 03 00 0A A0 80 70 69 63 00", "PlaceObject2 (26) length=12 depth=2 id=3 matrix=65536,65536,0,0,10,1 name=pic", [] { return Placement(3, 2, 0.524, 0.026, "pic"); }},
      {70, "06 01 03 00 05 00 00 01 01 00 00 04 00 00 00 04 00 08", "PlaceObject3 (70) length=18 depth=3 id=5 matrix=65536,65536,0,0,0,0", [] { return Placement(5, 3, 0, 0, "", {{1, Hex("00 00 04 00 00 00 04 00 08")}}); }},
      {26, "01 05 00", "PlaceObject2 (26) length=3 depth=5 move", nullptr},
      {26, "59 04 00 84 40 09 00 07 00", "PlaceObject2 (26) length=9 depth=4 move cxform ratio=9 clipdepth=7", nullptr},
      {26, "06 01 00", "PlaceObject2 (26) length=3 malformed", nullptr},
      {28, "34 12", "RemoveObject2 (28) length=2 depth=4660", [] { return Removal(28, 0, 0x1234); }},
      {5, "03 00 07 00", "RemoveObject (5) length=4 ref=3 depth=7", [] { return Removal(5, 3, 7); }},
      {3, "09 00", "FreeCharacter (3) length=2 ref=9", nullptr},
      {36, "03 00 05 80 02 E0 01 78 9C", "DefineBitsLossless2 (36) length=9 id=3 format=5 width=640 height=480", nullptr},
      {20, "03 00 05", "DefineBitsLossless (20) length=3 id=3 malformed", nullptr},
      {2, "0A 00 00 01 41 03 00 00 00 10 00", "DefineShape (2) length=11 id=10 bounds=0,0,0,0 bitmap=3", nullptr},
      {32, "04 00 38 05 00 0A 00 01 43 07 00 D9 40 00 05 00 00 00 00 10 0C 1D 45 1A 2A 6A 58 D1 B0 00", "DefineShape3 (32) length=30 id=4 bounds=0,0,40,20 bitmap=7", [] { return ImageShape(4, 2, 1); }},
      {32, "0A 00 00 01 41", "DefineShape3 (32) length=5 id=10 bounds=0,0,0,0 malformed", nullptr},
      {39, "0E 00 02 00 86 06 06 01 00 03 00 00 40 00 00 00", "DefineSprite (39) length=16 id=14 ref=3 frames=2 tags=3", nullptr},
      {56, "02 00 03 00 61 00 32 00 62 00", "ExportAssets (56) length=10 ref=3 ref=50", nullptr},
      {57, "75 00 01 00 07 00 6E 00", "ImportAssets (57) length=8 import=7", nullptr},
      {11, "01 00 00 00 01 01 88 06 00 14 00 00 00", "DefineText (11) length=13 id=1 ref=6", nullptr},
      // clang-format on
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

struct IdCase {
  const char* name;
  uint16_t code;
  const char* body;  // hex
  uint16_t definedId;
  std::vector<size_t> references;  // offsets of the referenced ids, in body order
  bool malformed = false;          // a body the format does not allow: no ids, nothing patched
};

// Each body is a small, well-formed tag of its kind, but for the malformed ones at the end. A
// definition's own id is always a key of TestMap too, so the table also shows that RemapIds
// leaves it alone.
// clang-format off
const std::vector<IdCase> kIdCases = {
    {"PlaceObject", 4, "03 00 01 00 00", 0, {0}},
    {"PlaceObject2 with character", 26, "06 01 00 02 00 00", 0, {3}},
    {"PlaceObject2 move without character", 26, "01 05 00", 0, {}},
    {"PlaceObject3 with class name", 70, "02 08 01 00 61 62 00 04 00", 0, {7}},
    {"PlaceObject3 image with character", 70, "02 10 01 00 78 00 05 00", 0, {6}},
    {"PlaceObject3 filters without character", 70, "01 01 03 00 00", 0, {}},
    {"PlaceObject4", 94, "02 00 01 00 06 00", 0, {4}},
    {"RemoveObject", 5, "03 00 07 00", 0, {0}},
    {"RemoveObject2", 28, "03 00", 0, {}},
    {"FreeCharacter", 3, "09 00", 0, {0}},
    {"StartSound", 15, "04 00 00", 0, {0}},
    {"VideoFrame", 61, "02 00 00 00 01 02", 0, {0}},
    {"DoInitAction", 59, "03 00 00", 0, {0}},
    {"DefineScalingGrid", 78, "02 00 00", 0, {0}},
    {"CSMTextSettings", 74, "02 00 40 00 00 00 00 00 00 00 00 00", 0, {0}},
    {"DefineFontInfo", 13, "05 00 01 61 00 41", 0, {0}},
    {"DefineFontInfo2", 62, "05 00 01 61 00 01 41 00", 0, {0}},
    {"DefineFontAlignZones", 73, "06 00 40", 0, {0}},
    {"DefineFontName", 88, "06 00 53 61 6E 73 00 28 63 29 00", 0, {0}},
    {"DefineButtonCxform", 23, "04 00 00", 0, {0}},
    {"DefineButtonSound", 17, "04 00 05 00 00 00 00 06 00 04 02 00 32 00 08 01 00 00 00 00 00 00 00 00", 0, {0, 2, 7, 12}},
    {"ExportAssets", 56, "02 00 03 00 61 00 32 00 62 00", 0, {2, 6}},
    {"SymbolClass keeps the main timeline 0", 76, "02 00 00 00 4D 61 69 6E 00 02 00 43 00", 0, {2, 9}},
    {"ImportAssets defines its ids", 57, "75 00 01 00 07 00 6E 00", 0, {}},
    {"ImportAssets2 defines its ids", 71, "75 00 01 00 01 00 07 00 6E 00", 0, {}},
    {"DefineShape bitmap fill", 2, "0A 00 00 01 41 03 00 00 00 10 00", 10, {5}},
    {"DefineShape2 extended fill count", 22, "0B 00 00 FF 02 00 00 01 02 03 42 08 00 00 00 20 00", 11, {11}},
    {"DefineShape3 bitmap in new styles", 32, "0B 00 00 00 00 00 40 01 42 04 00 00 00 10 00", 11, {9}},
    {"DefineShape3 gradient then bitmap", 32, "0C 00 00 02 10 00 02 00 01 02 03 04 FF 05 06 07 08 41 07 00 00 01 14 00 01 02 03 04 21 2C 4B 70 A8 00", 12, {18}},
    {"DefineShape4 bitmap line fill", 83, "0C 00 00 00 00 00 01 14 00 08 00 40 05 00 00 00 00", 12, {12}},
    {"DefineShape4 miter line then new styles", 83, "0C 00 00 00 00 00 01 14 00 20 00 00 03 01 02 03 04 01 40 01 43 09 00 00 00 10 00", 12, {21}},
    {"DefineMorphShape bitmap fill", 46, "0D 00 00 00 00 00 00 00 01 41 07 00 00 00 00 00 00 00 00", 13, {10}},
    {"DefineMorphShape2 bitmap line fill", 84, "0D 00 00 00 00 00 00 00 00 00 00 00 01 14 00 28 00 08 00 40 08 00 00 00 00 00 00 00", 13, {20}},
    {"DefineSprite nested placements", 39, "0E 00 02 00 86 06 06 01 00 03 00 00 40 00 44 01 02 00 01 00 BF 06 05 00 00 00 02 02 00 04 00 00 00", 14, {9, 16, 29}},
    {"DefineButton", 7, "0F 00 01 03 00 01 00 00 00 00", 15, {3}},
    {"DefineButton2 filters and blend", 34, "0F 00 00 00 00 11 04 00 01 00 00 00 01 01 00 00 00 00 00 00 00 00 00 22 05 00 02 00 00 00 03 00", 15, {6, 24}},
    {"DefineText", 11, "01 00 00 00 02 03 8C 06 00 01 02 03 F0 00 02 FF C0 81 05 00 01 F8 00", 1, {7}},
    {"DefineText2 RGBA colour", 33, "01 00 00 00 01 01 8C 32 00 01 02 03 04 F0 00 01 C0 88 02 00 64 00 00 00", 1, {7, 18}},
    {"DefineEditText with font", 37, "02 00 00 01 00 07 00 F0 00 76 00", 2, {5}},
    {"DefineEditText without font", 37, "02 00 00 80 00 00 68 69 00", 2, {}},
    {"DefineBitsLossless2", 36, "03 00 05 01 00 01 00 78 9C", 3, {}},
    {"DefineSound", 14, "04 00 3F 00 00 00 00", 4, {}},
    {"DefineBinaryData", 87, "05 00 00 00 00 00 09", 5, {}},
    {"DefineFont3", 75, "06 00 00 00 00 00 00", 6, {}},
    {"DefineVideoStream", 60, "07 00 00 00 00 00 00 00 00 00", 7, {}},
    {"Unknown code", 200, "03 00 04 00", 0, {}},
    {"SetBackgroundColor", 9, "03 04 05", 0, {}},
    {"unknown fill style type", F::kDefineShape3, "01 00 00 01 33 03 00 00 00 10 00", 0, {}, true},
    {"fill count past the end", F::kDefineShape, "01 00 00 05 41 03 00 00", 0, {}, true},
    {"shape without an end record", F::kDefineShape, "01 00 00 01 41 03 00 00 00 10", 0, {}, true},
    {"unknown filter", F::kDefineButton2, "01 00 00 00 00 11 03 00 01 00 00 00 01 09 00", 0, {}, true},
    {"nested tag longer than the sprite", F::kDefineSprite, "01 00 01 00 86 06 06 01 00 03 00", 0, {}, true},
    {"export table shorter than its count", F::kExportAssets, "02 00 03 00 61 00", 0, {}, true},
    {"sound info cut short", F::kDefineButtonSound, "01 00 03 00 01 00", 0, {}, true},
};
// clang-format on

// Ids 1 to 15 move up by 0x40; any other id (0 and 50 in the table) has no entry.
ZuTavoIDMap TestMap() {
  ZuTavoIDMap map;
  for (uint16_t id = 1; id <= 15; ++id) map.Set(id, id + 0x40);
  return map;
}

// The body with each referenced id renumbered as TestMap says.
Bytes Renumbered(const IdCase& c) {
  Bytes body = Hex(c.body);
  for (size_t at : c.references) {
    if (body[at + 1] == 0 && body[at] >= 1 && body[at] <= 15) body[at] += 0x40;
  }
  return body;
}

const IdCase& FindCase(const std::string& name) {
  for (const IdCase& c : kIdCases) {
    if (name == c.name) return c;
  }
  throw std::runtime_error("no id case " + name);
}

std::vector<uint16_t> ReferencedIds(uint16_t code, const Bytes& body) {
  ZuSwfIdFields fields;
  EXPECT_TRUE(ZuSwfLocateIds(code, body, fields));
  std::vector<uint16_t> ids;
  for (size_t offset : fields.references) ids.push_back(ZuSwfReadIdAt(body, offset));
  return ids;
}

// The table's bodies are also real tags: the independent parser reads each of them, before and
// after renumbering.
TEST(TagIds, TableLocatesIdsAndRemapsReferencesOnly) {
  const ZuTavoIDMap map = TestMap();
  TagList tags;
  for (const IdCase& c : kIdCases) {
    SCOPED_TRACE(c.name);
    const Bytes body = Hex(c.body);
    ZuSwfIdFields fields;
    EXPECT_EQ(ZuSwfLocateIds(c.code, body, fields), !c.malformed);
    if (c.malformed) continue;  // left as it is: checked with the prefixes below
    EXPECT_EQ(fields.references, c.references);
    auto tag = LoadTag(c.code, body);
    EXPECT_EQ(tag->GetCharacterId(), c.definedId);
    tag->RemapIds(map);
    EXPECT_EQ(BodyOf(*tag), Renumbered(c));
    EXPECT_EQ(tag->GetCharacterId(), c.definedId);
    if (F::GetTagName(c.code) != "Unknown") {
      tags.emplace_back(c.code, body);
      tags.emplace_back(c.code, Renumbered(c));
    }
  }
  ExpectWrittenAndReadBack(tags);
}

// Ids set by hand are final: a later RemapIds, also of a clone, does not move them again.
TEST(TagIds, SetIdsAreNotUndoneByRemapIds) {
  // The engine gives a copied tag its new id first, then maps the old ids through a
  // map that holds both the old and the new id as keys.
  ZuTavoIDMap map;
  map.Set(10, 20);
  map.Set(20, 30);
  map.Set(3, 4);
  auto shape = LoadTag(F::kDefineShape, Hex(FindCase("DefineShape bitmap fill").body));
  shape->SetCharacterId(20);
  shape->RemapIds(map);
  EXPECT_EQ(shape->GetCharacterId(), 20);
  EXPECT_EQ(ReferencedIds(F::kDefineShape, BodyOf(*shape)), std::vector<uint16_t>{4});

  map.Set(5, 6);
  map.Set(6, 7);
  std::unique_ptr<ZuSwfTag> freed(F::CreateTagOfType(F::kFreeCharacter, 0, 0));
  ASSERT_NE(dynamic_cast<ZuSwfFreeCharacterTag*>(freed.get()), nullptr);
  freed->SetReferencedId(6);
  std::unique_ptr<ZuSwfTag> finalClone(freed->Clone());
  freed->RemapIds(map);
  finalClone->RemapIds(map);
  EXPECT_EQ(BodyOf(*freed), (Bytes{6, 0}));
  EXPECT_EQ(finalClone->GetReferencedId(), 6);
  // A loaded FreeCharacter is renumbered like any reference, and so is its clone.
  auto loaded = LoadTag(F::kFreeCharacter, {5, 0});
  std::unique_ptr<ZuSwfTag> clone(loaded->Clone());
  loaded->RemapIds(map);
  clone->RemapIds(map);
  EXPECT_EQ(loaded->GetReferencedId(), 6);
  EXPECT_EQ(clone->GetReferencedId(), 6);
}

// Every prefix of every table body, and the whole body: nothing crashes; a body the locator
// calls malformed is left exactly as it is, and a prefix that still parses is patched only
// where the whole body is.
TEST(TagIds, TruncatedBodiesNeverCrashAndAreNotMisPatched) {
  const ZuTavoIDMap map = TestMap();
  for (const IdCase& c : kIdCases) {
    const Bytes whole = Hex(c.body), renumbered = Renumbered(c);
    for (size_t length = 0; length <= whole.size(); ++length) {
      SCOPED_TRACE(std::string(c.name) + " cut to " + std::to_string(length));
      const Bytes prefix(whole.begin(), whole.begin() + length);
      ZuSwfIdFields fields;
      const bool wellFormed = ZuSwfLocateIds(c.code, prefix, fields);
      auto tag = LoadTag(c.code, prefix);
      tag->RemapIds(map);
      EXPECT_EQ(BodyOf(*tag),
                wellFormed ? Bytes(renumbered.begin(), renumbered.begin() + length) : prefix);
      ZuString text;
      tag->GetTextRep(text);
      EXPECT_FALSE(text.empty());
    }
  }
}

// A tag with a long header, as sprites hold them.
Bytes TagBytes(uint16_t code, const Bytes& body) {
  Bytes bytes = {static_cast<uint8_t>((code << 6) | 0x3F), static_cast<uint8_t>(code >> 2)};
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(body.size() >> shift));
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

// A sprite body with id, one frame, the given tags and an End tag.
Bytes SpriteBody(uint16_t id, const Bytes& tags) {
  Bytes body = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 1, 0};
  body.insert(body.end(), tags.begin(), tags.end());
  body.insert(body.end(), {0, 0});
  return body;
}

TEST(TagIds, SpritesInSpritesAreFollowedToABoundedDepth) {
  const auto nested = [](uint8_t placed) {
    const Bytes place = TagBytes(F::kPlaceObject2, {0x02, 1, 0, placed, 0});
    return SpriteBody(9, TagBytes(F::kDefineSprite, SpriteBody(8, place)));
  };
  // Two levels: the inner sprite's placement is renumbered in place.
  auto tag = LoadTag(F::kDefineSprite, nested(3));
  tag->RemapIds(TestMap());
  EXPECT_EQ(BodyOf(*tag), nested(0x43));
  // A thousand levels: refused as malformed, without running out of stack.
  Bytes deep = TagBytes(F::kPlaceObject2, {0x02, 1, 0, 3, 0});
  for (int level = 0; level < 1000; ++level) deep = TagBytes(39, SpriteBody(1, deep));
  ZuSwfIdFields fields;
  EXPECT_FALSE(ZuSwfLocateIds(F::kDefineSprite, SpriteBody(2, deep), fields));
}

// Random bodies for every tag code: RemapIds never changes a body's length and never
// touches a byte outside the id fields the locator reports.
TEST(TagIds, RandomBodiesNeverCrashOrChangeLength) {
  std::mt19937 random(1234);
  ZuTavoIDMap map;
  for (uint32_t id = 0; id < 256; ++id) map.Set(uint16_t(id), uint16_t(id + 1));
  for (uint16_t code = 0; code < 100; ++code) {
    for (int round = 0; round < 60; ++round) {
      Bytes body(random() % 40);
      for (uint8_t& byte : body) byte = static_cast<uint8_t>(random() % 4 == 0 ? 0 : random());
      ZuSwfIdFields fields;
      const bool wellFormed = ZuSwfLocateIds(code, body, fields);
      auto tag = LoadTag(code, body);
      tag->RemapIds(map);
      const Bytes result = BodyOf(*tag);
      ASSERT_EQ(result.size(), body.size());
      std::vector<bool> idByte(body.size(), false);
      for (size_t offset : wellFormed ? fields.references : std::vector<size_t>{}) {
        idByte[offset] = idByte[offset + 1] = true;
      }
      for (size_t i = 0; i < body.size(); ++i) {
        ASSERT_TRUE(idByte[i] || result[i] == body[i]) << "code " << code << " byte " << i;
      }
      ZuString text;
      tag->GetTextRep(text);
      ASSERT_EQ(text.GetUTF8String().find('\n'), std::string::npos);
    }
  }
}

}  // namespace
