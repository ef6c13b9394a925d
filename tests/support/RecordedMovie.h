#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/MoviePictures.h"

// GoogleTest's side of MoviePictures.h: a failure is a test failure.

// RecordPictures; fails the test and returns null when the recorder refuses.
inline std::unique_ptr<ZuTavoFile> RecordFrames(const Pictures& frames, int depth, int blockFrames,
                                                int frameRate = 10, int tileSide = 2) {
  std::string error;
  std::unique_ptr<ZuTavoFile> movie =
      RecordPictures(frames, depth, blockFrames, &error, frameRate, tileSide);
  EXPECT_TRUE(movie != nullptr) << error;
  return movie;
}

// Writes movie as an SWF file at path; fails the test when that does not work.
inline void WriteMovieFile(ZuTavoFile& movie, const std::string& path) {
  ASSERT_EQ(WriteMovie(movie, path), "");
}

// Every frame of the SWF file at path as the player shows it; empty (and a test failure)
// when the player cannot load it or show one of its frames.
inline Pictures RenderAllFrames(const std::string& path) {
  std::string error;
  Pictures pictures = RenderMovieFrames(path, &error);
  if (!error.empty()) {
    ADD_FAILURE() << error;
  }
  return pictures;
}

// The pictures of frames first to last (counted from 1), and pictures joined in order.
inline Pictures FramesOf(const Pictures& shown, int first, int last) {
  Pictures frames;
  for (int frame = first; frame <= last; ++frame) frames.push_back(shown.at(frame - 1));
  return frames;
}
inline Pictures Concat(std::initializer_list<Pictures> parts) {
  Pictures all;
  for (const Pictures& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Fails the test at the first frame whose picture differs, pixel for pixel.
inline void ExpectSamePictures(const Pictures& shown, const Pictures& expected) {
  EXPECT_EQ(shown.size(), expected.size());
  for (size_t frame = 0; frame < shown.size() && frame < expected.size(); ++frame) {
    std::string where;
    if (CountDifferentPixels(shown[frame], expected[frame], &where) != 0) {
      ADD_FAILURE() << "frame " << frame + 1 << ": " << where;
      return;
    }
  }
}
