#pragma once

#include "host/image/ZuPixelRect.h"

class ZuImage;

// Where an export puts its rendered pictures, one per frame at the video's constant rate: a
// video encoder, or the animation encoder that writes only what changed.
class ZuFrameSink {
 public:
  virtual ~ZuFrameSink() = default;

  // picture: the next frame; changed: the part of it that may differ from the picture given
  // before (the whole picture for the first, empty for a frame shown again).
  virtual void AddFrame(const ZuImage& picture, const ZuPixelRect& changed) = 0;
  // Encodes what is still held, ends the file and puts it in place.
  virtual void Finish() = 0;
};
