// Key-frame blocks and their clean-up blocks: finding a clean-up block after a position,
// closing the part of a block above a cut with a clean-up block of its own, and reducing
// the next clean-up block to what the tags after a cut define and place.

#include <algorithm>
#include <iterator>
#include <list>
#include <unordered_set>

#include "engine/ZuEditTags.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuTavoIDMap.h"

namespace {

using Factory = ZuSwfTagFactory;
using zu_edit_tags::IsOfType;
using zu_edit_tags::PlacedDepth;
using zu_edit_tags::RemovedDepth;

}  // namespace

void ZuFMRTavoFile::SearchForKeyFrameBlock(iterator pos, bool& found) {
  found = false;
  for (; pos != end(); ++pos) {
    if (*pos == nullptr) {
      return;
    }
    if ((*pos)->GetTagType() == Factory::kFreeCharacter) {
      found = true;
      return;
    }
  }
}

ZuSwfTagSet::iterator ZuFMRTavoFile::AddCleanupBlock_Upwards(iterator pos) {
  if (pos == begin()) {
    return pos;
  }
  // Walk up to the block's start, collecting in movie order, earliest first.
  iterator insertAt = pos;
  std::list<uint16_t> ids;
  std::list<uint16_t> depths;
  iterator walk = pos;
  do {
    --walk;
    const ZuSwfTag* tag = *walk;
    if (tag == nullptr) {
      insertAt = end();
      break;
    }
    const enuTagType type = tag->GetTagType();
    if (type == Factory::kFreeCharacter) {
      break;
    }
    if (type == Factory::kDefineBitsLossless2) {
      ids.push_front(tag->GetCharacterId());
    } else if (type == Factory::kPlaceObject2) {
      depths.push_front(PlacedDepth(*tag));
    }
  } while (walk != begin());

  for (uint16_t id : ids) {
    IncludeTag(zu_edit_tags::MakeFreeCharacter(id), insertAt);
  }
  for (uint16_t depth : depths) {
    IncludeTag(zu_edit_tags::MakeRemoveObject2(depth), insertAt);
  }
  return insertAt;
}

ZuSwfTagSet::iterator ZuFMRTavoFile::GetIdDepthSets(iterator first, iterator last, IdSet& ids,
                                                    IdSet& depths) {
  for (iterator pos = first; pos != last; ++pos) {
    const ZuSwfTag* tag = *pos;
    if (tag == nullptr) {
      continue;
    }
    const enuTagType type = tag->GetTagType();
    if (type == Factory::kFreeCharacter) {
      return pos;
    }
    if (type == Factory::kDefineBitsLossless2) {
      ids.insert(tag->GetCharacterId());
    } else if (type == Factory::kPlaceObject2) {
      depths.insert(PlacedDepth(*tag));
    }
  }
  return last;
}

ZuSwfTagSet::iterator ZuFMRTavoFile::CleanupKeyFrameBlock(iterator pos, bool destroy,
                                                          std::list<ZuSwfTag*>* freeTags,
                                                          std::list<ZuSwfTag*>* removeTags) {
  if (!destroy && (freeTags == nullptr || removeTags == nullptr)) {
    return end();
  }
  IdSet ids;
  IdSet depths;
  iterator walk = GetIdDepthSets(pos, end(), ids, depths);

  // Unlinks the tag at walk and destroys it or hands it to taken; walk moves on.
  auto takeOut = [&](std::list<ZuSwfTag*>* taken) {
    ZuSwfTag* tag = *walk;
    walk = EraseTags(walk, std::next(walk));
    if (destroy) {
      delete tag;
    } else {
      taken->push_back(tag);
    }
  };

  // The FreeCharacter run: keep what frees a bitmap defined from pos on.
  while (walk != end() && IsOfType(*walk, Factory::kFreeCharacter)) {
    if (ids.count((*walk)->GetReferencedId()) != 0) {
      ++walk;
    } else {
      takeOut(freeTags);
    }
  }
  // The block's RemoveObject2 tags, among the next key frame's tags and any null slot up
  // to the block's end: keep what empties a depth placed from pos on.
  while (walk != end() && !zu_edit_tags::EndsCleanupBlock(*walk)) {
    if (IsOfType(*walk, Factory::kRemoveObject2) && depths.count(RemovedDepth(**walk)) == 0) {
      takeOut(removeTags);
    } else {
      ++walk;
    }
  }
  return walk;
}

bool ZuFMRTavoFile::CleanupKeepsAFreeCharacter(iterator pos) {
  IdSet ids;
  IdSet depths;
  for (iterator walk = GetIdDepthSets(pos, end(), ids, depths);
       walk != end() && IsOfType(*walk, Factory::kFreeCharacter); ++walk) {
    if (ids.count((*walk)->GetReferencedId()) != 0) {
      return true;
    }
  }
  return false;
}

void ZuFMRTavoFile::DropFreesOfUndefinedCharacters() {
  std::unordered_set<uint16_t> defined;
  for (iterator pos = FindNthFrame(0); pos != end();) {
    ZuSwfTag* tag = *pos;
    if (IsOfType(tag, Factory::kFreeCharacter) && defined.erase(tag->GetReferencedId()) == 0) {
      pos = EraseTags(pos, std::next(pos));
      delete tag;
      continue;
    }
    if (tag != nullptr && tag->GetCharacterId() != 0) {
      defined.insert(tag->GetCharacterId());
    }
    ++pos;
  }
}

void ZuFMRTavoFile::PutFreesFirstInCleanupRuns() {
  const auto isCleanup = [](const ZuSwfTag* tag) {
    return tag != nullptr && ZuAnimationUtils::IsCleanupTag(*tag);
  };
  const auto isFree = [](const ZuSwfTag* tag) { return IsOfType(tag, Factory::kFreeCharacter); };
  for (iterator pos = begin(); pos != end();) {
    if (!isCleanup(*pos)) {
      ++pos;
      continue;
    }
    const iterator runEnd = std::find_if_not(pos, end(), isCleanup);
    std::stable_partition(pos, runEnd, isFree);
    pos = runEnd;
  }
}

bool ZuFMRTavoFile::GiveEveryDefinitionItsOwnId(int64_t definedAgain) {
  if (!HasRoomForIds(definedAgain)) {
    return false;
  }
  // Each tag refers to the definition that stands before it, as a player reads the movie.
  std::unordered_set<uint16_t> defined;
  ZuTavoIDMap ids;
  for (iterator pos = FindNthFrame(0); pos != end(); ++pos) {
    ZuSwfTag* tag = *pos;
    if (tag == nullptr) {
      continue;
    }
    tag->RemapIds(ids);
    const uint16_t id = tag->GetCharacterId();
    if (id != 0 && !defined.insert(id).second) {
      tag->SetCharacterId(GetId());
      ids.Set(id, tag->GetCharacterId());
    }
  }
  return true;
}
