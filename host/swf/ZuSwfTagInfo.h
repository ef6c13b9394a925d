#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The class of tag object that holds the body of a tag code.
enum class ZuSwfTagClass : uint8_t {
  kPlain,           // ZuSwfTag
  kPlaceObject,     // ZuSwfPlaceObject2Tag (PlaceObject2 and PlaceObject3)
  kRemoveObject,    // ZuSwfRemoveObjectTag (RemoveObject and RemoveObject2)
  kFreeCharacter,   // ZuSwfFreeCharacterTag
  kLosslessBitmap,  // ZuSwfDefineBitsLossless2Tag (DefineBitsLossless and ...2)
  kShape,           // ZuSwfDefineShapeTag (DefineShape to DefineShape4)
  kSprite,          // ZuSwfDefineSpriteTag
};

// What the host knows of one tag code of the published SWF format: one row of one table.
struct ZuSwfTagInfo {
  uint16_t code = 0;
  std::string_view name;          // the format's name ("PlaceObject2"), or "Unknown"
  bool definesCharacter = false;  // the body starts with the id of the character it defines
  bool isBitmap = false;          // DefineBits, DefineBitsJPEG2/3/4, DefineBitsLossless(2)
  ZuSwfTagClass tagClass = ZuSwfTagClass::kPlain;
  // The smallest body a new tag of the code can have and still be read by a player: zeros
  // for the fixed fields, empty lists and terminators where the format needs them.
  std::span<const uint8_t> minimalBody;
};

// The row of code. Codes the format lacks get the name "Unknown", the plain class and an
// empty body: unknown tags pass through unchanged.
const ZuSwfTagInfo& ZuSwfGetTagInfo(uint16_t code);

// Every known row, in code order.
std::span<const ZuSwfTagInfo> ZuSwfKnownTags();

// Shorthands for the two questions asked most.
inline bool ZuSwfIsDefinitionCode(uint16_t code) {
  return ZuSwfGetTagInfo(code).definesCharacter;
}
inline bool ZuSwfIsBitmapCode(uint16_t code) {
  return ZuSwfGetTagInfo(code).isBitmap;
}
