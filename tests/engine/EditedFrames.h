#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/image/ZuImage.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/ScreenFrames.h"

namespace engine_test {

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
  SCOPED_TRACE(path);
  ExpectOracleAccepts(path, movie);
  const ZuFMRTavoFile written{ZuString(path)};
  EXPECT_TRUE(written.IsValidFMRSWF());
  EXPECT_EQ(written.GetFrameCount(), expected.size());
  Pictures shown = RenderAllFrames(path);
  ExpectSamePictures(shown, expected);
  return shown;
}

}  // namespace engine_test
