#include "host/player/ZuDisplayList.h"

#include <optional>

#include "host/player/ZuWarningLog.h"
#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfPlacementFields.h"
#include "host/swf/ZuSwfTag.h"
#include "host/util/ZuLittleEndian.h"

namespace {

using Factory = ZuSwfTagFactory;

}  // namespace

ZuDisplayList::ZuDisplayList() : m_dictionary(65536, nullptr) {}

void ZuDisplayList::Clear() {
  m_depths.clear();
  std::fill(m_dictionary.begin(), m_dictionary.end(), nullptr);
}

void ZuDisplayList::ApplyTag(const ZuSwfTag& tag, ZuWarningLog& warnings) {
  enuTagType type = tag.GetTagType();
  switch (type) {
    case Factory::kPlaceObject:
      PlaceVersion1(tag, warnings);
      return;
    case Factory::kPlaceObject2:
    case Factory::kPlaceObject3:
    case Factory::kPlaceObject4:
      Place(tag, warnings);
      return;
    case Factory::kRemoveObject:
    case Factory::kRemoveObject2: {
      // RemoveObject names the character too, but the depth alone decides.
      ZuSharedBytes body = tag.GetBody();
      size_t offset = type == Factory::kRemoveObject ? 2 : 0;
      if (body.size() < offset + 2) {
        warnings.Warn("a RemoveObject tag too short for its depth was skipped");
        return;
      }
      m_depths.erase(ZuLittleEndian::ReadU16(body.data() + offset));
      return;
    }
    case Factory::kFreeCharacter:
      if (tag.GetBody().size() >= 2) m_dictionary[tag.GetReferencedId()] = nullptr;
      return;
    default:
      if (ZuSwfIsDefinitionCode(type) && tag.GetBody().size() >= 2) {
        m_dictionary[tag.GetCharacterId()] = &tag;
      }
      return;
  }
}

void ZuDisplayList::Place(const ZuSwfTag& tag, ZuWarningLog& warnings) {
  std::optional<ZuSwfPlacementFields> decoded =
      ZuSwfPlacementFields::Decode(tag.GetTagType(), tag.GetBody());
  if (!decoded) {
    warnings.Warn("a placement tag that ends before its fields was skipped");
    return;
  }
  const ZuSwfPlacementFields& fields = *decoded;
  auto existing = m_depths.find(fields.depth);
  if (!fields.characterId && (!fields.move || existing == m_depths.end())) {
    return;  // nothing to place, nothing to change
  }
  ZuPlacement placement;
  if (fields.move && existing != m_depths.end()) {
    placement = existing->second;  // a change keeps what the tag does not give
  }
  if (fields.characterId) {
    placement.characterId = *fields.characterId;
    placement.character = m_dictionary[*fields.characterId];
  }
  if (fields.matrix) placement.matrix = *fields.matrix;
  if (fields.colorTransform) placement.colorTransform = *fields.colorTransform;
  if (fields.clipDepth) placement.clipDepth = *fields.clipDepth;
  placement.hasEffects = placement.hasEffects || fields.hasEffects;
  m_depths[fields.depth] = placement;
}

// PlaceObject: character id, depth, matrix and, when bytes remain, a colour transform
// without alpha.
void ZuDisplayList::PlaceVersion1(const ZuSwfTag& tag, ZuWarningLog& warnings) {
  ZuBitStream in(tag.GetBody());
  uint16_t id = 0, depth = 0;
  ZuPlacement placement;
  in.ReadWord(id);
  in.ReadWord(depth);
  placement.matrix.Read(in);
  if (!in.HasError() && in.GetRemainingBytes() > 0) placement.colorTransform.Read(in, false);
  if (in.HasError()) {
    warnings.Warn("a placement tag that ends before its fields was skipped");
    return;
  }
  placement.characterId = id;
  placement.character = m_dictionary[id];
  m_depths[depth] = placement;
}
