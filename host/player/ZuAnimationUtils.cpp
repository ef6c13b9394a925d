#include "host/player/ZuAnimationUtils.h"

#include <iterator>
#include <set>
#include <string>

#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfLosslessBitmap.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagInfo.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMappedPageReleaser.h"

// The checks look at tag types, ids and bitmap headers only. Decoding the key frame's
// pixels is a later addition.

namespace {

using Factory = ZuSwfTagFactory;

ZuSwfTagClass ClassOf(enuTagType type) {
  return ZuSwfGetTagInfo(type).tagClass;
}

bool IsLosslessBitmap(enuTagType type) {
  return ClassOf(type) == ZuSwfTagClass::kLosslessBitmap;
}

bool IsShape(enuTagType type) {
  return ClassOf(type) == ZuSwfTagClass::kShape;
}

bool IsPlacement(enuTagType type) {
  return ClassOf(type) == ZuSwfTagClass::kPlaceObject;
}

bool IsRemoval(enuTagType type) {
  return ClassOf(type) == ZuSwfTagClass::kRemoveObject;
}

// The lossless bitmap tag whose body holds a header, or null.
const ZuSwfDefineBitsLossless2Tag* BitmapWithHeader(const ZuSwfTag& tag) {
  const auto* bitmap = dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(&tag);
  return bitmap != nullptr && bitmap->HasBitmapHeader() ? bitmap : nullptr;
}

// Whether a recording may hold the tag: what draws frames of lossless pictures, sound
// streams, simple actions and labels, and the header tags.
bool IsInFmrSet(const ZuSwfTag& tag) {
  const enuTagType type = tag.GetTagType();
  if (IsLosslessBitmap(type)) {
    const auto* bitmap = BitmapWithHeader(tag);
    return bitmap != nullptr && bitmap->GetBitmapFormat() >= ZuSwfLosslessBitmap::kColorMapped &&
           bitmap->GetBitmapFormat() <= ZuSwfLosslessBitmap::kArgb32;
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
      const auto* bitmap = BitmapWithHeader(tag);
      if (bitmap != nullptr && bitmap->GetBitmapWidth() == movie.GetWidth() &&
          bitmap->GetBitmapHeight() == movie.GetHeight()) {
        stageBitmaps.insert(bitmap->GetCharacterId());
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

// What the edits need of a movie to keep every frame's picture.

constexpr uint16_t kRenderedKeyFrameDepth = ZuAnimationUtils::kRenderedKeyFrameDepth;

// The depth a placement or removal changes.
uint16_t ChangedDepth(const ZuSwfTag& tag) {
  if (const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(&tag)) {
    return place->GetDepth();
  }
  if (const auto* remove = dynamic_cast<const ZuSwfRemoveObjectTag*>(&tag)) {
    return remove->m_depth;
  }
  return kRenderedKeyFrameDepth + 1;
}

// Whether the run of FreeCharacter and RemoveObject2 tags that starts at pos frees one of
// the characters defined: then a block opens there, whichever of the two kinds comes first.
// A FreeCharacter of an id that is not defined frees nothing and opens no block.
template <typename Iterator>
bool CleanupRunFrees(Iterator pos, Iterator end, const std::set<uint16_t>& defined) {
  for (; pos != end && ZuAnimationUtils::IsCleanupTag(**pos); ++pos) {
    if ((*pos)->GetTagType() == Factory::kFreeCharacter &&
        defined.count((*pos)->GetReferencedId()) != 0) {
      return true;
    }
  }
  return false;
}

// A change at or below the rendered key frames' depth outside frame 1 and outside the frame
// where a block opens (from the clean-up run that frees the old block's characters on),
// described; empty when there is none. A picture placed there later would be hidden under,
// or would replace, such a key frame.
std::string FindChangeBelowKeyFrames(const ZuTavoFile& movie) {
  int frame = 1;
  bool blockOpens = true;  // frame 1, or a clean-up run that frees, earlier in the frame
  std::set<uint16_t> defined;
  for (auto pos = movie.begin(); pos != movie.end(); ++pos) {
    const ZuSwfTag* tag = *pos;
    const enuTagType type = tag->GetTagType();
    if (type == Factory::kShowFrame) {
      ++frame;
      blockOpens = false;
    } else if (ZuAnimationUtils::IsCleanupTag(*tag)) {
      blockOpens = blockOpens || CleanupRunFrees(pos, movie.end(), defined);
      if (type == Factory::kFreeCharacter) {
        defined.erase(tag->GetReferencedId());
      }
    } else if (tag->GetCharacterId() != 0) {
      defined.insert(tag->GetCharacterId());
    }
    if ((IsPlacement(type) || IsRemoval(type)) && !blockOpens &&
        ChangedDepth(*tag) <= kRenderedKeyFrameDepth) {
      return "frame " + std::to_string(frame) + " changes depth " +
             std::to_string(ChangedDepth(*tag)) +
             ", where only a block's own key frames go (at or below the depth 100 of the key "
             "frames that edits add), outside the start of a block";
    }
  }
  return {};
}

// A character id defined while a definition of it is still in use (not freed), described;
// empty when there is none. An id freed by FreeCharacter may be defined again.
std::string FindIdDefinedTwice(const ZuTavoFile& movie) {
  std::set<uint16_t> defined;
  for (const ZuSwfTag* tag : movie) {
    if (tag->GetTagType() == Factory::kFreeCharacter) {
      defined.erase(tag->GetReferencedId());
      continue;
    }
    const uint16_t id = tag->GetCharacterId();
    if (id != 0 && !defined.insert(id).second) {
      return "character id " + std::to_string(id) + " is defined twice without being freed";
    }
  }
  return {};
}

}  // namespace

bool ZuAnimationUtils::IsCleanupTag(const ZuSwfTag& tag) {
  const enuTagType type = tag.GetTagType();
  return type == Factory::kFreeCharacter || type == Factory::kRemoveObject2;
}

bool ZuAnimationUtils::IsFMRSWF(const ZuTavoFile& movie) {
  return WhyNotFMRSWF(movie).empty();
}

std::string ZuAnimationUtils::WhyNotFMRSWF(const ZuTavoFile& movie) {
  // The set check comes first: it also turns away null slots, which the others then skip.
  if (!AllTagsInFmrSet(movie)) {
    return "it holds tags other than the lossless pictures, shapes and placements of a "
           "recording";
  }
  if (!StartsWithHeaderTags(movie) || !HasShowFrame(movie) || !FirstFrameShowsStagePicture(movie)) {
    return "frame 1 does not show a stage-sized lossless picture after two header tags";
  }
  std::string reason = FindIdDefinedTwice(movie);
  return reason.empty() ? FindChangeBelowKeyFrames(movie) : reason;
}
