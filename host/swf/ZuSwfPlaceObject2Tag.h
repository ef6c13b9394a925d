#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/swf/ZuTavoFilter.h"

// A PlaceObject2 (26) or PlaceObject3 (70) tag: puts a character at a depth of the
// display list, or changes what stands there. Fields are decoded on demand.
class ZuSwfPlaceObject2Tag : public ZuSwfTag {
 public:
  ZuSwfPlaceObject2Tag(enuTagType type, ZuSharedBytes body, bool longHeader);

  // A new placement of characterId at depth, translated by (x, y) pixels, with a name
  // when name is not empty. Filters make it a PlaceObject3 tag.
  static ZuSwfPlaceObject2Tag* Create(uint16_t characterId, uint16_t depth, double x, double y,
                                      const std::string& name,
                                      const std::vector<ZuTavoFilter*>& filters);

  ZuSwfTag* Clone() const override;
  void RemapIds(const ZuTavoIDMap& map) override;
  void GetTextRep(ZuString& text) const override;

  uint16_t GetDepth() const;
  // The placed character, when the tag names one.
  std::optional<uint16_t> GetPlacedCharacterId() const;
  bool IsMove() const;  // changes the character already at the depth
  std::optional<ZuSwfMatrix> GetMatrix() const;
  std::optional<ZuSwfColorTransform> GetColorTransform() const;
  std::optional<uint16_t> GetClipDepth() const;
};
