// Split and merge: one movie cut into two files, the second opening with a key frame
// rendered from the cut frame; and several movies appended to one, each in front of its
// last frame, through the insertion.

#include <iterator>
#include <list>
#include <memory>
#include <unordered_set>
#include <vector>

#include "engine/ZuEditTags.h"
#include "engine/ZuFMRTavoFile.h"

namespace {

using Factory = ZuSwfTagFactory;

// Puts source's tags [first, last) in front of target's tags and raises target's frame
// count by their ShowFrames; the tags are then in both lists. 1, changing nothing, when the
// range holds a null slot.
ZuErrorCodeEnum ShareTagsFront(ZuTavoFile& target, ZuSwfTagSet::iterator first,
                               ZuSwfTagSet::iterator last) {
  unsigned showFrames = 0;
  for (auto pos = first; pos != last; ++pos) {
    if (*pos == nullptr) {
      return kZuFailure;
    }
    if ((*pos)->GetTagType() == Factory::kShowFrame) {
      ++showFrames;
    }
  }
  target.SetFrameCount(static_cast<uint16_t>(target.GetFrameCount() + showFrames));
  // InsertTags copies the pointers: source's list keeps them too.
  target.InsertTags(target.begin(), first, last);
  return kZuSuccess;
}

// The second movie of a split, which for a while shares the tags from the cut on with the
// movie being split. Both lists hold those tags; only one may destroy them. Until Keep()
// the movie being split owns them, and the second movie lets go of them before it is
// destroyed, so that only the tags it made itself (key frame, header copies) go with it.
class SecondPart {
 public:
  SecondPart(ZuSwfTagSet::iterator first, ZuSwfTagSet::iterator last) : m_shared(first, last) {}
  SecondPart(const SecondPart&) = delete;
  SecondPart& operator=(const SecondPart&) = delete;
  ~SecondPart() {
    if (m_kept) {
      return;
    }
    for (auto pos = m_movie.begin(); pos != m_movie.end();) {
      pos = m_shared.count(*pos) != 0 ? m_movie.EraseTags(pos, std::next(pos)) : std::next(pos);
    }
  }

  ZuFMRTavoFile& Movie() { return m_movie; }
  // The second movie owns the shared tags it still holds from now on.
  void Keep() { m_kept = true; }

 private:
  ZuFMRTavoFile m_movie;
  std::unordered_set<ZuSwfTag*> m_shared;
  bool m_kept = false;
};

// The position of the last DoAction tag, searching from the last tag toward the front and
// stopping short of the first tag, or end when there is none or a null slot comes first.
ZuSwfTagSet::iterator FindLastDoAction(ZuSwfTagSet& movie) {
  if (movie.begin() == movie.end()) {
    return movie.end();
  }
  for (auto pos = std::prev(movie.end()); pos != movie.begin(); --pos) {
    if (*pos == nullptr) {
      return movie.end();
    }
    if ((*pos)->GetTagType() == Factory::kDoAction) {
      return pos;
    }
  }
  return movie.end();
}

}  // namespace

ZuErrorCodeEnum ZuFMRTavoFile::SplitSWF(ZuReal seconds, const ZuString& firstPath,
                                        const ZuString& secondPath) {
  return SplitSWF(ConvertDurationToFrame(seconds), firstPath, secondPath);
}

ZuErrorCodeEnum ZuFMRTavoFile::SplitSWF(int cutFrame, const ZuString& firstPath,
                                        const ZuString& secondPath) {
  m_editError.clear();
  if (!m_isValidFMR) {
    return kZuErrorNotFMR;
  }
  const uint16_t frames = GetFrameCount();
  if (cutFrame < 1 || cutFrame >= frames) {
    return kZuFailure;
  }
  const PointerOutForEdit pointerOut(*this);
  const iterator cut = FindNthTagOfType(Factory::kShowFrame, static_cast<unsigned>(cutFrame));
  if (cut == end()) {
    return kZuSuccess;  // the header promises frames the tags do not hold: nothing to split
  }
  // The second movie's key frame takes ids 1 and 2, unless the tags from the cut on define
  // one of them (a movie that had another inserted in front, say): then it takes ids above
  // this movie's, so that no id is defined twice.
  bool lowIdsTaken = false;
  for (auto pos = cut; pos != end(); ++pos) {
    lowIdsTaken = lowIdsTaken || (*pos != nullptr && (*pos)->GetCharacterId() != 0 &&
                                  (*pos)->GetCharacterId() <= kKeyFrameIds);
  }
  if (lowIdsTaken && !HasRoomForIds(kKeyFrameIds)) {
    return kZuFailure;
  }
  SecondPart second(cut, end());
  ZuFMRTavoFile& part = second.Movie();
  part.m_highestId = lowIdsTaken ? m_highestId : 0;
  part.SetWidth(GetWidth());
  part.SetHeight(GetHeight());
  part.SetFrameRate(GetFrameRate());
  part.SetTavoVersion(GetTavoVersion());
  // The key frame takes the bit depth of this movie's pictures: the second movie's own tags
  // may hold no bitmap to tell it (a cut in the last frames), and a 32-bit picture stored
  // in 16 bits would not show the cut frame exactly.
  part.m_bmpBitDepth = GetBMPBitDepth();
  // The second movie's first frame shows the cut frame, pointer and all; its presses and keys
  // stay with the first movie.
  part.m_pointerTrack = ZuSlicePointerTrack(m_pointerTrack, cutFrame - 1, frames - cutFrame + 1);
  part.m_pointerOut = true;
  if (!part.m_pointerTrack.frames.empty()) {
    part.m_pointerTrack.frames.front().pressed = 0;
    part.m_pointerTrack.frames.front().keys.clear();
  }
  // The second movie renders the key frame; why it could not is this movie's to tell.
  auto addKeyFrame = [&]() {
    try {
      part.ExtractImageAndAddKeyFrame(cutFrame, 1, m_fileName);
    } catch (int) {
      m_editError = part.m_editError;
      throw;
    }
  };

  // The tags from the cut on, in front of a key frame showing the cut frame as the backing
  // file has it; the next clean-up block keeps only what concerns them.
  if (CleanupKeepsAFreeCharacter(cut)) {
    part.PushTagsFront(*this, cut, end());
    addKeyFrame();
  } else {
    // Nothing after the cut defines a bitmap that the next clean-up block frees, so the
    // reduction would empty that block and the key frame would find its clean-up places only
    // in a later block, staying above the next block's pictures. The key frame goes in
    // first; the reduction then leaves its clean-up tags alone (and its bitmap id, 1, does not
    // keep a FreeCharacter of this movie for its own bitmap 1).
    const bool shared = ShareTagsFront(part, cut, end()) == kZuSuccess;
    const std::unordered_set<const ZuSwfTag*> older(part.begin(), part.end());
    const iterator firstShared = part.begin();
    addKeyFrame();
    if (shared) {
      std::list<ZuSwfTag*> dropped;  // still held, and owned, by this movie
      part.CleanupKeyFrameBlockAround(firstShared, older, dropped, dropped);
    }
  }

  if (GetTagCount() < 2 || *begin() == nullptr || *std::next(begin()) == nullptr) {
    return kZuFailure;
  }
  part.IncludeTag((*std::next(begin()))->Clone(), part.begin());
  part.IncludeTag((*begin())->Clone(), part.begin());
  const uint16_t firstFrames = static_cast<uint16_t>(frames - part.GetFrameCount());
  if (part.WriteToFile(secondPath) != kZuSuccess) {
    m_editError = part.m_editError;
    return kZuErrorWrite;
  }

  const iterator stopAction = FindLastDoAction(*this);
  if (stopAction == end()) {
    return kZuFailure;
  }
  std::unique_ptr<ZuSwfTag> stop((*stopAction)->Clone());

  // This movie lets go of the tags from the cut on. Those the second movie still holds are
  // destroyed with it; the clean-up tags its reduction dropped belong to nobody now.
  const std::list<ZuSwfTag*> leaving(cut, end());
  EraseTags(cut, end());
  const std::unordered_set<ZuSwfTag*> heldBySecond(part.begin(), part.end());
  for (ZuSwfTag* tag : leaving) {
    if (heldBySecond.count(tag) == 0) {
      delete tag;
    }
  }
  second.Keep();

  AppendTag(stop.release());
  AppendTag(Factory::CreateTagOfType(Factory::kShowFrame, 0, 0));
  SetFrameCount(static_cast<uint16_t>(firstFrames + 1));
  ZuErasePointerFrames(m_pointerTrack, cutFrame, frames - cutFrame);
  return WriteToFile(firstPath);
}

ZuErrorCodeEnum ZuFMRTavoFile::PushTagsFront(ZuFMRTavoFile& /*source*/, iterator first,
                                             iterator last) {
  // The range is a slice of source's list, which keeps holding it.
  if (ShareTagsFront(*this, first, last) != kZuSuccess) {
    return kZuFailure;
  }
  // The clean-up tags taken out here are still in source's list, which owns them.
  std::list<ZuSwfTag*> dropped;
  CleanupKeyFrameBlock(begin(), false, &dropped, &dropped);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMRTavoFile::MergeSWFs(std::vector<ZuString>& paths, const ZuString& outPath) {
  if (!m_isValidFMR) {
    return kZuErrorNotFMR;
  }
  if (paths.empty()) {
    return kZuFailure;
  }
  const PointerOutForEdit pointerOut(*this);
  ZuErrorCodeEnum result = kZuSuccess;
  for (const ZuString& path : paths) {
    // The frame count taken as seconds is at or past the end at any frame rate from 1, so
    // each movie goes in front of the last frame as it stands.
    const double frames = GetFrameCount();
    result = InsertFMRSWFFile(path, ZuReal(frames), ZuString());
    if (result == kZuErrorFrameLimit) {
      break;
    }
    if (result != kZuSuccess) {
      return result;
    }
  }
  const ZuErrorCodeEnum written = WriteToFile(outPath);
  return written != kZuSuccess ? written : result;
}
