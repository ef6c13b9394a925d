#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/image/ZuPixelRect.h"
#include "host/swf/ZuSwfLosslessBitmap.h"
#include "recorder/ZuColorIndexer.h"

class ZuImage;

// One recorded frame in the layout its bitmaps store, so that changes are found on the
// stored pixels and the bitmap of any rectangle is its rows copied out and compressed:
//  - depth 32: BitmapFormat 5, bytes 0xFF (opaque alpha), red, green, blue;
//  - depth 16: BitmapFormat 4, 15-bit values big-endian (red in bits 10-14, blue in 0-4).
// Rows are packed without padding, top to bottom.
class ZuFramePixels {
 public:
  // depth is 16 or 32; the frame starts all zero.
  ZuFramePixels(int width, int height, int depth);

  // Replaces the pixels with frame's (RGBA; alpha is ignored), which must have this
  // frame's size.
  void Assign(const ZuImage& frame);

  // The body of a DefineBitsLossless2 tag with the given character id holding the pixels
  // of rect (inside the frame), compressed at the zlib level; empty when it cannot be made.
  // With mayMapColors, a rectangle of few colours becomes a colour-mapped bitmap (format 3)
  // when its table and indices take less room than its pixels; otherwise, and always
  // without it, the bitmap is in the frame's own format.
  std::vector<uint8_t> EncodeRect(const ZuPixelRect& rect, uint16_t id, int level,
                                  bool mayMapColors) const;

  const uint8_t* GetData() const { return m_pixels.data(); }
  int GetBytesPerPixel() const { return m_bytesPerPixel; }

 private:
  void AssignArgb(const ZuImage& frame);
  void AssignRgb15(const ZuImage& frame);
  const uint8_t* PixelAt(int x, int y) const;
  ZuSwfLosslessBitmap::Format StoredFormat() const;
  // The format 3 body of rect, or empty when a colour table does not pay.
  std::vector<uint8_t> EncodeColorMapped(const ZuPixelRect& rect, uint16_t id, int level) const;

  int m_width;
  int m_height;
  int m_bytesPerPixel;
  std::vector<uint8_t> m_pixels;
  mutable std::vector<uint8_t> m_rectRows;  // scratch of EncodeRect
  mutable ZuColorIndexer m_indexer;         // scratch of EncodeColorMapped
};
