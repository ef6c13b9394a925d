#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/image/ZuPixelRect.h"

class ZuImage;
class ZuSwfDefineBitsLossless2Tag;

// One recorded frame in the form the movie stores it, so that changes are found on the
// stored pixels and a bitmap of any rectangle can be cut out directly:
//  - depth 32: RGBA with alpha forced to 255 (recordings are opaque), 4 bytes a pixel;
//  - depth 16: 5-5-5 values (red in bits 10-14, blue in 0-4), little-endian, 2 bytes a pixel.
// Rows are packed without padding, top to bottom.
class ZuFramePixels {
 public:
  // depth is 16 or 32; the frame starts all zero.
  ZuFramePixels(int width, int height, int depth);

  // Replaces the pixels with frame's, which must have this frame's size.
  void Assign(const ZuImage& frame);

  // Makes bitmap hold the pixels of rect (inside the frame): BitmapFormat 5 at depth 32,
  // format 4 at depth 16. False when the bitmap cannot take them.
  bool StoreRect(const ZuPixelRect& rect, ZuSwfDefineBitsLossless2Tag& bitmap) const;

  const uint8_t* GetData() const { return m_pixels.data(); }
  int GetBytesPerPixel() const { return m_bytesPerPixel; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }

 private:
  void AssignOpaque(const ZuImage& frame);
  void AssignReduced(const ZuImage& frame);
  bool StoreRect32(const ZuPixelRect& rect, ZuSwfDefineBitsLossless2Tag& bitmap) const;
  bool StoreRect16(const ZuPixelRect& rect, ZuSwfDefineBitsLossless2Tag& bitmap) const;
  const uint8_t* PixelAt(int x, int y) const;

  int m_width;
  int m_height;
  int m_bytesPerPixel;
  std::vector<uint8_t> m_pixels;
};
