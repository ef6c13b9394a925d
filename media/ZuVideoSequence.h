#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/pointer/ZuOverlayChoice.h"
#include "media/ZuMediaProgress.h"

class ZuTavoFile;

// One stretch of a video made from movies: frames of one movie, each shown at its time, then
// the last of them held until the stretch ends.
struct ZuVideoSegment {
  const ZuTavoFile* movie = nullptr;  // the caller's, kept until the export returns
  int firstFrame = 1;                 // counted from 1
  int lastFrame = 0;                  // included; 0: the movie's last frame
  int frames = 0;       // video frames the stretch lasts; 0: as many as its movie frames need
  std::string chapter;  // the name of the chapter that starts here; empty: none
};

// A video of segments in order, with what the encoder is to make of them.
struct ZuVideoSequence {
  std::vector<ZuVideoSegment> segments;
  int frameRate = 0;  // the video's whole frames per second; 0: the first movie's
  int width = 0;      // the picture size; 0: the first movie's stage; other sizes are scaled
  int height = 0;
  int crf = -1;  // the codec's constant-quality level (lower is better); -1: the format's default
  bool lossless = false;  // a codec that decodes back to exactly the rendered pixels
  // GIF and APNG only: the largest file in bytes; 0: no limit. A larger file is made again
  // with a lower frame rate, then a smaller picture, then fewer colours until it fits.
  uint64_t maxBytes = 0;
  // The recorded pointer, click rings and key captions are drawn over every segment's frames
  // by its movie's own settings, as this changes them.
  ZuOverlayChoice overlay;
};

// What an export wrote: its size, and what it gave up to fit a size limit.
struct ZuExportResult {
  uint64_t bytes = 0;
  // What was lowered, as "7.5 frames a second (was 15), 960x540 (was 1280x720), 64 colours";
  // empty when nothing was.
  std::string lowered;
};

// Video frame k (from 0) of a segment shows the movie frame of its time, counted from first at
// the movie's rate, and the segment's last frame once the movie's frames are all shown.
inline int ZuSegmentFrameShown(int k, int first, int last, int movieRate, int videoRate) {
  const int64_t shown = first + static_cast<int64_t>(k) * movieRate / videoRate;
  return shown < last ? static_cast<int>(shown) : last;
}

// The fewest video frames that show every movie frame from first to last (with a video rate at
// least the movie's; a slower video skips frames).
inline int ZuSegmentFramesNeeded(int first, int last, int movieRate, int videoRate) {
  const int64_t steps = static_cast<int64_t>(last - first) * videoRate;
  return static_cast<int>((steps + movieRate - 1) / movieRate) + 1;
}

// Renders the segments' frames with our player and encodes them in one pass into the video
// file at path, whose extension picks the type (ZuExportVideo), with a chapter at each
// segment that names one (MP4, MOV, MKV and WebM keep chapters; the other types have none).
// progress counts video frames against the sequence's total. The file appears only when
// complete: on failure (ZuMediaError) or when progress asks to stop (ZuMediaCancelled) nothing
// is left at path.
ZuExportResult ZuExportSequence(const ZuVideoSequence& sequence, const std::string& path,
                                const ZuMediaProgress& progress);
