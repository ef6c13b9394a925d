#pragma once

#include <memory>
#include <string>

#include "media/ZuMediaProgress.h"

class ZuTavoFile;

// How a video becomes an FMR movie.
struct ZuVideoImportOptions {
  int frameRate = 0;  // the movie's whole frame rate, 1 to 255; 0: the video's, rounded
  int depth = 32;     // the recorder's picture depth, 32 or 16
  double from = 0;    // seconds into the video where the movie starts
  double to = -1;     // seconds into the video where it ends (excluded); negative: its end
};

// Decodes the video file at path (any type FFmpeg reads) and records its pictures as an FMR
// movie at a constant frame rate; the movie is returned, not written. Throws ZuMediaError
// (not a video, damaged, no pictures in the range), or ZuMediaCancelled when progress asks
// to stop.
std::unique_ptr<ZuTavoFile> ZuImportVideo(const std::string& path,
                                          const ZuVideoImportOptions& options,
                                          const ZuMediaProgress& progress);
