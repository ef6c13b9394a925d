#pragma once

#include <string>

#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagSet.h"

namespace engine_test {

// One tag as a short word, so that tests can state a whole tag list:
//   "bitmap 5" (DefineBitsLossless2, its id), "shape 6" (DefineShape3, its id),
//   "place 6@102" (PlaceObject2: the placed character, the depth), "free 5",
//   "remove 102" (RemoveObject2: the depth), "show", "action" (DoAction),
//   "header" (FileAttributes, SetBackgroundColor), "null" for an empty slot, otherwise
//   "tag N" with the code.
inline std::string DescribeTag(const ZuSwfTag* tag) {
  if (tag == nullptr) {
    return "null";
  }
  const int type = tag->GetTagType();
  switch (type) {
    case ZuSwfTagFactory::kShowFrame:
      return "show";
    case ZuSwfTagFactory::kDoAction:
      return "action";
    case ZuSwfTagFactory::kFileAttributes:
    case ZuSwfTagFactory::kSetBackgroundColor:
      return "header";
    case ZuSwfTagFactory::kDefineBitsLossless2:
      return "bitmap " + std::to_string(tag->GetCharacterId());
    case ZuSwfTagFactory::kDefineShape3:
      return "shape " + std::to_string(tag->GetCharacterId());
    case ZuSwfTagFactory::kFreeCharacter:
      return "free " + std::to_string(tag->GetReferencedId());
    case ZuSwfTagFactory::kPlaceObject2:
      if (const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(tag)) {
        return "place " + std::to_string(place->GetPlacedCharacterId().value_or(0)) + "@" +
               std::to_string(place->GetDepth());
      }
      break;
    case ZuSwfTagFactory::kRemoveObject2:
      if (const auto* remove = dynamic_cast<const ZuSwfRemoveObjectTag*>(tag)) {
        return "remove " + std::to_string(remove->m_depth);
      }
      break;
    default:
      break;
  }
  return "tag " + std::to_string(type);
}

// Every slot of a tag list described on one line, ", " between the words: easy to state in
// a test and easy to compare.
inline std::string DescribeLine(const ZuSwfTagSet& tags) {
  std::string line;
  for (const ZuSwfTag* tag : tags) {
    line += (line.empty() ? "" : ", ") + DescribeTag(tag);
  }
  return line;
}

}  // namespace engine_test
