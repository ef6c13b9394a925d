// Insertion of another FMR movie: its tags are copied with their character ids moved above
// this movie's, and the display list is cleared on both sides of the inserted frames: this
// movie's picture is taken down before they start, the inserted movie's last picture after
// they end, and a key frame rendered from the backing file brings this movie's picture back.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <list>
#include <memory>
#include <set>
#include <unordered_set>

#include "engine/ZuEditTags.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/swf/ZuTavoIDMap.h"
#include "host/util/ZuStreamUtil.h"

namespace {

using Factory = ZuSwfTagFactory;
using zu_edit_tags::IsOfType;

// The share and buffer hints every file stream of the engine is opened with.
constexpr uint32_t kStreamHint = 0x3F3F3F3F;

// Destroys the tags of a list that no movie holds yet, unless they were handed on.
class PendingTags {
 public:
  PendingTags() = default;
  PendingTags(const PendingTags&) = delete;
  PendingTags& operator=(const PendingTags&) = delete;
  ~PendingTags() {
    for (ZuSwfTag* tag : m_tags) {
      delete tag;
    }
  }
  std::list<ZuSwfTag*>& Tags() { return m_tags; }

 private:
  std::list<ZuSwfTag*> m_tags;
};

// Moves pos past the clean-up block that opens at it: its FreeCharacter run and its
// RemoveObject2 tags, up to the block's end (zu_edit_tags::EndsCleanupBlock). False at a
// null slot on the way.
bool SkipCleanupBlock(ZuSwfTagSet::iterator& pos, ZuSwfTagSet::iterator end) {
  for (; pos != end && !zu_edit_tags::EndsCleanupBlock(*pos); ++pos) {
    if (*pos == nullptr) {
      return false;
    }
  }
  return true;
}

// How many characters the movie defines from its third tag on: the most ids an insertion
// of it hands out.
int64_t CountDefinitions(const ZuFMRTavoFile& movie) {
  int64_t count = 0;
  int index = 0;
  for (const ZuSwfTag* tag : movie) {
    if (index++ < 2 || tag == nullptr) {
      continue;
    }
    count += tag->GetCharacterId() != 0 ? 1 : 0;
  }
  return count;
}

}  // namespace

ZuErrorCodeEnum ZuFMRTavoFile::InsertFMRSWFFile(IZuStream* stream, ZuReal seconds,
                                                const ZuString& outPath) {
  return InsertFMRSWFFile(stream, ConvertDurationToFrame(seconds), outPath, ZuString());
}

ZuErrorCodeEnum ZuFMRTavoFile::InsertFMRSWFFile(const ZuString& moviePath, ZuReal seconds,
                                                const ZuString& outPath) {
  // A file that cannot be opened gives a null stream, which the loading refuses.
  const std::unique_ptr<IZuStream> stream(ZuStreamUtil::CreateFileStreamRead(
      ZuFile(moviePath), kZuStreamRead, kStreamHint, kStreamHint));
  return InsertFMRSWFFile(stream.get(), ConvertDurationToFrame(seconds), outPath, moviePath);
}

ZuErrorCodeEnum ZuFMRTavoFile::InsertFMRSWFFile(IZuStream* stream, int insertAt,
                                                const ZuString& outPath,
                                                const ZuString& /*otherName*/) {
  m_editError.clear();
  if (!m_isValidFMR) {
    return kZuErrorNotFMR;
  }
  // Throws the int 0 when the stream cannot be loaded; this movie is unchanged.
  std::string copyError;
  std::unique_ptr<ZuFMRTavoFile> other;
  try {
    other = std::make_unique<ZuFMRTavoFile>(stream, &copyError);
  } catch (int) {
    if (copyError.empty()) {
      throw;
    }
    m_editError = kWriteFailure + copyError;
    return kZuErrorWrite;
  }
  if (!other->IsValidFMRSWF()) {
    return kZuErrorNotFMR;
  }
  const int frames = GetFrameCount();
  if (GetWidth() != other->GetWidth() || GetHeight() != other->GetHeight()) {
    return kZuErrorDimensionMismatch;
  }
  if (other->GetFrameCount() + frames > m_maxSWFFramesLimit) {
    return kZuErrorFrameLimit;
  }
  if (insertAt >= frames) {
    insertAt = frames - 1;  // the inserted frames go in front of the last frame at the latest
  }
  if (insertAt < 0) {
    return kZuFailure;  // a negative time names no frame
  }
  const bool framesFollow = insertAt < frames - 1;
  const bool keyFrame = framesFollow && insertAt != 0;
  if (!HasRoomForIds((keyFrame ? kKeyFrameIds : 0) + CountDefinitions(*other))) {
    return kZuFailure;
  }

  const PointerOutForEdit pointerOut(*this);
  other->TakePointerOut();
  iterator pos = FindNthFrame(static_cast<unsigned>(insertAt));
  if (pos != end() && insertAt != 0) {
    ++pos;  // from the ShowFrame that ends frame insertAt to the first tag after it
  }
  if (!framesFollow) {
    // In front of the last frame, the inserted frames go after what that frame draws and
    // before its actions: drawn after them, its pictures would land on the inserted movie's
    // last picture (the first part of a split ends on the cut frame's pictures; a cut up to
    // the end leaves a key frame in the stop frame). So the last frame keeps only its actions
    // and shows the inserted movie's last picture, and the pictures it drew are taken down
    // with the rest of the stage before the inserted frames.
    pos = PutPicturesFirstInFrame(pos);
  }
  bool failed = false;
  pos = ClearStageBefore(pos, insertAt, keyFrame, failed);
  if (failed) {
    return kZuFailure;
  }

  // Frames go in before frame insertAt + 1; in front of the last frame, that frame shows the
  // other movie's last picture, so it takes that frame's pointer too.
  const int otherFrames = other->GetFrameCount();
  ZuErasePointerFrames(m_pointerTrack, insertAt, framesFollow ? 0 : 1);
  ZuInsertPointerFrames(m_pointerTrack, insertAt, other->m_pointerTrack, 0,
                        framesFollow ? otherFrames - 1 : otherFrames);

  PendingTags copies;
  GetInsertableFMRTags(*other, copies.Tags(), framesFollow);
  InsertTags(pos, copies.Tags().begin(), copies.Tags().end());
  copies.Tags().clear();  // this movie holds them now
  SetFrameCount(static_cast<uint16_t>(frames + other->GetFrameCount() - 1));
  return outPath.empty() ? kZuSuccess : WriteToFile(outPath);
}

ZuSwfTagSet::iterator ZuFMRTavoFile::PutPicturesFirstInFrame(iterator pos) {
  // What a frame shows does not depend on where its actions stand in it.
  iterator frameEnd = pos;
  while (frameEnd != end() && *frameEnd != nullptr && !IsOfType(*frameEnd, Factory::kShowFrame)) {
    ++frameEnd;
  }
  return std::stable_partition(pos, frameEnd, [](const ZuSwfTag* tag) {
    return zu_edit_tags::ChangesPictures(tag->GetTagType());
  });
}

ZuSwfTagSet::iterator ZuFMRTavoFile::ClearStageBefore(iterator pos, int insertAt, bool keyFrame,
                                                      bool& failed) {
  failed = false;
  if (pos != end() && *pos == nullptr) {
    failed = true;
    return end();
  }
  // Renders the frame after the insertion point into this movie as a key frame, and returns
  // where the inserted tags go: in front of the key frame when it went in right at pos.
  auto addKeyFrame = [this, insertAt](iterator at) {
    const iterator before = std::prev(at);
    ExtractImageAndAddKeyFrame(insertAt + 1, insertAt + 1, m_fileName);
    return std::next(before);
  };

  bool cleanupFollows = false;
  SearchForKeyFrameBlock(pos, cleanupFollows);
  bool keyFrameMade = false;
  if (!cleanupFollows) {
    // The last block: it gets a clean-up block of its own above pos.
    pos = AddCleanupBlock_Upwards(pos);
  } else if (IsOfType(*pos, Factory::kFreeCharacter)) {
    // A clean-up block opens at pos: the inserted frames go after it.
    if (!SkipCleanupBlock(pos, end())) {
      failed = true;
      return end();
    }
  } else if (insertAt != 0) {
    // Inside a block: the next clean-up block's tags for what stands above pos move up to
    // pos, and that block keeps only what concerns the frames after pos.
    std::list<ZuSwfTag*> frees;
    std::list<ZuSwfTag*> removes;
    if (keyFrame && !CleanupKeepsAFreeCharacter(pos)) {
      // Nothing after pos defines a bitmap that the clean-up block frees, so the reduction
      // would empty the block and the key frame would find its clean-up places only in a
      // later block, staying above the next block's pictures. The key frame goes in first;
      // the reduction then leaves its clean-up tags alone.
      const std::unordered_set<const ZuSwfTag*> older(begin(), end());
      pos = addKeyFrame(pos);
      keyFrameMade = true;
      CleanupKeyFrameBlockAround(pos, older, frees, removes);
    } else {
      CleanupKeyFrameBlock(pos, false, &frees, &removes);
    }
    InsertTags(pos, frees.begin(), frees.end());
    InsertTags(pos, removes.begin(), removes.end());
  }
  if (keyFrame && !keyFrameMade) {
    pos = addKeyFrame(pos);
  }
  return pos;
}

ZuSwfTagSet::iterator ZuFMRTavoFile::CleanupKeyFrameBlockAround(
    iterator pos, const std::unordered_set<const ZuSwfTag*>& older, std::list<ZuSwfTag*>& freeTags,
    std::list<ZuSwfTag*>& removeTags) {
  auto isOlder = [&older](const ZuSwfTag* tag) { return older.count(tag) != 0; };
  // What the older tags from pos up to the clean-up block define and place.
  IdSet ids;
  IdSet depths;
  for (; pos != end() && !IsOfType(*pos, Factory::kFreeCharacter); ++pos) {
    if (!isOlder(*pos)) {
      continue;
    }
    if (IsOfType(*pos, Factory::kDefineBitsLossless2)) {
      ids.insert((*pos)->GetCharacterId());
    } else if (IsOfType(*pos, Factory::kPlaceObject2)) {
      depths.insert(zu_edit_tags::PlacedDepth(**pos));
    }
  }
  // Keeps the tag at pos or unlinks it into taken; pos moves on.
  auto keepOrTake = [this, &pos](bool keep, std::list<ZuSwfTag*>& taken) {
    if (keep) {
      ++pos;
      return;
    }
    taken.push_back(*pos);
    pos = EraseTags(pos, std::next(pos));
  };
  while (pos != end() && IsOfType(*pos, Factory::kFreeCharacter)) {
    keepOrTake(!isOlder(*pos) || ids.count((*pos)->GetReferencedId()) != 0, freeTags);
  }
  while (pos != end() && !zu_edit_tags::EndsCleanupBlock(*pos)) {
    if (IsOfType(*pos, Factory::kRemoveObject2)) {
      keepOrTake(!isOlder(*pos) || depths.count(zu_edit_tags::RemovedDepth(**pos)) != 0,
                 removeTags);
    } else {
      ++pos;
    }
  }
  return pos;
}

void ZuFMRTavoFile::GetInsertableFMRTags(ZuFMRTavoFile& other, std::list<ZuSwfTag*>& tags,
                                         bool addCleanup) {
  ZuTavoIDMap ids;
  PendingTags copies;
  // Hands the copies made so far to the caller.
  auto handOver = [&tags, &copies]() { tags.splice(tags.end(), copies.Tags()); };

  // Copy frames 1 to n - 1 whole and, in front of the last frame (no clean-up wanted), what
  // the last frame draws. Each tag's references are renumbered as the map stands when it
  // comes, and each definition gets the next id of this movie: a movie may define an id
  // again after freeing it, and each definition is a character of its own. Note where the
  // last complete run of FreeCharacter tags ends.
  std::list<ZuSwfTag*>& list = copies.Tags();
  auto cleanupStart = list.end();
  bool inFreeRun = false;
  const int lastFrame = other.GetFrameCount();
  int frame = 1;
  for (auto pos = other.FindNthFrame(0); pos != other.end(); ++pos) {
    const ZuSwfTag* original = *pos;
    if (original == nullptr) {
      handOver();
      return;
    }
    const enuTagType type = original->GetTagType();
    const bool inLastFrame = frame >= lastFrame;
    frame += type == Factory::kShowFrame ? 1 : 0;
    if (inLastFrame && (addCleanup || !zu_edit_tags::ChangesPictures(type))) {
      continue;
    }
    std::unique_ptr<ZuSwfTag> copy(original->Clone());
    copy->RemapIds(ids);
    if (original->GetCharacterId() != 0) {
      copy->SetCharacterId(GetId());
      ids.Set(original->GetCharacterId(), copy->GetCharacterId());
    }
    list.push_back(copy.release());
    if (addCleanup) {
      const bool isFree = list.back()->GetTagType() == Factory::kFreeCharacter;
      if (isFree) {
        inFreeRun = true;
      } else if (inFreeRun) {
        inFreeRun = false;
        cleanupStart = std::prev(list.end());
      }
    }
  }
  if (!addCleanup) {
    handOver();
    return;
  }

  // Clean up after the last block: free its bitmaps and empty its depths.
  if (cleanupStart == list.end()) {
    cleanupStart = list.begin();
  }
  std::set<uint16_t> bitmaps;
  std::set<uint16_t> depths;
  for (auto pos = cleanupStart; pos != list.end() && !IsOfType(*pos, Factory::kFreeCharacter);
       ++pos) {
    if (IsOfType(*pos, Factory::kDefineBitsLossless2)) {
      bitmaps.insert((*pos)->GetCharacterId());
    } else if (IsOfType(*pos, Factory::kPlaceObject2)) {
      depths.insert(zu_edit_tags::PlacedDepth(**pos));
    }
  }
  for (uint16_t id : bitmaps) {
    list.push_back(zu_edit_tags::MakeFreeCharacter(id));
  }
  for (uint16_t depth : depths) {
    list.push_back(zu_edit_tags::MakeRemoveObject2(depth));
  }
  handOver();
}
