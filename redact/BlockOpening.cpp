// A block opened inside another: what the old block shows is taken away at the frame's start and a
// rendered key frame takes its place, as a cut does where it joins two movies.

#include "redact/BlockOpening.h"

#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "engine/ZuEditTags.h"
#include "host/image/ZuBitmapQuality.h"
#include "host/image/ZuImage.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuTavoFile.h"
#include "redact/TagWalk.h"

namespace {

using Factory = ZuSwfTagFactory;
using namespace redact_tags;

constexpr uint16_t kKeyFrameDepth = ZuAnimationUtils::kRenderedKeyFrameDepth;
constexpr uint32_t kLargestId = 65535;

// What the movie holds at the start of a frame: its depths on display (with their characters),
// the bitmaps defined and not freed, and the bitmaps each shape defined so far fills with.
struct HeldAtFrame {
  ZuTavoFile::iterator frameStart;
  std::map<uint16_t, uint16_t> depths;
  std::set<uint16_t> bitmaps;
  std::map<uint16_t, std::vector<uint16_t>> shapeBitmaps;
};

// Brings held up to date with one tag.
void Apply(const ZuSwfTag& tag, HeldAtFrame& held) {
  if (IsBitmap(&tag)) {
    held.bitmaps.insert(tag.GetCharacterId());
  } else if (IsShape(&tag)) {
    if (const auto* shape = dynamic_cast<const ZuSwfDefineShapeTag*>(&tag)) {
      held.shapeBitmaps[tag.GetCharacterId()] = shape->GetBitmapIds();
    }
  } else if (IsOfType(&tag, Factory::kFreeCharacter)) {
    held.bitmaps.erase(tag.GetReferencedId());
  } else if (IsPlacement(&tag)) {
    const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(&tag);
    if (place != nullptr && place->GetPlacedCharacterId()) {
      held.depths[place->GetDepth()] = *place->GetPlacedCharacterId();
    }
  } else if (IsRemoval(&tag)) {
    if (const auto* remove = dynamic_cast<const ZuSwfRemoveObjectTag*>(&tag)) {
      held.depths.erase(remove->m_depth);
    }
  }
}

HeldAtFrame HeldBefore(ZuTavoFile& movie, int frame) {
  HeldAtFrame held;
  int current = 1;
  auto tag = FirstFrameTag(movie);
  for (; tag != movie.end() && current < frame; ++tag) {
    if (*tag != nullptr) {
      Apply(**tag, held);
      current += IsOfType(*tag, Factory::kShowFrame) ? 1 : 0;
    }
  }
  held.frameStart = tag;
  return held;
}

// Whether a depth on display at the frame's start still shows the same placement at its end.
bool CarriesOver(ZuTavoFile& movie, const HeldAtFrame& held) {
  std::set<uint16_t> carried;
  for (const auto& [depth, character] : held.depths) {
    carried.insert(depth);
  }
  for (auto tag = held.frameStart; tag != movie.end() && !IsOfType(*tag, Factory::kShowFrame);
       ++tag) {
    if (IsPlacement(*tag)) {
      const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(*tag);
      if (place != nullptr && place->GetPlacedCharacterId()) {
        carried.erase(place->GetDepth());
      }
    } else if (IsRemoval(*tag)) {
      carried.erase(zu_edit_tags::RemovedDepth(**tag));
    }
  }
  return !carried.empty();
}

// The later tags that free or empty what the opening frees and empties, to be taken out; or why
// the movie cannot take the opening.
struct LaterCleanup {
  std::vector<ZuTavoFile::iterator> obsolete;
  std::string refusal;
};

LaterCleanup FindLaterCleanup(ZuTavoFile& movie, const HeldAtFrame& held,
                              const std::set<uint16_t>& freed, int frame) {
  LaterCleanup found;
  std::set<uint16_t> depths;
  for (const auto& [depth, character] : held.depths) {
    depths.insert(depth);
  }
  std::set<uint16_t> bitmaps = freed;
  const std::string where = "frame " + std::to_string(frame);
  for (auto tag = held.frameStart; tag != movie.end(); ++tag) {
    const bool freesHeld =
        IsOfType(*tag, Factory::kFreeCharacter) && bitmaps.erase((*tag)->GetReferencedId()) != 0;
    const bool emptiesHeld =
        !freesHeld && IsRemoval(*tag) && depths.erase(zu_edit_tags::RemovedDepth(**tag)) != 0;
    if (freesHeld || emptiesHeld) {
      found.obsolete.push_back(tag);
    } else if (IsPlacement(*tag)) {
      const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(*tag);
      if (place == nullptr || depths.count(place->GetDepth()) != 0) {
        found.refusal = "a picture shown before " + where + " is changed later in its block";
        return found;
      }
    }
  }
  return found;
}

// The bitmaps held at the frame's start that no shape placed from there on shows: the opening
// frees them. The others stay, with their own clean-up.
std::set<uint16_t> BitmapsToFree(ZuTavoFile& movie, const HeldAtFrame& held) {
  std::set<uint16_t> freed = held.bitmaps;
  for (auto tag = held.frameStart; tag != movie.end(); ++tag) {
    const auto* place =
        IsPlacement(*tag) ? dynamic_cast<const ZuSwfPlaceObject2Tag*>(*tag) : nullptr;
    const auto character = place != nullptr ? place->GetPlacedCharacterId() : std::nullopt;
    const auto shape = character ? held.shapeBitmaps.find(*character) : held.shapeBitmaps.end();
    if (shape != held.shapeBitmaps.end()) {
      for (const uint16_t bitmap : shape->second) {
        freed.erase(bitmap);
      }
    }
  }
  return freed;
}

// Puts the free tag and the removal of the key frame into the clean-up block that follows pos,
// where the movie frees the block the key frame now belongs to. Nothing when no block follows.
void CleanUpKeyFrameLater(ZuTavoFile& movie, ZuTavoFile::iterator pos, uint16_t bitmapId) {
  auto freeAt = pos;
  while (freeAt != movie.end() && !IsOfType(*freeAt, Factory::kFreeCharacter)) {
    ++freeAt;
  }
  if (freeAt == movie.end()) {
    return;
  }
  movie.IncludeTag(zu_edit_tags::MakeFreeCharacter(bitmapId), freeAt);
  auto placeAt = freeAt;
  while (placeAt != movie.end() && !zu_edit_tags::EndsCleanupBlock(*placeAt)) {
    ++placeAt;
  }
  if (placeAt != movie.end()) {
    movie.IncludeTag(zu_edit_tags::MakeRemoveObject2(kKeyFrameDepth), placeAt);
  }
}

// Inserts before pos the key frame of picture: its bitmap, a shape showing it at full size and
// the shape's placement at the key-frame depth. Returns the bitmap's id, 0 when the tags cannot
// be made.
uint16_t InsertKeyFrame(ZuTavoFile& movie, ZuTavoFile::iterator pos, const ZuImage& picture) {
  auto bitmap =
      zu_edit_tags::CreateTagAs<ZuSwfDefineBitsLossless2Tag>(Factory::kDefineBitsLossless2);
  auto shape = zu_edit_tags::CreateTagAs<ZuSwfDefineShapeTag>(Factory::kDefineShape3);
  if (bitmap == nullptr || shape == nullptr) {
    return 0;
  }
  const auto bitmapId = static_cast<uint16_t>(HighestCharacterId(movie) + 1);
  const auto shapeId = static_cast<uint16_t>(bitmapId + 1);
  bitmap->SetCharacterId(bitmapId);
  if (!bitmap->CreateImage(picture, kZuBitmapQualityLossless)) {
    return 0;
  }
  const int width = picture.GetWidth();
  const int height = picture.GetHeight();
  shape->CreateShapeForImage(bitmapId, 0, 0, width, height, width, height, 0);
  shape->SetCharacterId(shapeId);
  movie.IncludeTag(bitmap.release(), pos);
  movie.IncludeTag(shape.release(), pos);
  movie.PlaceObject(shapeId, pos, ZuString(), 0.0, 0.0, kKeyFrameDepth, {});
  return bitmapId;
}

}  // namespace

std::string OpenBlockWhereCarriedOver(ZuTavoFile& movie, int frame,
                                      const OriginalFrameRenderer& render) {
  const HeldAtFrame held = HeldBefore(movie, frame);
  if (held.frameStart == movie.end() || !CarriesOver(movie, held)) {
    return "";
  }
  const std::set<uint16_t> freed = BitmapsToFree(movie, held);
  const LaterCleanup later = FindLaterCleanup(movie, held, freed, frame);
  if (!later.refusal.empty()) {
    return later.refusal;
  }
  if (HighestCharacterId(movie) + 2U > kLargestId) {
    return "the movie has no character ids left for a key frame";
  }
  std::string reason;
  const std::unique_ptr<ZuImage> picture = render(frame, &reason);
  if (picture == nullptr) {
    return "frame " + std::to_string(frame) + " cannot be rendered: " + reason;
  }

  const auto pos = held.frameStart;
  for (const uint16_t bitmap : freed) {
    movie.IncludeTag(zu_edit_tags::MakeFreeCharacter(bitmap), pos);
  }
  for (const auto& [depth, character] : held.depths) {
    movie.IncludeTag(zu_edit_tags::MakeRemoveObject2(depth), pos);
  }
  const uint16_t keyFrameBitmap = InsertKeyFrame(movie, pos, *picture);
  if (keyFrameBitmap == 0) {
    return "the key frame of frame " + std::to_string(frame) + " cannot be made";
  }
  // The key frame's clean-up goes in first: the next clean-up block may lose every other free tag
  // below, and keeps its mark so.
  CleanUpKeyFrameLater(movie, std::prev(pos), keyFrameBitmap);
  for (const auto tag : later.obsolete) {
    ZuSwfTag* taken = *tag;
    movie.EraseTags(tag, std::next(tag));
    delete taken;
  }
  return "";
}
