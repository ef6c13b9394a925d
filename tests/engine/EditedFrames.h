#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/image/ZuImage.h"
#include "tests/engine/RecordedMovies.h"
#include "tests/support/Oracle.h"

namespace engine_test {

using Pictures = std::vector<ZuImage>;

// The pictures of frames first to last (counted from 1) of a movie's pictures.
inline Pictures FramesOf(const Pictures& shown, int first, int last) {
  Pictures frames;
  for (int frame = first; frame <= last; ++frame) {
    frames.push_back(shown.at(static_cast<size_t>(frame - 1)));
  }
  return frames;
}

inline Pictures Concat(std::initializer_list<Pictures> parts) {
  Pictures all;
  for (const Pictures& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// An FMR movie recorded from frames, written to path; its frames as the player shows them
// (the recorded frames, then the hold and stop frames).
inline Pictures RecordToFile(const Pictures& frames, int depth, int blockFrames,
                             const std::string& path) {
  std::unique_ptr<ZuTavoFile> movie = RecordFrames(frames, depth, blockFrames);
  if (movie == nullptr) {
    return {};
  }
  WriteMovieFile(*movie, path);
  return RenderAllFrames(path);
}

// The file at path, written by an edit of movie: the independent parser reads it, it is again
// an FMR movie, and every frame shows the expected picture, pixel for pixel. Returns its
// pictures.
inline Pictures ExpectEditedFrames(const std::string& path, const ZuFMRTavoFile& movie,
                                   const Pictures& expected) {
  ExpectOracleAccepts(path, movie);
  const ZuFMRTavoFile written{ZuString(path)};
  EXPECT_TRUE(written.IsValidFMRSWF()) << path;
  EXPECT_EQ(written.GetFrameCount(), expected.size()) << path;
  const Pictures shown = RenderAllFrames(path);
  EXPECT_EQ(shown.size(), expected.size()) << path;
  for (size_t frame = 0; frame < shown.size() && frame < expected.size(); ++frame) {
    std::string where;
    const size_t different = CountDifferentPixels(shown[frame], expected[frame], &where);
    EXPECT_EQ(different, 0u) << path << ": frame " << frame + 1 << ": " << where;
    if (different != 0) {
      break;
    }
  }
  return shown;
}

}  // namespace engine_test
