#include "host/player/ZuDisplayList.h"

#include <optional>
#include <string>

#include "host/player/ZuWarningLog.h"
#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfTag.h"

namespace {

using Factory = ZuSwfTagFactory;

// Flags of PlaceObject2 and 3 (first byte) and of PlaceObject3 (second byte).
constexpr uint8_t kMove = 0x01;
constexpr uint8_t kHasCharacter = 0x02;
constexpr uint8_t kHasMatrix = 0x04;
constexpr uint8_t kHasColorTransform = 0x08;
constexpr uint8_t kHasRatio = 0x10;
constexpr uint8_t kHasName = 0x20;
constexpr uint8_t kHasClipDepth = 0x40;
constexpr uint8_t kHasFilterList = 0x01;
constexpr uint8_t kHasBlendMode = 0x02;
constexpr uint8_t kHasClassName = 0x08;
constexpr uint8_t kHasImage = 0x10;

// The fields of a PlaceObject2 or 3 tag that change the display list.
struct PlaceFields {
  bool move = false;
  uint16_t depth = 0;
  std::optional<uint16_t> characterId;
  std::optional<ZuSwfMatrix> matrix;
  std::optional<ZuSwfColorTransform> colorTransform;
  std::optional<uint16_t> clipDepth;
  bool hasEffects = false;
};

// Reads the fields up to the clip depth; false when the body ends before them.
bool ReadPlaceFields(const ZuSwfTag& tag, PlaceFields& fields) {
  ZuBitStream in(tag.GetBody());
  bool version3 = tag.GetTagType() != Factory::kPlaceObject2;
  uint8_t flags = 0, flags2 = 0;
  in.ReadByte(flags);
  if (version3) in.ReadByte(flags2);
  in.ReadWord(fields.depth);
  fields.move = (flags & kMove) != 0;
  fields.hasEffects = (flags2 & (kHasFilterList | kHasBlendMode)) != 0;
  if ((flags2 & kHasClassName) != 0 || ((flags2 & kHasImage) != 0 && (flags & kHasCharacter))) {
    std::string className;
    in.ReadString(className);
  }
  uint16_t word = 0;
  if ((flags & kHasCharacter) != 0 && in.ReadWord(word)) fields.characterId = word;
  if ((flags & kHasMatrix) != 0) fields.matrix.emplace().Read(in);
  if ((flags & kHasColorTransform) != 0) fields.colorTransform.emplace().Read(in, true);
  if ((flags & kHasRatio) != 0) in.ReadWord(word);
  if ((flags & kHasName) != 0) {
    std::string name;
    in.ReadString(name);
  }
  if ((flags & kHasClipDepth) != 0 && in.ReadWord(word)) fields.clipDepth = word;
  return !in.HasError();
}

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
      m_depths.erase(static_cast<uint16_t>(body[offset] | (body[offset + 1] << 8)));
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
  PlaceFields fields;
  if (!ReadPlaceFields(tag, fields)) {
    warnings.Warn("a placement tag that ends before its fields was skipped");
    return;
  }
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
