#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuPixelRect.h"

class ZuImage;

// How an animation is to be written: the size and rate of the pictures given, and the limits
// a GIF or animated PNG keeps to.
struct ZuAnimationSettings {
  int width = 0;  // every picture given has this size
  int height = 0;
  int frameRate = 15;        // whole pictures a second given to the encoder
  double maxFrameRate = 50;  // frames shown a second at most (browsers show faster GIFs slowly)
  int colours = 256;         // GIF: entries of a colour table, 2 to 256, one kept for transparency
};

// A file type the animation encoder writes into: each frame is a rectangle of the picture
// placed over what the frames before left, shown for a delay (GIF, animated PNG). The writer
// owns its file: the bytes go to a temporary file that takes the path's place on Finish, and a
// writer destroyed before Finish leaves nothing at the path. Every failure throws ZuMediaError
// naming the path (or std::bad_alloc).
class ZuAnimationFormat {
 public:
  virtual ~ZuAnimationFormat() = default;

  // Delays and times are counted in the type's own unit (GIF: hundredths of a second).
  // The time at which picture tick (from 0, at the settings' frame rate) starts; rounding
  // each start, not each delay, keeps the total duration right.
  virtual int64_t TimeOfTick(int64_t tick) const = 0;
  // The shortest delay of a frame (from the settings' maxFrameRate) and the longest one the
  // type can hold; the encoder merges closer frames and splits longer ones.
  virtual int64_t MinDelay() const = 0;
  virtual int64_t MaxDelay() const = 0;

  // Writes one frame: the pixels inside rect of picture that differ from previous, the
  // picture shown before; pixels that do not differ are left as the frames before made them.
  // previous is null for the first frame, whose rect is the whole picture. An empty rect
  // writes a frame that changes nothing (the rest of a stillness longer than MaxDelay).
  virtual void WriteFrame(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect,
                          int64_t delay) = 0;
  // Bytes written to the file so far.
  virtual uint64_t BytesWritten() const = 0;
  // Ends the file and puts it at its path.
  virtual void Finish() = 0;
};

// The writers of the two types, opened on path with settings; a GIF's global table starts
// with globalColours (most frequent first).
std::unique_ptr<ZuAnimationFormat> ZuOpenGif(const std::string& path,
                                             const ZuAnimationSettings& settings,
                                             const std::vector<uint32_t>& globalColours);
std::unique_ptr<ZuAnimationFormat> ZuOpenApng(const std::string& path,
                                              const ZuAnimationSettings& settings);
