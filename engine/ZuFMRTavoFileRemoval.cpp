// Frame removal: the frames of a range leave the tag list; the clean-up tags among them
// that still concern the frames before the cut are kept, the clean-up blocks around the
// cut are repaired, and the first frame after the cut gets a key frame rendered from the
// movie as it was loaded.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <list>
#include <set>

#include "engine/ZuEditTags.h"
#include "engine/ZuFMRTavoFile.h"

namespace {

using Factory = ZuSwfTagFactory;
using zu_edit_tags::IsOfType;

// No tag has this type: the "previous type" before the first tag of the range.
constexpr int kNoTagType = 1024;

// The tags of the range being removed, sorted by what becomes of them. While the range
// is still in the movie the lists only point at its tags; once it is unlinked they own
// them.
struct RemovedRange {
  std::list<ZuSwfTag*> discarded;    // destroyed with the range
  std::list<ZuSwfTag*> keptFrees;    // FreeCharacter tags for bitmaps before the cut
  std::list<ZuSwfTag*> keptRemoves;  // RemoveObject2 tags for depths placed before the cut
  bool cleanupPassed = false;        // the range crossed the end of a clean-up block
  bool changesPictures = false;      // the range defines, places, removes or frees something
  int64_t showFrames = 0;            // ShowFrame tags in the range
};

// Walks the range that starts at first and ends with its count-th ShowFrame (or at last),
// sorting its tags into range; returns the position after it. False at a null slot.
// Nothing in the movie changes.
bool SortRange(ZuSwfTagSet::iterator first, ZuSwfTagSet::iterator last, int64_t count,
               RemovedRange& range, ZuSwfTagSet::iterator& rangeEnd) {
  std::set<uint16_t> ids;     // bitmaps defined in the range so far
  std::set<uint16_t> depths;  // depths placed in the range so far
  int previousType = kNoTagType;
  ZuSwfTagSet::iterator pos = first;
  for (; pos != last && range.showFrames != count; ++pos) {
    ZuSwfTag* tag = *pos;
    if (tag == nullptr) {
      return false;
    }
    const enuTagType type = tag->GetTagType();
    range.changesPictures = range.changesPictures || zu_edit_tags::ChangesPictures(type);
    std::list<ZuSwfTag*>* goesTo = &range.discarded;
    switch (type) {
      case Factory::kShowFrame:
        ++range.showFrames;
        break;
      case Factory::kDefineBitsLossless2:
        ids.insert(tag->GetCharacterId());
        break;
      case Factory::kPlaceObject2:
        depths.insert(zu_edit_tags::PlacedDepth(*tag));
        break;
      case Factory::kFreeCharacter:
        // A bitmap defined in the range goes with it; one defined before the cut still
        // needs freeing, unless the range has already passed a whole clean-up block.
        if (ids.erase(tag->GetReferencedId()) == 0 && !range.cleanupPassed) {
          goesTo = &range.keptFrees;
        }
        break;
      case Factory::kRemoveObject2:
        if (depths.erase(zu_edit_tags::RemovedDepth(*tag)) == 0) {
          goesTo = &range.keptRemoves;
        }
        break;
      default:
        break;
    }
    goesTo->push_back(tag);
    if ((previousType == Factory::kFreeCharacter && type != Factory::kFreeCharacter) ||
        (previousType == Factory::kRemoveObject2 && type != Factory::kRemoveObject2)) {
      range.cleanupPassed = true;
    }
    previousType = type;
  }
  rangeEnd = pos;
  return true;
}

}  // namespace

ZuErrorCodeEnum ZuFMRTavoFile::RemoveFrames(const ZuReal& start, const ZuReal& length,
                                            const ZuString& outPath) {
  return RemoveFrames(ConvertDurationToFrame(start), ConvertDurationToFrame(length), outPath);
}

ZuErrorCodeEnum ZuFMRTavoFile::RemoveFrames(int start, int count, const ZuString& outPath) {
  // Wide arithmetic: start and count may be anything a caller passes.
  const int64_t lastKept = start;
  int64_t removed = count;
  m_editError.clear();
  if (!m_isValidFMR) {
    return kZuErrorNotFMR;
  }
  if (removed == 0 || lastKept + 1 < 0 || outPath.empty()) {
    return kZuFailure;
  }
  const int64_t frames = GetFrameCount();
  if (removed >= frames - 1) {
    return kZuFailure;  // at least two frames remain
  }
  if (lastKept + 1 + removed >= frames) {
    removed = frames - (lastKept + 1);  // the last frame stays
  }
  // A start past the last frame, or a negative count, would run the walk to the end of
  // the list: refused before anything changes.
  if (removed < 0 || !HasRoomForIds(kKeyFrameIds)) {
    return kZuFailure;
  }

  // The key frame's bit depth is that of the movie's pictures, worked out before the cut,
  // which may take every bitmap away (a cut of every picture): found afterwards, none would
  // say 32 bits, and a 32-bit picture kept in 16 bits would not be exact.
  GetBMPBitDepth();
  const PointerOutForEdit pointerOut(*this);

  iterator first = lastKept + 1 < 1 ? FindNthFrame(0) : FindNthFrame(static_cast<unsigned>(start));
  if (first != end() && lastKept + 1 >= 2) {
    ++first;  // from the ShowFrame that ends frame S to the first tag of frame S + 1
  }
  RemovedRange range;
  iterator rangeEnd = end();
  if (!SortRange(first, end(), removed, range, rangeEnd)) {
    return kZuFailure;  // a null slot: the movie is left as it was
  }
  const iterator after =
      EraseTagsAndUpdateFrameCount(first, rangeEnd, static_cast<int>(range.showFrames));
  ZuErasePointerFrames(m_pointerTrack, static_cast<int>(std::max<int64_t>(lastKept, 0)),
                       static_cast<int>(range.showFrames));
  ClearTavoTagList(range.discarded);
  bool cleanupFollows = false;
  SearchForKeyFrameBlock(after, cleanupFollows);

  // The backing file still holds the movie as loaded: its frame S + 1 + N is the first
  // frame after the cut, which is frame S + 1 now.
  auto buildKeyFrame = [&]() {
    ExtractImageAndAddKeyFrame(static_cast<int>(lastKept + 1 + removed),
                               static_cast<int>(lastKept + 1), m_fileName);
  };
  // Reduces the clean-up block after pos to what follows pos and, unless pos is that
  // block's first tag, gives the frame after the cut its key frame.
  auto repairNextCleanup = [&](iterator pos) {
    if (pos != end() && IsOfType(*pos, Factory::kFreeCharacter)) {
      CleanupKeyFrameBlock(pos, true, nullptr, nullptr);
      return;
    }
    if (CleanupKeepsAFreeCharacter(pos)) {
      CleanupKeyFrameBlock(pos, true, nullptr, nullptr);
      buildKeyFrame();
      return;
    }
    // Nothing from pos on defines a bitmap that the clean-up block frees (the frames
    // after the cut up to the next block change nothing), so the reduction would empty
    // the block, and the key frame would find its FreeCharacter and RemoveObject2 places
    // only in a later block, staying above the next block's pictures. So the key frame
    // goes in first, and the reduction, counting it, keeps its clean-up tags.
    const iterator beforePos = std::prev(pos);
    buildKeyFrame();
    CleanupKeyFrameBlock(std::next(beforePos), true, nullptr, nullptr);
  };

  // Every frame after the cut must show the picture it showed before. The last two frames
  // of a recording (hold and stop) draw nothing, but they showed the last picture, not the
  // one before the cut; and the last frames of other movies (the first part of a split, say)
  // draw. So the frames after the cut are left as they are only when the cut frames changed
  // nothing; otherwise they are repaired like any others.
  if (lastKept + 1 + removed >= frames - 1 && !range.changesPictures) {
    ClearTavoTagList(range.keptFrees);
    ClearTavoTagList(range.keptRemoves);
  } else if (range.cleanupPassed) {
    if (lastKept == 0) {
      ClearTavoTagList(range.keptFrees);
      ClearTavoTagList(range.keptRemoves);
    } else {
      // They complete the clean-up of the block that stands before the cut.
      InsertTagsAndUpdateFrameCount(after, range.keptFrees.begin(), range.keptFrees.end());
      range.keptFrees.clear();
      InsertTagsAndUpdateFrameCount(after, range.keptRemoves.begin(), range.keptRemoves.end());
      range.keptRemoves.clear();
    }
    repairNextCleanup(after);
  } else if (cleanupFollows) {
    // The cut lies inside one block: the part above it gets its own clean-up block.
    ClearTavoTagList(range.keptFrees);
    ClearTavoTagList(range.keptRemoves);
    repairNextCleanup(AddCleanupBlock_Upwards(after));
  } else {
    // The cut lies in the last block.
    ClearTavoTagList(range.keptFrees);
    ClearTavoTagList(range.keptRemoves);
    AddCleanupBlock_Upwards(after);
    buildKeyFrame();
  }
  return WriteToFile(outPath);
}
