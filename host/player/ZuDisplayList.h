#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "host/swf/ZuSwfTypes.h"

class ZuSwfTag;
class ZuWarningLog;

// What stands at one depth of the display list.
struct ZuPlacement {
  uint16_t characterId = 0;
  const ZuSwfTag* character = nullptr;  // its definition when placed; null when undefined
  ZuSwfMatrix matrix;
  ZuSwfColorTransform colorTransform;  // identity unless the placement gave one
  uint16_t clipDepth = 0;              // non-zero: a clipping layer up to this depth
  bool hasEffects = false;             // filters or a blend mode were asked for

  bool operator==(const ZuPlacement&) const = default;
};

// The state of a movie's timeline after some frames: the character dictionary (id ->
// definition tag, as definitions and FreeCharacter tags pass) and the display list
// (depth -> placement). It is built by feeding it the tags of each frame in order; going
// back means clearing it and feeding it again from the first frame. Tags are not owned;
// they must outlive the list.
class ZuDisplayList {
 public:
  ZuDisplayList();

  // Applies one tag: definitions, FreeCharacter, PlaceObject 1 to 3, RemoveObject 1 and 2.
  // Other tags change nothing. Malformed placements are skipped with a warning.
  void ApplyTag(const ZuSwfTag& tag, ZuWarningLog& warnings);
  void Clear();

  // Depth -> placement, in depth order.
  const std::map<uint16_t, ZuPlacement>& GetPlacements() const { return m_depths; }
  // The definition of a character id, or null.
  const ZuSwfTag* FindCharacter(uint16_t id) const { return m_dictionary[id]; }

 private:
  void Place(const ZuSwfTag& tag, ZuWarningLog& warnings);
  void PlaceVersion1(const ZuSwfTag& tag, ZuWarningLog& warnings);

  std::map<uint16_t, ZuPlacement> m_depths;
  std::vector<const ZuSwfTag*> m_dictionary;  // 65536 slots, one per id
};
