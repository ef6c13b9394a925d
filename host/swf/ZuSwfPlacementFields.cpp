#include "host/swf/ZuSwfPlacementFields.h"

#include "host/swf/ZuBitStream.h"

std::optional<ZuSwfPlacementFields> ZuSwfPlacementFields::Decode(enuTagType type,
                                                                 const ZuSharedBytes& body) {
  ZuSwfPlacementFields fields;
  ZuBitStream in(body);
  uint8_t flags = 0, flags2 = 0;
  in.ReadByte(flags);
  if (type != ZuSwfTagFactory::kPlaceObject2) in.ReadByte(flags2);
  in.ReadWord(fields.depth);
  fields.move = (flags & kMove) != 0;
  fields.hasEffects = (flags2 & (kHasFilterList | kHasBlendMode)) != 0;
  if ((flags2 & kHasClassName) != 0 ||
      ((flags2 & kHasImage) != 0 && (flags & kHasCharacter) != 0)) {
    std::string className;
    in.ReadString(className);
  }
  uint16_t word = 0;
  if ((flags & kHasCharacter) != 0 && in.ReadWord(word)) fields.characterId = word;
  if ((flags & kHasMatrix) != 0) fields.matrix.emplace().Read(in);
  if ((flags & kHasColorTransform) != 0) fields.colorTransform.emplace().Read(in, true);
  if ((flags & kHasRatio) != 0 && in.ReadWord(word)) fields.ratio = word;
  if ((flags & kHasName) != 0) in.ReadString(fields.name.emplace());
  if ((flags & kHasClipDepth) != 0 && in.ReadWord(word)) fields.clipDepth = word;
  if (in.HasError()) return std::nullopt;
  return fields;
}
