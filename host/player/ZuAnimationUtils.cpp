#include "host/player/ZuAnimationUtils.h"

#include <iterator>
#include <memory>
#include <optional>
#include <set>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMappedPageReleaser.h"

// The checks look at tag types, ids and bitmap headers only. Decoding the key frame's
// pixels is a later addition.

namespace {

using Factory = ZuSwfTagFactory;

bool IsLosslessBitmap(enuTagType type) {
  return type == Factory::kDefineBitsLossless || type == Factory::kDefineBitsLossless2;
}

bool IsShape(enuTagType type) {
  return type == Factory::kDefineShape || type == Factory::kDefineShape2 ||
         type == Factory::kDefineShape3 || type == Factory::kDefineShape4;
}

bool IsPlacement(enuTagType type) {
  return type == Factory::kPlaceObject2 || type == Factory::kPlaceObject3;
}

bool IsRemoval(enuTagType type) {
  return type == Factory::kRemoveObject || type == Factory::kRemoveObject2;
}

// The fixed fields at the start of a lossless bitmap's body.
struct BitmapHeader {
  uint16_t id = 0;
  uint8_t format = 0;
  uint16_t width = 0;
  uint16_t height = 0;
};

std::optional<BitmapHeader> ReadBitmapHeader(const ZuSwfTag& tag) {
  const std::unique_ptr<ZuBitStream> body(tag.GetDataStream());
  BitmapHeader header;
  body->ReadWord(header.id);
  body->ReadByte(header.format);
  body->ReadWord(header.width);
  body->ReadWord(header.height);
  if (body->HasError()) {
    return std::nullopt;
  }
  return header;
}

// Whether a recording may hold the tag: what draws frames of lossless pictures, sound
// streams, simple actions and labels, and the header tags.
bool IsInFmrSet(const ZuSwfTag& tag) {
  const enuTagType type = tag.GetTagType();
  if (IsLosslessBitmap(type)) {
    const auto header = ReadBitmapHeader(tag);
    return header && header->format >= 3 && header->format <= 5;
  }
  if (IsShape(type) || IsPlacement(type) || IsRemoval(type)) {
    return true;
  }
  switch (type) {
    case Factory::kShowFrame:
    case Factory::kFreeCharacter:
    case Factory::kDoAction:
    case Factory::kFrameLabel:
    case Factory::kSoundStreamHead:
    case Factory::kSoundStreamBlock:
    case Factory::kSoundStreamHead2:
    case Factory::kMetadata:
    case Factory::kEnd:
    case Factory::kFileAttributes:
    case Factory::kSetBackgroundColor:
      return true;
    default:
      return false;
  }
}

bool AllTagsInFmrSet(const ZuTavoFile& movie) {
  ZuMappedPageReleaser pages;
  for (const ZuSwfTag* tag : movie) {
    if (tag == nullptr || !IsInFmrSet(*tag)) {
      return false;
    }
    pages.PassedEnd(tag->GetBody());
  }
  return true;
}

// A header tag shows, defines, places and removes nothing.
bool IsHeaderTag(const ZuSwfTag& tag) {
  const enuTagType type = tag.GetTagType();
  return type != Factory::kShowFrame && !IsLosslessBitmap(type) && !IsShape(type) &&
         !IsPlacement(type) && !IsRemoval(type);
}

bool StartsWithHeaderTags(const ZuTavoFile& movie) {
  if (movie.GetTagCount() < 3) {
    return false;
  }
  auto pos = movie.begin();
  const ZuSwfTag* first = *pos++;
  const ZuSwfTag* second = *pos;
  return IsHeaderTag(*first) && IsHeaderTag(*second);
}

bool HasShowFrame(const ZuTavoFile& movie) {
  for (const ZuSwfTag* tag : movie) {
    if (tag->GetTagType() == Factory::kShowFrame) {
      return true;
    }
  }
  return false;
}

// Frame 1 defines a bitmap of the stage's size, a shape filled with it, and places the
// shape: the full picture that the later frames draw over.
bool FirstFrameShowsStagePicture(const ZuTavoFile& movie) {
  std::set<uint16_t> stageBitmaps;
  std::set<uint16_t> stageShapes;
  auto pos = movie.begin();
  std::advance(pos, 2);
  for (; pos != movie.end() && (*pos)->GetTagType() != Factory::kShowFrame; ++pos) {
    const ZuSwfTag& tag = **pos;
    const enuTagType type = tag.GetTagType();
    if (IsLosslessBitmap(type)) {
      const auto header = ReadBitmapHeader(tag);
      if (header && header->width == movie.GetWidth() && header->height == movie.GetHeight()) {
        stageBitmaps.insert(header->id);
      }
    } else if (const auto* shape = dynamic_cast<const ZuSwfDefineShapeTag*>(&tag)) {
      for (uint16_t bitmapId : shape->GetBitmapIds()) {
        if (stageBitmaps.count(bitmapId) != 0) {
          stageShapes.insert(shape->GetCharacterId());
        }
      }
    } else if (const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(&tag)) {
      const auto placed = place->GetPlacedCharacterId();
      if (placed && stageShapes.count(*placed) != 0) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool ZuAnimationUtils::IsFMRSWF(const ZuTavoFile& movie) {
  // The set check comes first: it also turns away null slots, which the others then skip.
  return AllTagsInFmrSet(movie) && StartsWithHeaderTags(movie) && HasShowFrame(movie) &&
         FirstFrameShowsStagePicture(movie);
}
