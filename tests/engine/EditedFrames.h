#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/image/ZuImage.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"

namespace engine_test {

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
