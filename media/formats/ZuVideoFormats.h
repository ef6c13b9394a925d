#pragma once

#include <string>

extern "C" {
#include <libavutil/pixfmt.h>
}

// How a video of each file type we write is encoded: the table of output extensions. It
// needs none of FFmpeg's libraries (only the names of its pixel formats), so a program can
// tell a video path from a movie's without loading them.
struct ZuVideoFormat {
  const char* extension;  // lower case, with the dot
  const char* muxer;      // FFmpeg's name of the container
  const char* codec;      // FFmpeg's name of the encoder
  AVPixelFormat pixels;
  const char* losslessCodec;  // null: the type has no lossless form
  AVPixelFormat losslessPixels;
  int defaultCrf;  // the quality an export gets when none is asked for; -1: none
  bool animation;  // written by our own writers, each frame the rectangle that changed (GIF, APNG)
};

// The format for the extension of path (case aside), or null.
const ZuVideoFormat* ZuFindVideoFormat(const std::string& path);

// True when the extension of path names a video type ZuExportVideo writes.
bool ZuIsVideoPath(const std::string& path);
// The video extensions, as ".mp4, .webm, ..." for help texts and messages.
std::string ZuVideoExtensions();

// True when the extension of path names a type an export can keep under a size limit
// (ZuVideoSequence::maxBytes): an animation, whose frame rate, picture size and colours can be
// lowered until the file fits.
inline bool ZuTakesSizeLimit(const std::string& path) {
  const ZuVideoFormat* format = ZuFindVideoFormat(path);
  return format != nullptr && format->animation;
}
