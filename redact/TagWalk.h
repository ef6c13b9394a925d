#pragma once

#include <cstdint>
#include <iterator>

#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoFile.h"

// Small readers shared by the redaction's walks over a movie's tags.
namespace redact_tags {

inline bool IsOfType(const ZuSwfTag* tag, enuTagType type) {
  return tag != nullptr && tag->GetTagType() == type;
}

inline bool IsBitmap(const ZuSwfTag* tag) {
  return IsOfType(tag, ZuSwfTagFactory::kDefineBitsLossless2) ||
         IsOfType(tag, ZuSwfTagFactory::kDefineBitsLossless);
}

inline bool IsShape(const ZuSwfTag* tag) {
  return IsOfType(tag, ZuSwfTagFactory::kDefineShape) ||
         IsOfType(tag, ZuSwfTagFactory::kDefineShape2) ||
         IsOfType(tag, ZuSwfTagFactory::kDefineShape3) ||
         IsOfType(tag, ZuSwfTagFactory::kDefineShape4);
}

inline bool IsPlacement(const ZuSwfTag* tag) {
  return IsOfType(tag, ZuSwfTagFactory::kPlaceObject2) ||
         IsOfType(tag, ZuSwfTagFactory::kPlaceObject3);
}

inline bool IsRemoval(const ZuSwfTag* tag) {
  return IsOfType(tag, ZuSwfTagFactory::kRemoveObject2) ||
         IsOfType(tag, ZuSwfTagFactory::kRemoveObject);
}

// The first tag of frame 1: the header's two tags belong to no frame.
inline ZuTavoFile::iterator FirstFrameTag(ZuTavoFile& movie) {
  auto first = movie.begin();
  for (int skipped = 0; skipped < 2 && first != movie.end(); ++skipped) {
    ++first;
  }
  return first;
}

// The largest character id a tag of the movie defines: the movie's own count may lag behind ids
// that loading gave anew.
inline uint16_t HighestCharacterId(const ZuTavoFile& movie) {
  uint16_t highest = movie.GetHighestCharacterId();
  for (const ZuSwfTag* tag : movie) {
    if (tag != nullptr && tag->GetCharacterId() > highest) {
      highest = tag->GetCharacterId();
    }
  }
  return highest;
}

}  // namespace redact_tags
