#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 32-bit picture: width x height pixels of 4 bytes each, red, green, blue, alpha in that
// byte order, rows from top to bottom, not premultiplied. The image owns its pixels.
class ZuImage {
 public:
  // The largest side of a picture the host reads, records or plays (a PNG, a stage), and the
  // side of the largest square a bitmap may decode to: larger ones are refused before any
  // pixel memory is taken.
  static constexpr int kMaxSide = 16384;

  // A picture of the given size, every pixel zero (transparent black). Sizes below 0 count as 0.
  ZuImage(int width, int height);
  // A picture holding a copy of width x height RGBA pixels.
  ZuImage(int width, int height, const uint8_t* rgba);
  ZuImage(const ZuImage&) = default;
  ZuImage& operator=(const ZuImage&) = default;
  virtual ~ZuImage();

  uint8_t* GetBuffer() { return m_pixels.data(); }
  const uint8_t* GetBuffer() const { return m_pixels.data(); }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  // Bytes in the buffer: width x height x 4.
  size_t GetBuffSize() const { return m_pixels.size(); }

  // The first byte of row y.
  uint8_t* Row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width * 4; }
  const uint8_t* Row(int y) const { return m_pixels.data() + static_cast<size_t>(y) * m_width * 4; }

  bool operator==(const ZuImage& other) const;

 private:
  int m_width;
  int m_height;
  std::vector<uint8_t> m_pixels;
};
