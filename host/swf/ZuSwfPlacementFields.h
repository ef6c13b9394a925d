#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/util/ZuSharedBytes.h"

// The fields of a PlaceObject2, 3 or 4 body up to the clip depth: what a placement puts
// at its depth. The filter list, blend mode and clip actions that may follow are not
// decoded; hasEffects only tells whether a filter list or blend mode follows.
struct ZuSwfPlacementFields {
  // Flags of the first byte, the same in PlaceObject2, 3 and 4.
  static constexpr uint8_t kMove = 0x01;
  static constexpr uint8_t kHasCharacter = 0x02;
  static constexpr uint8_t kHasMatrix = 0x04;
  static constexpr uint8_t kHasColorTransform = 0x08;
  static constexpr uint8_t kHasRatio = 0x10;
  static constexpr uint8_t kHasName = 0x20;
  static constexpr uint8_t kHasClipDepth = 0x40;
  // Flags of the second byte, which PlaceObject3 and 4 add.
  static constexpr uint8_t kHasFilterList = 0x01;
  static constexpr uint8_t kHasBlendMode = 0x02;
  static constexpr uint8_t kHasClassName = 0x08;
  static constexpr uint8_t kHasImage = 0x10;

  bool move = false;  // changes the character already at the depth
  bool hasEffects = false;
  uint16_t depth = 0;
  std::optional<uint16_t> characterId;
  std::optional<ZuSwfMatrix> matrix;
  std::optional<ZuSwfColorTransform> colorTransform;
  std::optional<uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<uint16_t> clipDepth;

  // Decodes body, the body of a tag of type kPlaceObject2, 3 or 4. Empty when the body
  // ends before the fields its flags announce. Never reads outside body.
  static std::optional<ZuSwfPlacementFields> Decode(enuTagType type, const ZuSharedBytes& body);
};
