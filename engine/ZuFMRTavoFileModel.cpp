// The movie model: loading and validating, frame and time arithmetic, the frame count kept
// in step with edits of the tag list, fresh character ids, and writing the movie out.

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/ZuFMRTavoFile.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuFrameTime.h"
#include "host/util/ZuMappedPageReleaser.h"
#include "host/util/ZuStreamUtil.h"
#include "host/util/ZuTemporaryFolder.h"

const int ZuFMRTavoFile::m_maxSWFFramesLimit;

namespace {

// The share and buffer hints every file stream of the engine is opened with.
constexpr uint32_t kStreamHint = 0x3F3F3F3F;

using StreamPtr = std::unique_ptr<IZuStream>;

// The position after the two header tags, or end when the list is shorter.
template <typename Iterator>
Iterator SkipHeaderTags(Iterator pos, Iterator end) {
  for (int skipped = 0; skipped < 2 && pos != end; ++skipped) {
    ++pos;
  }
  return pos;
}

}  // namespace

ZuFMRTavoFile::ZuFMRTavoFile() = default;

ZuFMRTavoFile::ZuFMRTavoFile(const ZuString& path) : m_fileName(path), m_deleteFile(false) {
  const ZuFile file(path);
  if (!file.DoesFileExist()) {
    throw 0;
  }
  const StreamPtr stream(
      ZuStreamUtil::CreateFileStreamRead(file, kZuStreamRead, kStreamHint, kStreamHint));
  if (Init(stream.get()) != kZuSuccess) {
    throw 0;
  }
}

ZuFMRTavoFile::ZuFMRTavoFile(IZuStream* stream) : ZuFMRTavoFile(stream, nullptr) {}

ZuFMRTavoFile::ZuFMRTavoFile(IZuStream* stream, std::string* copyError) : m_deleteFile(true) {
  const ZuFile copy = ZuFileUtil::GetUniqueTemporaryFile(ZuString(".SWF"));
  if (!copy.DoesFileExist()) {
    if (copyError != nullptr) {
      *copyError = "no working copy can be made in " + ZuTemporaryFolder::Current();
    }
    throw 0;
  }
  // No object results from a failed construction, so no destructor will remove the copy.
  auto fail = [&copy]() {
    copy.Delete();
    throw 0;
  };
  // Key frames are later rendered from the copy, so it holds the whole movie. Loading and
  // saving run one after the other on the caller's thread: the engine starts no threads.
  if (Init(stream) != kZuSuccess) {
    fail();
  }
  const ZuStatus saved = ZuStreamUtil::SaveReadStreamToFile(stream, copy);
  if (!saved.ok()) {
    if (copyError != nullptr) {
      *copyError = saved.Message() + " (writing " + copy.GetNativePath() + ")";
    }
    fail();
  }
  m_fileName = copy.GetPathString();
}

ZuFMRTavoFile::ZuFMRTavoFile(const ZuFMRTavoFile& other) = default;

ZuFMRTavoFile& ZuFMRTavoFile::operator=(const ZuFMRTavoFile& other) = default;

ZuFMRTavoFile::~ZuFMRTavoFile() {
  if (m_deleteFile) {
    ZuFile(m_fileName).Delete();
  }
}

ZuErrorCodeEnum ZuFMRTavoFile::Init(IZuStream* stream) {
  if (stream == nullptr) {
    return kZuFailure;
  }
  m_bmpBitDepth = -1;
  m_highestId = 0;
  m_isValidFMR = false;
  if (LoadFromStream(stream) == kZuFailure) {
    return kZuFailure;
  }
  m_isValidFMR = ZuAnimationUtils::IsFMRSWF(*this);
  if (!m_isValidFMR) {
    return kZuSuccess;
  }
  DropFreesOfUndefinedCharacters();
  PutFreesFirstInCleanupRuns();
  ZuMappedPageReleaser pages;
  std::bitset<UINT16_MAX + 1> defined;
  int64_t definedAgain = 0;  // definitions of an id defined before
  for (auto pos = SkipHeaderTags(begin(), end()); pos != end(); ++pos) {
    if (*pos == nullptr) {
      continue;
    }
    const uint16_t id = (*pos)->GetCharacterId();
    m_highestId = std::max(m_highestId, id);
    definedAgain += id != 0 && defined.test(id) ? 1 : 0;
    defined.set(id);
    pages.PassedEnd((*pos)->GetBody());
  }
  // A movie the edits cannot renumber is one they cannot edit exactly.
  m_isValidFMR = definedAgain == 0 || GiveEveryDefinitionItsOwnId(definedAgain);
  return kZuSuccess;
}

uint16_t ZuFMRTavoFile::GetId() {
  ++m_highestId;  // edits make sure there is room first (HasRoomForIds)
  return m_highestId;
}

bool ZuFMRTavoFile::HasRoomForIds(int64_t count) {
  if (m_highestId + count <= UINT16_MAX) {
    return true;
  }
  m_editError = "the movie's character ids reach " + std::to_string(m_highestId) +
                ": the edit needs " + std::to_string(count) + " more and ids end at 65535";
  return false;
}

int ZuFMRTavoFile::ConvertDurationToFrame(const ZuReal& seconds) const {
  return ZuFrameTime::SecondsToFrames(seconds.m_value, GetFrameRate());
}

ZuReal ZuFMRTavoFile::GetDuration() const {
  return ZuFrameTime::FramesToSeconds(GetFrameCount(), GetFrameRate());
}

ZuSwfTagSet::iterator ZuFMRTavoFile::FindNthFrame(unsigned int n) {
  if (n == 0) {
    return SkipHeaderTags(begin(), end());
  }
  return FindNthTagOfType(ZuSwfTagFactory::kShowFrame, n);
}

ZuSwfTagSet::const_iterator ZuFMRTavoFile::FindNthFrame(unsigned int n) const {
  // The tag set offers its search only on a mutable list; searching changes nothing.
  return const_cast<ZuFMRTavoFile*>(this)->FindNthFrame(n);
}

ZuSwfTagSet::iterator ZuFMRTavoFile::EraseTagsAndUpdateFrameCount(iterator first, iterator last,
                                                                  int count) {
  SetFrameCount(static_cast<uint16_t>(GetFrameCount() - count));
  return EraseTags(first, last);
}

void ZuFMRTavoFile::InsertTagsAndUpdateFrameCount(iterator pos, TagList::iterator first,
                                                  TagList::iterator last) {
  unsigned showFrames = 0;
  for (auto tag = first; tag != last; ++tag) {
    if (*tag == nullptr) {
      return;
    }
    if ((*tag)->GetTagType() == ZuSwfTagFactory::kShowFrame) {
      ++showFrames;
    }
  }
  SetFrameCount(static_cast<uint16_t>(GetFrameCount() + showFrames));
  InsertTags(pos, first, last);
}

void ZuFMRTavoFile::ClearTavoTagList(std::list<ZuSwfTag*>& tags) {
  for (ZuSwfTag* tag : tags) {
    delete tag;
  }
  tags.clear();
}

void ZuFMRTavoFile::TakePointerOut() {
  if (m_pointerOut) {
    return;
  }
  m_pointerTrack = ZuTakePointerTrack(*this);
  m_pointerTrack.frames.resize(GetFrameCount());
  m_pointerOut = true;
}

bool ZuFMRTavoFile::PutPointerBack() {
  if (!m_pointerOut) {
    return true;
  }
  m_pointerOut = false;
  const std::string why = ZuPutPointerTrack(*this, m_pointerTrack);
  m_pointerTrack = {};
  if (!why.empty()) {
    m_editError = why;
  }
  return why.empty();
}

ZuFMRTavoFile::PointerOutForEdit::PointerOutForEdit(ZuFMRTavoFile& movie)
    : m_movie(movie), m_took(!movie.m_pointerOut) {
  m_movie.TakePointerOut();
}

ZuFMRTavoFile::PointerOutForEdit::~PointerOutForEdit() {
  if (!m_took) {
    return;
  }
  // An edit that stopped short left the frames and the track in step, or did not touch them.
  const std::string error = m_movie.m_editError;
  m_movie.PutPointerBack();
  m_movie.m_editError = error;
}

ZuErrorCodeEnum ZuFMRTavoFile::WriteToFile(const ZuString& path) {
  if (!PutPointerBack()) {
    return kZuErrorWrite;
  }
  const ZuStatus status = SaveToFile(path.GetUTF8String());
  if (status.ok()) {
    return kZuSuccess;
  }
  m_editError = kWriteFailure + status.Message();
  return kZuErrorWrite;
}

ZuStatus ZuFMRTavoFile::DumpTextRep(const ZuString& path) const {
  std::string reason;
  const std::unique_ptr<ZuFileStream> stream(
      ZuFileStream::Open(path.GetUTF8String(), ZuFileStream::Mode::kWrite, &reason));
  if (stream == nullptr) {
    return ZuStatus::Error(reason);
  }
  ZuString text;  // each tag replaces the text of the one before
  for (const ZuSwfTag* tag : *this) {
    if (tag != nullptr) {
      tag->GetTextRep(text);
      const std::string line = text.GetUTF8String();
      stream->Write(line.data(), line.size());
    }
    stream->Write("\n", 1);  // an empty line stands for a null slot
  }
  return stream->Close() ? ZuStatus() : ZuStatus::FromErrno(stream->GetErrorNumber());
}
