#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 16-bit picture in the 5-5-5 layout of a Windows BI_RGB DIB: each pixel a little-endian
// 16-bit value with blue in bits 0-4, green in bits 5-9, red in bits 10-14; rows of
// 2 x width bytes padded to a multiple of 4, from top to bottom. The image owns its pixels.
class ZuImage16BPP {
 public:
  // Copies height rows of GetRowBytes(width) bytes from pixels. topDown tells the order of
  // the rows given: true top to bottom; false bottom to top (they are turned over).
  ZuImage16BPP(const uint8_t* pixels, int width, int height, bool topDown);
  virtual ~ZuImage16BPP();

  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  const uint8_t* GetBuffer() const { return m_pixels.data(); }
  size_t GetBuffSize() const { return m_pixels.size(); }
  // The 5-5-5 value of pixel (x, y).
  uint16_t GetPixel(int x, int y) const;

  static size_t GetRowBytes(int width) { return (static_cast<size_t>(width) * 2 + 3) / 4 * 4; }

 private:
  int m_width;
  int m_height;
  std::vector<uint8_t> m_pixels;
};
