#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <list>
#include <set>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuMemoryStream.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/TempDir.h"

// Reaches the private members of ZuFMRTavoFile for the engine's tests.
class ZuFMRTavoFileTestAccess {
 public:
  using iterator = ZuSwfTagSet::iterator;
  using const_iterator = ZuSwfTagSet::const_iterator;

  static ZuErrorCodeEnum Init(ZuFMRTavoFile& movie, IZuStream* stream) {
    return movie.Init(stream);
  }
  static uint16_t GetId(ZuFMRTavoFile& movie) { return movie.GetId(); }
  static uint16_t GetHighestId(const ZuFMRTavoFile& movie) { return movie.m_highestId; }
  static void SetHighestId(ZuFMRTavoFile& movie, uint16_t id) { movie.m_highestId = id; }
  static int32_t GetBmpBitDepth(const ZuFMRTavoFile& movie) { return movie.m_bmpBitDepth; }
  static bool GetDeleteFile(const ZuFMRTavoFile& movie) { return movie.m_deleteFile; }
  static int ConvertDurationToFrame(const ZuFMRTavoFile& movie, double seconds) {
    return movie.ConvertDurationToFrame(ZuReal(seconds));
  }
  static iterator FindNthFrame(ZuFMRTavoFile& movie, unsigned n) { return movie.FindNthFrame(n); }
  static const_iterator FindNthFrame(const ZuFMRTavoFile& movie, unsigned n) {
    return movie.FindNthFrame(n);
  }
  static iterator EraseTagsAndUpdateFrameCount(ZuFMRTavoFile& movie, iterator first, iterator last,
                                               int count) {
    return movie.EraseTagsAndUpdateFrameCount(first, last, count);
  }
  static void InsertTagsAndUpdateFrameCount(ZuFMRTavoFile& movie, iterator pos,
                                            std::list<ZuSwfTag*>& tags) {
    movie.InsertTagsAndUpdateFrameCount(pos, tags.begin(), tags.end());
  }
  static void ClearTavoTagList(std::list<ZuSwfTag*>& tags) {
    ZuFMRTavoFile::ClearTavoTagList(tags);
  }
  static void WriteToFile(ZuFMRTavoFile& movie, const std::string& path) {
    movie.WriteToFile(ZuString(path));
  }

  // Key-frame blocks, frame removal and key-frame synthesis.
  static bool SearchForKeyFrameBlock(ZuFMRTavoFile& movie, iterator pos) {
    bool found = true;
    movie.SearchForKeyFrameBlock(pos, found);
    return found;
  }
  static iterator AddCleanupBlock_Upwards(ZuFMRTavoFile& movie, iterator pos) {
    return movie.AddCleanupBlock_Upwards(pos);
  }
  static iterator GetIdDepthSets(ZuFMRTavoFile& movie, iterator first, iterator last,
                                 std::set<uint16_t>& ids, std::set<uint16_t>& depths) {
    return movie.GetIdDepthSets(first, last, ids, depths);
  }
  static iterator CleanupKeyFrameBlock(ZuFMRTavoFile& movie, iterator pos, bool destroy,
                                       std::list<ZuSwfTag*>* freeTags,
                                       std::list<ZuSwfTag*>* removeTags) {
    return movie.CleanupKeyFrameBlock(pos, destroy, freeTags, removeTags);
  }
  static ZuErrorCodeEnum RemoveFrames(ZuFMRTavoFile& movie, int start, int count,
                                      const std::string& path) {
    return movie.RemoveFrames(start, count, ZuString(path));
  }
  static int GetBMPBitDepth(ZuFMRTavoFile& movie) { return movie.GetBMPBitDepth(); }
  static void ExtractImageAndAddKeyFrame(ZuFMRTavoFile& movie, int frameToRender, int targetFrame,
                                         const std::string& movieFile) {
    ZuString file(movieFile);
    movie.ExtractImageAndAddKeyFrame(frameToRender, targetFrame, file);
  }
  template <typename Picture>
  static void AddImageKeyFrame(ZuFMRTavoFile& movie, const Picture& picture, int targetFrame) {
    movie.AddImageKeyFrame(picture, targetFrame);
  }
};

namespace engine_test {

// A test's own folder (TempDir) that is also $TMPDIR while it lives, so the temporary
// copies the engine makes land in it too.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* previous = std::getenv("TMPDIR");
    m_hadTmpDir = previous != nullptr;
    if (m_hadTmpDir) {
      m_previousTmpDir = previous;
    }
    setenv("TMPDIR", m_dir.Path().c_str(), 1);
  }
  ~ScratchFolder() {
    if (m_hadTmpDir) {
      setenv("TMPDIR", m_previousTmpDir.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return m_dir.Path(); }
  std::string File(const std::string& name) const { return m_dir.File(name); }
  // The names of the files in the folder.
  std::vector<std::string> List() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

 private:
  TempDir m_dir;
  bool m_hadTmpDir = false;
  std::string m_previousTmpDir;
};

// Loads the movie built so far by builder into movie, with no backing file.
inline void LoadBuilt(ZuFMRTavoFile& movie, const FmrMovieBuilder& builder) {
  const std::vector<uint8_t> bytes = builder.BuildBytes();
  ZuMemoryStream stream(ZuSharedBytes::Copy(bytes.data(), bytes.size()));
  ASSERT_EQ(ZuFMRTavoFileTestAccess::Init(movie, &stream), kZuSuccess);
}

// The position of the index-th slot of a tag list.
template <typename TagSet>
auto SlotAt(TagSet& tags, size_t index) {
  return std::next(tags.begin(), static_cast<std::ptrdiff_t>(index));
}

// Index of a position in a tag list; the list's length for its end.
template <typename TagSet, typename Iterator>
size_t IndexOf(const TagSet& tags, Iterator pos) {
  return static_cast<size_t>(std::distance(tags.begin(), ZuSwfTagSet::const_iterator(pos)));
}

}  // namespace engine_test
