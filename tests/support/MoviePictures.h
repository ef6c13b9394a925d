#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "recorder/ZuFmrRecorder.h"

// Recording frames as an FMR movie, writing it, playing a movie file back and comparing the
// pictures, without GoogleTest: the fuzzer uses them too, and RecordedMovie.h turns their
// errors into test failures. Defined here in the header: the support library does not link
// the recorder and the player.

using Pictures = std::vector<ZuImage>;

// Records frames (width and height taken from the first) with 32- or 16-bit pictures and
// blocks of at most blockFrames pictures. Small tiles by default, so that changes a few
// pixels apart in small test frames become pictures of their own, as changes far apart
// on a screen do. Null, with *error set, when the recorder refuses. With keyFrames, the
// frames (from 1) where the recorder opened a key-frame block go there.
inline std::unique_ptr<ZuTavoFile> RecordPictures(const Pictures& frames, int depth,
                                                  int blockFrames, std::string* error,
                                                  int frameRate = 10, int tileSide = 2,
                                                  std::vector<int>* keyFrames = nullptr) {
  ZuFmrRecorderOptions options;
  options.width = frames.empty() ? 1 : frames.front().GetWidth();
  options.height = frames.empty() ? 1 : frames.front().GetHeight();
  options.frameRate = frameRate;
  options.depth = depth;
  options.tileSide = tileSide;
  options.blockPolicy = ZuBlockPolicy(blockFrames, ZuBlockPolicy::kDefaultNewBlockFraction);
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(options, error);
  if (!recorder) {
    return nullptr;
  }
  for (const ZuImage& frame : frames) {
    if (!recorder->AddFrame(frame)) {
      *error = recorder->GetLastError();
      return nullptr;
    }
    if (keyFrames != nullptr && recorder->GetBlockCount() > static_cast<int>(keyFrames->size())) {
      keyFrames->push_back(recorder->GetFrameCount());
    }
  }
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  if (movie == nullptr) {
    *error = recorder->GetLastError();
  }
  return movie;
}

// RecordPictures (32-bit) with track put into the movie, one track frame per picture; the
// frames the recorder ends with keep the last one's pointer without its events. Null, with
// *error set, when the recorder or the track refuses.
inline std::unique_ptr<ZuTavoFile> RecordWithPointer(const Pictures& frames, ZuPointerTrack track,
                                                     int blockFrames, std::string* error) {
  std::unique_ptr<ZuTavoFile> movie = RecordPictures(frames, 32, blockFrames, error);
  if (movie == nullptr) {
    return nullptr;
  }
  ZuPointerFrame last = track.frames.empty() ? ZuPointerFrame{} : track.frames.back();
  last.pressed = 0;
  last.keys.clear();
  track.frames.resize(static_cast<size_t>(movie->GetFrameCount()), last);
  *error = ZuPutPointerTrack(*movie, track);
  return error->empty() ? std::move(movie) : nullptr;
}

// Writes movie as an SWF file at path; returns why not ("" when written).
inline std::string WriteMovie(ZuTavoFile& movie, const std::string& path) {
  std::string reason;
  std::unique_ptr<ZuFileStream> stream(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &reason));
  if (stream == nullptr) {
    return path + ": " + reason;
  }
  if (movie.DumpToStream(stream.get()) != kZuSuccess) {
    return path + ": " + movie.GetLastError();
  }
  return stream->Close() ? "" : path + ": not written";
}

// Loads the SWF file at path into movie; returns why not ("" when loaded).
inline std::string ReadMovie(const std::string& path, ZuTavoFile& movie) {
  std::string reason;
  std::unique_ptr<ZuFileStream> stream(
      ZuFileStream::Open(path, ZuFileStream::Mode::kRead, &reason));
  if (stream == nullptr) {
    return path + ": " + reason;
  }
  return movie.LoadFromStream(stream.get()) == kZuSuccess ? "" : path + ": " + movie.GetLastError();
}

// Every frame of the SWF file at path as the player shows it; empty, with *error set, when
// the player cannot load it or show one of its frames.
inline Pictures RenderMovieFrames(const std::string& path, std::string* error) {
  Pictures pictures;
  ZuTavoPlayer player(32);
  if (player.LoadMovie(ZuString(path), 0, 1) == 0) {
    *error = path + ": " + player.GetLastError();
    return pictures;
  }
  for (int frame = 1; frame <= player.GetFrameCount(); ++frame) {
    std::unique_ptr<ZuImage> picture;
    if (player.GotoFrameAndPlay(frame)) {
      picture.reset(player.GetCurrentScreenImage());
    }
    if (picture == nullptr) {
      *error = path + ": frame " + std::to_string(frame) + ": " + player.GetLastError();
      return {};
    }
    pictures.push_back(*picture);
  }
  return pictures;
}

// The number of pixels that differ (any byte), with the first one described in *where.
inline size_t CountDifferentPixels(const ZuImage& actual, const ZuImage& expected,
                                   std::string* where) {
  if (actual.GetWidth() != expected.GetWidth() || actual.GetHeight() != expected.GetHeight()) {
    *where = "the pictures differ in size";
    return static_cast<size_t>(expected.GetWidth()) * expected.GetHeight() + 1;
  }
  size_t different = 0;
  for (int y = 0; y < expected.GetHeight(); ++y) {
    for (int x = 0; x < expected.GetWidth(); ++x) {
      const uint8_t* a = actual.Row(y) + static_cast<size_t>(x) * 4;
      const uint8_t* e = expected.Row(y) + static_cast<size_t>(x) * 4;
      if (a[0] != e[0] || a[1] != e[1] || a[2] != e[2] || a[3] != e[3]) {
        if (different++ == 0) {
          char text[160];
          std::snprintf(text, sizeof text,
                        "first at (%d, %d): shown %02x%02x%02x%02x, expected %02x%02x%02x%02x", x,
                        y, a[0], a[1], a[2], a[3], e[0], e[1], e[2], e[3]);
          *where = text;
        }
      }
    }
  }
  return different;
}
