#include "host/image/ZuImage16BPP.h"

#include <cstring>

#include "host/util/ZuLittleEndian.h"

ZuImage16BPP::ZuImage16BPP(const uint8_t* pixels, int width, int height, bool topDown)
    : m_width(width > 0 && height > 0 ? width : 0), m_height(width > 0 && height > 0 ? height : 0) {
  const size_t rowBytes = GetRowBytes(m_width);
  m_pixels.assign(rowBytes * static_cast<size_t>(m_height), 0);
  if (pixels == nullptr) {
    return;
  }
  for (int y = 0; y < m_height; ++y) {
    const int sourceRow = topDown ? y : m_height - 1 - y;
    std::memcpy(m_pixels.data() + rowBytes * y, pixels + rowBytes * sourceRow, rowBytes);
  }
}

ZuImage16BPP::~ZuImage16BPP() = default;

uint16_t ZuImage16BPP::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
    return 0;
  }
  const uint8_t* pixel = m_pixels.data() + GetRowBytes(m_width) * y + static_cast<size_t>(x) * 2;
  return ZuLittleEndian::ReadU16(pixel);
}
