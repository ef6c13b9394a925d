// Character ids of every tag kind: where they stand, and how RemapIds renumbers them.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuTavoIDMap.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

using F = ZuSwfTagFactory;

struct IdCase {
  const char* name;
  uint16_t code;
  const char* body;  // hex
  uint16_t definedId;
  std::vector<size_t> references;  // offsets of the referenced ids, in body order
};

// Each body is a small, well-formed tag of its kind. A definition's own id is always a
// key of TestMap too, so the table also shows that RemapIds leaves it alone.
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
    {"DefineButtonSound",
     17,
     "04 00 05 00 00 00 00 06 00 04 02 00 32 00 08 01 00 00 00 00 00 00 00 00",
     0,
     {0, 2, 7, 12}},
    {"ExportAssets", 56, "02 00 03 00 61 00 32 00 62 00", 0, {2, 6}},
    {"SymbolClass keeps the main timeline 0",
     76,
     "02 00 00 00 4D 61 69 6E 00 02 00 43 00",
     0,
     {2, 9}},
    {"ImportAssets defines its ids", 57, "75 00 01 00 07 00 6E 00", 0, {}},
    {"ImportAssets2 defines its ids", 71, "75 00 01 00 01 00 07 00 6E 00", 0, {}},
    {"DefineShape bitmap fill", 2, "0A 00 00 01 41 03 00 00 00 10 00", 10, {5}},
    {"DefineShape2 extended fill count",
     22,
     "0B 00 00 FF 02 00 00 01 02 03 42 08 00 00 00 20 00",
     11,
     {11}},
    {"DefineShape3 bitmap in new styles",
     32,
     "0B 00 00 00 00 00 40 01 42 04 00 00 00 10 00",
     11,
     {9}},
    {"DefineShape3 gradient then bitmap",
     32,
     "0C 00 00 02 10 00 02 00 01 02 03 04 FF 05 06 07 08 41 07 00 00 01 14 00 01 02 03 04 21 2C 4B "
     "70 A8 00",
     12,
     {18}},
    {"DefineShape4 bitmap line fill",
     83,
     "0C 00 00 00 00 00 01 14 00 08 00 40 05 00 00 00 00",
     12,
     {12}},
    {"DefineShape4 miter line then new styles",
     83,
     "0C 00 00 00 00 00 01 14 00 20 00 00 03 01 02 03 04 01 40 01 43 09 00 00 00 10 00",
     12,
     {21}},
    {"DefineMorphShape bitmap fill",
     46,
     "0D 00 00 00 00 00 00 00 01 41 07 00 00 00 00 00 00 00 00",
     13,
     {10}},
    {"DefineMorphShape2 bitmap line fill",
     84,
     "0D 00 00 00 00 00 00 00 00 00 00 00 01 14 00 28 00 08 00 40 08 00 00 00 00 00 00 00",
     13,
     {20}},
    {"DefineSprite nested placements",
     39,
     "0E 00 02 00 86 06 06 01 00 03 00 00 40 00 44 01 02 00 01 00 BF 06 05 00 00 00 02 02 00 04 00 "
     "00 00",
     14,
     {9, 16, 29}},
    {"DefineButton", 7, "0F 00 01 03 00 01 00 00 00 00", 15, {3}},
    {"DefineButton2 filters and blend",
     34,
     "0F 00 00 00 00 11 04 00 01 00 00 00 01 01 00 00 00 00 00 00 00 00 00 22 05 00 02 00 00 00 03 "
     "00",
     15,
     {6, 24}},
    {"DefineText",
     11,
     "01 00 00 00 02 03 8C 06 00 01 02 03 F0 00 02 FF C0 81 05 00 01 F8 00",
     1,
     {7}},
    {"DefineText2 RGBA colour",
     33,
     "01 00 00 00 01 01 8C 32 00 01 02 03 04 F0 00 01 C0 88 02 00 64 00 00 00",
     1,
     {7, 18}},
    {"DefineEditText with font", 37, "02 00 00 01 00 07 00 F0 00 76 00", 2, {5}},
    {"DefineEditText without font", 37, "02 00 00 80 00 00 68 69 00", 2, {}},
    {"DefineBitsLossless2", 36, "03 00 05 01 00 01 00 78 9C", 3, {}},
    {"DefineSound", 14, "04 00 3F 00 00 00 00", 4, {}},
    {"DefineBinaryData", 87, "05 00 00 00 00 00 09", 5, {}},
    {"DefineFont3", 75, "06 00 00 00 00 00 00", 6, {}},
    {"DefineVideoStream", 60, "07 00 00 00 00 00 00 00 00 00", 7, {}},
    {"Unknown code", 200, "03 00 04 00", 0, {}},
    {"SetBackgroundColor", 9, "03 04 05", 0, {}},
};

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

TEST(TagIds, TableLocatesIdsAndRemapsReferencesOnly) {
  const ZuTavoIDMap map = TestMap();
  for (const IdCase& c : kIdCases) {
    SCOPED_TRACE(c.name);
    const Bytes body = Hex(c.body);
    ZuSwfIdFields fields;
    EXPECT_TRUE(ZuSwfLocateIds(c.code, body, fields));
    EXPECT_EQ(fields.references, c.references);
    auto tag = LoadTag(c.code, body);
    EXPECT_EQ(tag->GetCharacterId(), c.definedId);
    tag->RemapIds(map);
    EXPECT_EQ(BodyOf(*tag), Renumbered(c));
    EXPECT_EQ(tag->GetCharacterId(), c.definedId);
  }
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

// Every prefix of every table body: nothing crashes; a body the locator calls malformed
// is left exactly as it is, and a prefix that still parses is patched only where the
// whole body is.
TEST(TagIds, TruncatedBodiesNeverCrashAndAreNotMisPatched) {
  const ZuTavoIDMap map = TestMap();
  for (const IdCase& c : kIdCases) {
    const Bytes whole = Hex(c.body), renumbered = Renumbered(c);
    for (size_t length = 0; length < whole.size(); ++length) {
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

TEST(TagIds, BodiesTheFormatDoesNotAllowAreMalformed) {
  const struct {
    const char* name;
    uint16_t code;
    const char* body;
  } cases[] = {
      {"unknown fill style type", F::kDefineShape3, "01 00 00 01 33 03 00 00 00 10 00"},
      {"fill count past the end", F::kDefineShape, "01 00 00 05 41 03 00 00"},
      {"shape without an end record", F::kDefineShape, "01 00 00 01 41 03 00 00 00 10"},
      {"unknown filter", F::kDefineButton2, "01 00 00 00 00 11 03 00 01 00 00 00 01 09 00"},
      {"nested tag longer than the sprite", F::kDefineSprite, "01 00 01 00 86 06 06 01 00 03 00"},
      {"export table shorter than its count", F::kExportAssets, "02 00 03 00 61 00"},
      {"sound info cut short", F::kDefineButtonSound, "01 00 03 00 01 00"},
  };
  const ZuTavoIDMap map = TestMap();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ZuSwfIdFields fields;
    EXPECT_FALSE(ZuSwfLocateIds(c.code, Hex(c.body), fields));
    auto tag = LoadTag(c.code, Hex(c.body));
    tag->RemapIds(map);
    EXPECT_EQ(BodyOf(*tag), Hex(c.body));
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

// The table's bodies are real tags: the independent parser reads each of them, before
// and after renumbering.
TEST(TagIds, TableBodiesAreReadByTheIndependentParser) {
  TempDir dir;
  SwfBuilder builder;
  builder.StageSize(100, 100);
  std::vector<int> expected;
  for (const IdCase& c : kIdCases) {
    if (F::GetTagName(c.code) == "Unknown") continue;
    builder.Tag(c.code, Hex(c.body)).Tag(c.code, Renumbered(c));
    expected.insert(expected.end(), {c.code, c.code});
  }
  std::string error;
  EXPECT_EQ(OracleTagCodes(builder.WriteTo(dir.File("ids.swf")), &error), expected);
  EXPECT_EQ(error, "");
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
