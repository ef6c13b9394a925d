#pragma once

#include <memory>

#include "host/image/ZuImage.h"

// A bitmap character decoded for drawing: straight-alpha RGBA pixels, and whether every
// pixel is opaque (then its rows can be copied onto the stage as they are).
struct ZuDecodedBitmap {
  std::unique_ptr<ZuImage> image;
  bool opaque = true;
};
