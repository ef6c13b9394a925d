#pragma once

#include <string>

extern "C" {
#include <libavutil/pixfmt.h>
}

// How a video of each file type we write is encoded: the table of output extensions.
struct ZuVideoFormat {
  const char* extension;  // lower case, with the dot
  const char* muxer;      // FFmpeg's name of the container
  const char* codec;      // FFmpeg's name of the encoder
  AVPixelFormat pixels;
  const char* losslessCodec;  // null: the type has no lossless form
  AVPixelFormat losslessPixels;
  int defaultCrf;  // the quality an export gets when none is asked for; -1: none
  bool palette;    // frames go through a palette made from all of them (GIF)
};

// The format for the extension of path (case aside), or null.
const ZuVideoFormat* ZuFindVideoFormat(const std::string& path);
// The extensions of the table, as ".mp4, .webm, ..." for messages.
std::string ZuVideoExtensionList();
