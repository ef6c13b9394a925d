#pragma once

#include <cstdint>
#include <memory>

#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuSwfTagInfo.h"

// The tag fields that the edits read and the clean-up tags they make. A tag whose class
// does not match its type makes the readers and makers throw the int 0, the engine's
// signal that it cannot go on.
namespace zu_edit_tags {

// Whether the slot holds a tag of type (false for a null slot).
inline bool IsOfType(const ZuSwfTag* tag, enuTagType type) {
  return tag != nullptr && tag->GetTagType() == type;
}

// Whether a tag of type defines a character or changes the display list (places, removes,
// frees); false for the tags that only mark or accompany a frame (ShowFrame, actions,
// labels, sound, metadata, End).
inline bool ChangesPictures(enuTagType type) {
  const ZuSwfTagInfo& info = ZuSwfGetTagInfo(type);
  return info.definesCharacter || info.tagClass == ZuSwfTagClass::kPlaceObject ||
         info.tagClass == ZuSwfTagClass::kRemoveObject ||
         info.tagClass == ZuSwfTagClass::kFreeCharacter;
}

// Whether a clean-up block, past its run of FreeCharacter tags, ends at tag: at the new
// block's first placement or at the end of the frame. Its RemoveObject2 tags stand before
// that in one run, before or after the new key frame's definitions, or in two runs around
// them: a key frame that an edit adds gets its RemoveObject2 right in front of the block's
// end, behind the definitions, when the block empties the old depths first. Bounded so, a
// clean-up block that removes nothing never takes the RemoveObject2 tags of a later one.
inline bool EndsCleanupBlock(const ZuSwfTag* tag) {
  return IsOfType(tag, ZuSwfTagFactory::kPlaceObject2) ||
         IsOfType(tag, ZuSwfTagFactory::kShowFrame);
}

// The depth a PlaceObject2 tag places at.
inline uint16_t PlacedDepth(const ZuSwfTag& tag) {
  const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(&tag);
  if (place == nullptr) {
    throw 0;
  }
  return place->GetDepth();
}

// The depth a RemoveObject2 tag empties.
inline uint16_t RemovedDepth(const ZuSwfTag& tag) {
  const auto* remove = dynamic_cast<const ZuSwfRemoveObjectTag*>(&tag);
  if (remove == nullptr) {
    throw 0;
  }
  return remove->m_depth;
}

// A new FreeCharacter tag for id, owned by the caller.
inline ZuSwfTag* MakeFreeCharacter(uint16_t id) {
  ZuSwfTag* tag = ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kFreeCharacter, 0, 0);
  tag->SetReferencedId(id);
  return tag;
}

// A new RemoveObject2 tag for depth, owned by the caller.
inline ZuSwfTag* MakeRemoveObject2(uint16_t depth) {
  ZuSwfTag* tag = ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kRemoveObject2, 0, 0);
  auto* remove = dynamic_cast<ZuSwfRemoveObjectTag*>(tag);
  if (remove == nullptr) {
    delete tag;
    throw 0;
  }
  remove->m_depth = depth;
  return remove;
}

// A new tag of type as class Tag, owned by the caller; null (and nothing left over) when
// the factory makes another class for type.
template <typename Tag>
std::unique_ptr<Tag> CreateTagAs(enuTagType type) {
  std::unique_ptr<ZuSwfTag> tag(ZuSwfTagFactory::CreateTagOfType(type, 0, 0));
  if (dynamic_cast<Tag*>(tag.get()) == nullptr) {
    return nullptr;
  }
  return std::unique_ptr<Tag>(static_cast<Tag*>(tag.release()));
}

}  // namespace zu_edit_tags
