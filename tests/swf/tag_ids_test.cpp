// Character ids of every tag kind: where they stand, and how RemapIds renumbers them.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoIDMap.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
using F = ZuSwfTagFactory;

struct IdCase {
  const char* name;
  uint16_t code;
  Bytes before;
  uint16_t definedId;
  std::vector<uint16_t> references;  // in body order
  Bytes after;                       // the body after RemapIds with TestMap()
};

// Ids 1 to 15 move up by 0x40; any other id (50 in the table) has no entry.
ZuTavoIDMap TestMap() {
  ZuTavoIDMap map;
  for (uint16_t id = 1; id <= 15; ++id) map.Set(id, id + 0x40);
  return map;
}

std::unique_ptr<ZuSwfTag> Load(uint16_t code, const Bytes& body) {
  return std::unique_ptr<ZuSwfTag>(ZuSwfTagFactory::CreateTagFromBody(
      static_cast<enuTagType>(code), ZuSharedBytes::Copy(body), false));
}

Bytes BodyOf(const ZuSwfTag& tag) {
  ZuSharedBytes body = tag.GetBody();
  return Bytes(body.begin(), body.end());
}

std::vector<uint16_t> ReferencedValues(uint16_t code, const Bytes& body, bool* wellFormed) {
  ZuSwfIdFields fields;
  *wellFormed = ZuSwfLocateIds(code, body, fields);
  std::vector<uint16_t> values;
  for (size_t offset : fields.references) values.push_back(ZuSwfReadIdAt(body, offset));
  return values;
}

// Each body is a small, well-formed tag of its kind. A definition's own id is always a
// key of the map too, so the table also shows that RemapIds leaves it alone.
const std::vector<IdCase>& Cases() {
  static const std::vector<IdCase> cases = {
      {"PlaceObject", 4, {0x03, 0x00, 0x01, 0x00, 0x00}, 0, {3}, {0x43, 0x00, 0x01, 0x00, 0x00}},
      {"PlaceObject2 with character",
       26,
       {0x06, 0x01, 0x00, 0x02, 0x00, 0x00},
       0,
       {2},
       {0x06, 0x01, 0x00, 0x42, 0x00, 0x00}},
      {"PlaceObject2 move without character", 26, {0x01, 0x05, 0x00}, 0, {}, {0x01, 0x05, 0x00}},
      {"PlaceObject3 with class name",
       70,
       {0x02, 0x08, 0x01, 0x00, 0x61, 0x62, 0x00, 0x04, 0x00},
       0,
       {4},
       {0x02, 0x08, 0x01, 0x00, 0x61, 0x62, 0x00, 0x44, 0x00}},
      {"PlaceObject3 image with character",
       70,
       {0x02, 0x10, 0x01, 0x00, 0x78, 0x00, 0x05, 0x00},
       0,
       {5},
       {0x02, 0x10, 0x01, 0x00, 0x78, 0x00, 0x45, 0x00}},
      {"PlaceObject3 filters without character",
       70,
       {0x01, 0x01, 0x03, 0x00, 0x00},
       0,
       {},
       {0x01, 0x01, 0x03, 0x00, 0x00}},
      {"PlaceObject4",
       94,
       {0x02, 0x00, 0x01, 0x00, 0x06, 0x00},
       0,
       {6},
       {0x02, 0x00, 0x01, 0x00, 0x46, 0x00}},
      {"RemoveObject", 5, {0x03, 0x00, 0x07, 0x00}, 0, {3}, {0x43, 0x00, 0x07, 0x00}},
      {"RemoveObject2", 28, {0x03, 0x00}, 0, {}, {0x03, 0x00}},
      {"FreeCharacter", 3, {0x09, 0x00}, 0, {9}, {0x49, 0x00}},
      {"StartSound", 15, {0x04, 0x00, 0x00}, 0, {4}, {0x44, 0x00, 0x00}},
      {"VideoFrame",
       61,
       {0x02, 0x00, 0x00, 0x00, 0x01, 0x02},
       0,
       {2},
       {0x42, 0x00, 0x00, 0x00, 0x01, 0x02}},
      {"DoInitAction", 59, {0x03, 0x00, 0x00}, 0, {3}, {0x43, 0x00, 0x00}},
      {"DefineScalingGrid", 78, {0x02, 0x00, 0x00}, 0, {2}, {0x42, 0x00, 0x00}},
      {"CSMTextSettings",
       74,
       {0x02, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
       0,
       {2},
       {0x42, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"DefineFontInfo",
       13,
       {0x05, 0x00, 0x01, 0x61, 0x00, 0x41},
       0,
       {5},
       {0x45, 0x00, 0x01, 0x61, 0x00, 0x41}},
      {"DefineFontInfo2",
       62,
       {0x05, 0x00, 0x01, 0x61, 0x00, 0x01, 0x41, 0x00},
       0,
       {5},
       {0x45, 0x00, 0x01, 0x61, 0x00, 0x01, 0x41, 0x00}},
      {"DefineFontAlignZones", 73, {0x06, 0x00, 0x40}, 0, {6}, {0x46, 0x00, 0x40}},
      {"DefineFontName",
       88,
       {0x06, 0x00, 0x53, 0x61, 0x6E, 0x73, 0x00, 0x28, 0x63, 0x29, 0x00},
       0,
       {6},
       {0x46, 0x00, 0x53, 0x61, 0x6E, 0x73, 0x00, 0x28, 0x63, 0x29, 0x00}},
      {"DefineButtonCxform", 23, {0x04, 0x00, 0x00}, 0, {4}, {0x44, 0x00, 0x00}},
      {"DefineButtonSound",
       17,
       {0x04, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x04, 0x02, 0x00,
        0x32, 0x00, 0x08, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
       0,
       {4, 5, 6, 50},
       {0x44, 0x00, 0x45, 0x00, 0x00, 0x00, 0x00, 0x46, 0x00, 0x04, 0x02, 0x00,
        0x32, 0x00, 0x08, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"ExportAssets",
       56,
       {0x02, 0x00, 0x03, 0x00, 0x61, 0x00, 0x32, 0x00, 0x62, 0x00},
       0,
       {3, 50},
       {0x02, 0x00, 0x43, 0x00, 0x61, 0x00, 0x32, 0x00, 0x62, 0x00}},
      {"SymbolClass keeps the main timeline 0",
       76,
       {0x02, 0x00, 0x00, 0x00, 0x4D, 0x61, 0x69, 0x6E, 0x00, 0x02, 0x00, 0x43, 0x00},
       0,
       {0, 2},
       {0x02, 0x00, 0x00, 0x00, 0x4D, 0x61, 0x69, 0x6E, 0x00, 0x42, 0x00, 0x43, 0x00}},
      {"ImportAssets defines its ids",
       57,
       {0x75, 0x00, 0x01, 0x00, 0x07, 0x00, 0x6E, 0x00},
       0,
       {},
       {0x75, 0x00, 0x01, 0x00, 0x07, 0x00, 0x6E, 0x00}},
      {"ImportAssets2 defines its ids",
       71,
       {0x75, 0x00, 0x01, 0x00, 0x01, 0x00, 0x07, 0x00, 0x6E, 0x00},
       0,
       {},
       {0x75, 0x00, 0x01, 0x00, 0x01, 0x00, 0x07, 0x00, 0x6E, 0x00}},
      {"DefineShape bitmap fill",
       2,
       {0x0A, 0x00, 0x00, 0x01, 0x41, 0x03, 0x00, 0x00, 0x00, 0x10, 0x00},
       10,
       {3},
       {0x0A, 0x00, 0x00, 0x01, 0x41, 0x43, 0x00, 0x00, 0x00, 0x10, 0x00}},
      {"DefineShape2 extended fill count",
       22,
       {0x0B, 0x00, 0x00, 0xFF, 0x02, 0x00, 0x00, 0x01, 0x02, 0x03, 0x42, 0x08, 0x00, 0x00, 0x00,
        0x20, 0x00},
       11,
       {8},
       {0x0B, 0x00, 0x00, 0xFF, 0x02, 0x00, 0x00, 0x01, 0x02, 0x03, 0x42, 0x48, 0x00, 0x00, 0x00,
        0x20, 0x00}},
      {"DefineShape3 bitmap in new styles",
       32,
       {0x0B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x01, 0x42, 0x04, 0x00, 0x00, 0x00, 0x10, 0x00},
       11,
       {4},
       {0x0B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x01, 0x42, 0x44, 0x00, 0x00, 0x00, 0x10, 0x00}},
      {"DefineShape3 gradient then bitmap",
       32,
       {0x0C, 0x00, 0x00, 0x02, 0x10, 0x00, 0x02, 0x00, 0x01, 0x02, 0x03, 0x04,
        0xFF, 0x05, 0x06, 0x07, 0x08, 0x41, 0x07, 0x00, 0x00, 0x01, 0x14, 0x00,
        0x01, 0x02, 0x03, 0x04, 0x21, 0x2C, 0x4B, 0x70, 0xA8, 0x00},
       12,
       {7},
       {0x0C, 0x00, 0x00, 0x02, 0x10, 0x00, 0x02, 0x00, 0x01, 0x02, 0x03, 0x04,
        0xFF, 0x05, 0x06, 0x07, 0x08, 0x41, 0x47, 0x00, 0x00, 0x01, 0x14, 0x00,
        0x01, 0x02, 0x03, 0x04, 0x21, 0x2C, 0x4B, 0x70, 0xA8, 0x00}},
      {"DefineShape4 bitmap line fill",
       83,
       {0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x14, 0x00, 0x08, 0x00, 0x40, 0x05, 0x00, 0x00,
        0x00, 0x00},
       12,
       {5},
       {0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x14, 0x00, 0x08, 0x00, 0x40, 0x45, 0x00, 0x00,
        0x00, 0x00}},
      {"DefineShape4 miter line then new styles",
       83,
       {0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x14, 0x00, 0x20, 0x00, 0x00, 0x03, 0x01,
        0x02, 0x03, 0x04, 0x01, 0x40, 0x01, 0x43, 0x09, 0x00, 0x00, 0x00, 0x10, 0x00},
       12,
       {9},
       {0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x14, 0x00, 0x20, 0x00, 0x00, 0x03, 0x01,
        0x02, 0x03, 0x04, 0x01, 0x40, 0x01, 0x43, 0x49, 0x00, 0x00, 0x00, 0x10, 0x00}},
      {"DefineMorphShape bitmap fill",
       46,
       {0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x41, 0x07, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00},
       13,
       {7},
       {0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x41, 0x47, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00}},
      {"DefineMorphShape2 bitmap line fill",
       84,
       {0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x14,
        0x00, 0x28, 0x00, 0x08, 0x00, 0x40, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
       13,
       {8},
       {0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x14,
        0x00, 0x28, 0x00, 0x08, 0x00, 0x40, 0x48, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"DefineSprite nested placements",
       39,
       {0x0E, 0x00, 0x02, 0x00, 0x86, 0x06, 0x06, 0x01, 0x00, 0x03, 0x00,
        0x00, 0x40, 0x00, 0x44, 0x01, 0x02, 0x00, 0x01, 0x00, 0xBF, 0x06,
        0x05, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x04, 0x00, 0x00, 0x00},
       14,
       {3, 2, 4},
       {0x0E, 0x00, 0x02, 0x00, 0x86, 0x06, 0x06, 0x01, 0x00, 0x43, 0x00,
        0x00, 0x40, 0x00, 0x44, 0x01, 0x42, 0x00, 0x01, 0x00, 0xBF, 0x06,
        0x05, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x44, 0x00, 0x00, 0x00}},
      {"DefineButton",
       7,
       {0x0F, 0x00, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00},
       15,
       {3},
       {0x0F, 0x00, 0x01, 0x43, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}},
      {"DefineButton2 filters and blend",
       34,
       {0x0F, 0x00, 0x00, 0x00, 0x00, 0x11, 0x04, 0x00, 0x01, 0x00, 0x00,
        0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x22, 0x05, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00},
       15,
       {4, 5},
       {0x0F, 0x00, 0x00, 0x00, 0x00, 0x11, 0x44, 0x00, 0x01, 0x00, 0x00,
        0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x22, 0x45, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00}},
      {"DefineText",
       11,
       {0x01, 0x00, 0x00, 0x00, 0x02, 0x03, 0x8C, 0x06, 0x00, 0x01, 0x02, 0x03,
        0xF0, 0x00, 0x02, 0xFF, 0xC0, 0x81, 0x05, 0x00, 0x01, 0xF8, 0x00},
       1,
       {6},
       {0x01, 0x00, 0x00, 0x00, 0x02, 0x03, 0x8C, 0x46, 0x00, 0x01, 0x02, 0x03,
        0xF0, 0x00, 0x02, 0xFF, 0xC0, 0x81, 0x05, 0x00, 0x01, 0xF8, 0x00}},
      {"DefineText2 RGBA colour",
       33,
       {0x01, 0x00, 0x00, 0x00, 0x01, 0x01, 0x8C, 0x32, 0x00, 0x01, 0x02, 0x03,
        0x04, 0xF0, 0x00, 0x01, 0xC0, 0x88, 0x02, 0x00, 0x64, 0x00, 0x00, 0x00},
       1,
       {50, 2},
       {0x01, 0x00, 0x00, 0x00, 0x01, 0x01, 0x8C, 0x32, 0x00, 0x01, 0x02, 0x03,
        0x04, 0xF0, 0x00, 0x01, 0xC0, 0x88, 0x42, 0x00, 0x64, 0x00, 0x00, 0x00}},
      {"DefineEditText with font",
       37,
       {0x02, 0x00, 0x00, 0x01, 0x00, 0x07, 0x00, 0xF0, 0x00, 0x76, 0x00},
       2,
       {7},
       {0x02, 0x00, 0x00, 0x01, 0x00, 0x47, 0x00, 0xF0, 0x00, 0x76, 0x00}},
      {"DefineEditText without font",
       37,
       {0x02, 0x00, 0x00, 0x80, 0x00, 0x00, 0x68, 0x69, 0x00},
       2,
       {},
       {0x02, 0x00, 0x00, 0x80, 0x00, 0x00, 0x68, 0x69, 0x00}},
      {"DefineBitsLossless2",
       36,
       {0x03, 0x00, 0x05, 0x01, 0x00, 0x01, 0x00, 0x78, 0x9C},
       3,
       {},
       {0x03, 0x00, 0x05, 0x01, 0x00, 0x01, 0x00, 0x78, 0x9C}},
      {"DefineSound",
       14,
       {0x04, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x00},
       4,
       {},
       {0x04, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x00}},
      {"DefineBinaryData",
       87,
       {0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09},
       5,
       {},
       {0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09}},
      {"DefineFont3",
       75,
       {0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
       6,
       {},
       {0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"DefineVideoStream",
       60,
       {0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
       7,
       {},
       {0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"Unknown code", 200, {0x03, 0x00, 0x04, 0x00}, 0, {}, {0x03, 0x00, 0x04, 0x00}},
      {"SetBackgroundColor", 9, {0x03, 0x04, 0x05}, 0, {}, {0x03, 0x04, 0x05}},
  };
  return cases;
}

const IdCase& FindCase(const std::string& name) {
  for (const IdCase& c : Cases()) {
    if (name == c.name) return c;
  }
  throw std::runtime_error("no id case " + name);
}

TEST(TagIds, TableLocatesDefinedAndReferencedIds) {
  for (const IdCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    auto tag = Load(c.code, c.before);
    EXPECT_EQ(tag->GetCharacterId(), c.definedId);
    bool wellFormed = false;
    EXPECT_EQ(ReferencedValues(c.code, c.before, &wellFormed), c.references);
    EXPECT_TRUE(wellFormed);
  }
}

TEST(TagIds, TableRemapsReferencesOnly) {
  ZuTavoIDMap map = TestMap();
  for (const IdCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    auto tag = Load(c.code, c.before);
    tag->RemapIds(map);
    EXPECT_EQ(BodyOf(*tag), c.after);
    EXPECT_EQ(tag->GetCharacterId(), c.definedId);
  }
}

TEST(TagIds, ImportedIdsAreDefinitionsNotReferences) {
  const Bytes body = {'u', 0, 2, 0, 7, 0, 'n', 0, 9, 0, 'm', 0};
  ZuSwfIdFields fields;
  ASSERT_TRUE(ZuSwfLocateIds(ZuSwfTagFactory::kImportAssets, body, fields));
  ASSERT_EQ(fields.importedIds.size(), 2u);
  EXPECT_EQ(ZuSwfReadIdAt(body, fields.importedIds[0]), 7);
  EXPECT_EQ(ZuSwfReadIdAt(body, fields.importedIds[1]), 9);
  EXPECT_TRUE(fields.references.empty());
}

TEST(TagIds, SetCharacterIdIsNotUndoneByRemapIds) {
  // The engine gives a copied tag its new id first, then maps the old ids through a
  // map that holds both the old and the new id as keys.
  ZuTavoIDMap map;
  map.Set(10, 20);
  map.Set(20, 30);
  map.Set(3, 4);
  auto shape = Load(ZuSwfTagFactory::kDefineShape,
                    FindCase("DefineShape bitmap fill").before);  // id 10, bitmap 3
  ASSERT_EQ(shape->GetCharacterId(), 10);
  shape->SetCharacterId(20);
  shape->RemapIds(map);
  EXPECT_EQ(shape->GetCharacterId(), 20);
  bool wellFormed = false;
  auto ids = ReferencedValues(ZuSwfTagFactory::kDefineShape, BodyOf(*shape), &wellFormed);
  EXPECT_EQ(ids, std::vector<uint16_t>{4});
}

TEST(TagIds, SetReferencedIdIsFinal) {
  ZuTavoIDMap map;
  map.Set(5, 6);
  map.Set(6, 7);
  std::unique_ptr<ZuSwfTag> freed(
      ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kFreeCharacter, 0, 0));
  ASSERT_NE(dynamic_cast<ZuSwfFreeCharacterTag*>(freed.get()), nullptr);
  freed->SetReferencedId(6);
  freed->RemapIds(map);
  EXPECT_EQ(freed->GetReferencedId(), 6);
  EXPECT_EQ(BodyOf(*freed), (Bytes{6, 0}));
  // A loaded FreeCharacter is renumbered like any reference, and so is its clone.
  auto loaded = Load(ZuSwfTagFactory::kFreeCharacter, {5, 0});
  std::unique_ptr<ZuSwfTag> clone(loaded->Clone());
  loaded->RemapIds(map);
  EXPECT_EQ(loaded->GetReferencedId(), 6);
  clone->RemapIds(map);
  EXPECT_EQ(clone->GetReferencedId(), 6);
  // The final id survives cloning.
  std::unique_ptr<ZuSwfTag> finalClone(freed->Clone());
  finalClone->RemapIds(map);
  EXPECT_EQ(finalClone->GetReferencedId(), 6);
}

TEST(TagIds, ShortDefinitionBodiesHaveIdZero) {
  for (uint16_t code : {ZuSwfTagFactory::kDefineShape3, ZuSwfTagFactory::kDefineBitsLossless2,
                        ZuSwfTagFactory::kDefineSprite, ZuSwfTagFactory::kDefineSound}) {
    EXPECT_EQ(Load(code, {})->GetCharacterId(), 0) << code;
    EXPECT_EQ(Load(code, {7})->GetCharacterId(), 0) << code;
  }
  EXPECT_EQ(Load(ZuSwfTagFactory::kShowFrame, {7, 0})->GetCharacterId(), 0);
}

TEST(TagIds, CloneSharesTheBodyUntilChanged) {
  auto original =
      Load(ZuSwfTagFactory::kPlaceObject2, FindCase("PlaceObject2 with character").before);
  std::unique_ptr<ZuSwfTag> clone(original->Clone());
  EXPECT_EQ(clone->GetBody().data(), original->GetBody().data());
  EXPECT_EQ(clone->GetTagType(), ZuSwfTagFactory::kPlaceObject2);
  clone->RemapIds(TestMap());
  EXPECT_NE(clone->GetBody().data(), original->GetBody().data());
  EXPECT_EQ(BodyOf(*original), FindCase("PlaceObject2 with character").before);
  EXPECT_EQ(BodyOf(*clone), FindCase("PlaceObject2 with character").after);
  // A map with nothing to change leaves the body shared.
  std::unique_ptr<ZuSwfTag> untouched(original->Clone());
  untouched->RemapIds(ZuTavoIDMap());
  EXPECT_EQ(untouched->GetBody().data(), original->GetBody().data());
}

// Every prefix of every table body: nothing crashes; a body the locator calls malformed
// is left exactly as it is, and a prefix that still parses is patched only where the
// whole body is.
TEST(TagIds, TruncatedBodiesNeverCrashAndAreNotMisPatched) {
  ZuTavoIDMap map = TestMap();
  for (const IdCase& c : Cases()) {
    for (size_t length = 0; length < c.before.size(); ++length) {
      SCOPED_TRACE(std::string(c.name) + " cut to " + std::to_string(length));
      Bytes prefix(c.before.begin(), c.before.begin() + length);
      bool wellFormed = false;
      ReferencedValues(c.code, prefix, &wellFormed);
      auto tag = Load(c.code, prefix);
      tag->RemapIds(map);
      Bytes result = BodyOf(*tag);
      if (!wellFormed) {
        EXPECT_EQ(result, prefix);
      } else {
        EXPECT_EQ(result, Bytes(c.after.begin(), c.after.begin() + length));
      }
      ZuString text;
      tag->GetTextRep(text);
      EXPECT_FALSE(text.empty());
    }
  }
}

TEST(TagIds, BodiesTheFormatDoesNotAllowAreMalformed) {
  struct Case {
    const char* name;
    uint16_t code;
    Bytes body;
  };
  const Case cases[] = {
      {"unknown fill style type",
       ZuSwfTagFactory::kDefineShape3,
       {1, 0, 0x00, 1, 0x33, 3, 0, 0x00, 0, 0x10, 0x00}},
      {"fill count past the end", ZuSwfTagFactory::kDefineShape, {1, 0, 0x00, 5, 0x41, 3, 0, 0x00}},
      {"shape without an end record",
       ZuSwfTagFactory::kDefineShape,
       {1, 0, 0x00, 1, 0x41, 3, 0, 0x00, 0, 0x10}},
      {"unknown filter",
       ZuSwfTagFactory::kDefineButton2,
       {1, 0, 0, 0, 0, 0x11, 3, 0, 1, 0, 0x00, 0x00, 1, 9, 0x00}},
      {"nested tag longer than the sprite",
       ZuSwfTagFactory::kDefineSprite,
       {1, 0, 1, 0, 0x86, 0x06, 0x06, 1, 0, 3, 0}},
      {"export table shorter than its count", ZuSwfTagFactory::kExportAssets, {2, 0, 3, 0, 'a', 0}},
      {"sound info cut short", ZuSwfTagFactory::kDefineButtonSound, {1, 0, 3, 0, 0x01, 0}},
  };
  ZuTavoIDMap map = TestMap();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuSwfIdFields fields;
    EXPECT_FALSE(ZuSwfLocateIds(c.code, c.body, fields));
    auto tag = Load(c.code, c.body);
    tag->RemapIds(map);
    EXPECT_EQ(BodyOf(*tag), c.body);
  }
}

Bytes TagBytes(uint16_t code, const Bytes& body) {
  Bytes bytes = {static_cast<uint8_t>((code << 6) | 0x3F), static_cast<uint8_t>(code >> 2)};
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<uint8_t>(body.size() >> shift));
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
  const Bytes place = TagBytes(ZuSwfTagFactory::kPlaceObject2, {0x02, 1, 0, 3, 0});
  // Two levels: the inner sprite's placement is renumbered in place.
  Bytes inner = SpriteBody(8, place);
  Bytes outer = SpriteBody(9, TagBytes(ZuSwfTagFactory::kDefineSprite, inner));
  auto tag = Load(ZuSwfTagFactory::kDefineSprite, outer);
  tag->RemapIds(TestMap());
  Bytes expected = SpriteBody(
      9, TagBytes(ZuSwfTagFactory::kDefineSprite,
                  SpriteBody(8, TagBytes(ZuSwfTagFactory::kPlaceObject2, {0x02, 1, 0, 0x43, 0}))));
  EXPECT_EQ(BodyOf(*tag), expected);
  // A thousand levels: refused as malformed, without running out of stack.
  Bytes deep = place;
  for (int level = 0; level < 1000; ++level) deep = TagBytes(39, SpriteBody(1, deep));
  ZuSwfIdFields fields;
  EXPECT_FALSE(ZuSwfLocateIds(ZuSwfTagFactory::kDefineSprite, SpriteBody(2, deep), fields));
}

// Random bodies for every tag code: RemapIds never changes a body's length and never
// touches a byte outside the id fields the locator reports.
TEST(TagIds, RandomBodiesNeverCrashOrChangeLength) {
  std::mt19937 random(1234);
  ZuTavoIDMap map;
  for (uint32_t id = 0; id < 256; ++id)
    map.Set(static_cast<uint16_t>(id), static_cast<uint16_t>(id + 1));
  for (uint16_t code = 0; code < 100; ++code) {
    for (int round = 0; round < 60; ++round) {
      Bytes body(random() % 40);
      for (uint8_t& byte : body) byte = static_cast<uint8_t>(random() % 4 == 0 ? 0 : random());
      ZuSwfIdFields fields;
      bool wellFormed = ZuSwfLocateIds(code, body, fields);
      auto tag = Load(code, body);
      tag->RemapIds(map);
      Bytes result = BodyOf(*tag);
      ASSERT_EQ(result.size(), body.size());
      std::vector<bool> idByte(body.size(), false);
      if (wellFormed) {
        for (size_t offset : fields.references) idByte[offset] = idByte[offset + 1] = true;
      }
      for (size_t i = 0; i < body.size(); ++i) {
        if (!idByte[i]) {
          ASSERT_EQ(result[i], body[i]) << "code " << code << " byte " << i;
        }
      }
      ZuString text;
      tag->GetTextRep(text);
      ASSERT_EQ(text.GetUTF8String().find('\n'), std::string::npos);
    }
  }
}

}  // namespace

namespace {

// The table's bodies are real tags: the independent parser reads each of them, before
// and after renumbering.
TEST(TagIds, TableBodiesAreReadByTheIndependentParser) {
  TempDir dir;
  SwfBuilder builder;
  builder.StageSize(100, 100);
  std::vector<int> expected;
  for (const IdCase& c : Cases()) {
    if (F::GetTagName(c.code) == "Unknown") continue;
    builder.Tag(c.code, c.before).Tag(c.code, c.after);
    expected.insert(expected.end(), {c.code, c.code});
  }
  std::string error;
  EXPECT_EQ(OracleTagCodes(builder.WriteTo(dir.File("ids.swf")), &error), expected);
  EXPECT_EQ(error, "");
}

}  // namespace
