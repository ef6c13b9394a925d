#pragma once

#include <cstdint>
#include <string>

#include "media/ZuMediaProgress.h"
#include "media/ZuVideoSequence.h"
#include "media/formats/ZuVideoFormats.h"

class ZuTavoFile;

// Which frames of a movie become a video, and how.
struct ZuVideoExportOptions {
  int firstFrame = 1;  // counted from 1
  int lastFrame = 0;   // included; 0: the movie's last frame
  int width = 0;       // the video's picture size; 0: the movie's stage size
  int height = 0;
  int crf = -1;  // the codec's constant-quality level (lower is better); -1: the format's default
  bool lossless = false;    // a codec that decodes back to exactly the rendered pixels
  uint64_t maxBytes = 0;    // GIF and APNG: the largest file; 0: no limit (see ZuVideoSequence)
  ZuOverlayChoice overlay;  // over the movie's own pointer overlay settings
};

// Renders every chosen frame of movie with our player and encodes them at the movie's frame
// rate into the video file at path, whose extension picks the type: H.264 in .mp4, .mov and
// .mkv (FFV1 in .mkv when lossless), VP9 in .webm, a GIF, an animated PNG. The file
// appears only when complete: on failure (ZuMediaError) or when progress asks to stop
// (ZuMediaCancelled) nothing is left at path. The one-segment case of ZuExportSequence.
ZuExportResult ZuExportVideo(const ZuTavoFile& movie, const std::string& path,
                             const ZuVideoExportOptions& options, const ZuMediaProgress& progress);
