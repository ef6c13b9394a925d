#include "recorder/ZuFramePixels.h"

#include <cstring>

#include "host/image/ZuBitmapQuality.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuImage16BPP.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/util/ZuSharedBytes.h"

ZuFramePixels::ZuFramePixels(int width, int height, int depth)
    : m_width(width > 0 ? width : 0),
      m_height(height > 0 ? height : 0),
      m_bytesPerPixel(depth == 16 ? 2 : 4),
      m_pixels(static_cast<size_t>(m_width) * m_height * m_bytesPerPixel, 0) {}

void ZuFramePixels::Assign(const ZuImage& frame) {
  if (frame.GetWidth() != m_width || frame.GetHeight() != m_height) {
    return;
  }
  if (m_bytesPerPixel == 4) {
    AssignOpaque(frame);
  } else {
    AssignReduced(frame);
  }
}

void ZuFramePixels::AssignOpaque(const ZuImage& frame) {
  std::memcpy(m_pixels.data(), frame.GetBuffer(), m_pixels.size());
  uint8_t* pixel = m_pixels.data();
  uint8_t* const end = pixel + m_pixels.size();
  for (; pixel != end; pixel += 4) {
    pixel[3] = 0xFF;
  }
}

void ZuFramePixels::AssignReduced(const ZuImage& frame) {
  const uint8_t* in = frame.GetBuffer();
  uint8_t* out = m_pixels.data();
  const size_t count = static_cast<size_t>(m_width) * m_height;
  for (size_t i = 0; i < count; ++i, in += 4, out += 2) {
    const unsigned value = ((in[0] >> 3u) << 10u) | ((in[1] >> 3u) << 5u) | (in[2] >> 3u);
    out[0] = static_cast<uint8_t>(value & 0xFFu);
    out[1] = static_cast<uint8_t>(value >> 8u);
  }
}

bool ZuFramePixels::StoreRect(const ZuPixelRect& rect, ZuSwfDefineBitsLossless2Tag& bitmap) const {
  if (rect.IsEmpty() || rect.left < 0 || rect.top < 0 || rect.right > m_width ||
      rect.bottom > m_height) {
    return false;
  }
  return m_bytesPerPixel == 4 ? StoreRect32(rect, bitmap) : StoreRect16(rect, bitmap);
}

const uint8_t* ZuFramePixels::PixelAt(int x, int y) const {
  return m_pixels.data() + (static_cast<size_t>(y) * m_width + x) * m_bytesPerPixel;
}

bool ZuFramePixels::StoreRect32(const ZuPixelRect& rect,
                                ZuSwfDefineBitsLossless2Tag& bitmap) const {
  if (rect.Width() == m_width && rect.Height() == m_height) {
    return bitmap.CreateImage(ZuImage(m_width, m_height, m_pixels.data()),
                              kZuBitmapQualityLossless);
  }
  ZuImage part(rect.Width(), rect.Height());
  const size_t rowBytes = static_cast<size_t>(rect.Width()) * 4;
  for (int row = 0; row < rect.Height(); ++row) {
    std::memcpy(part.Row(row), PixelAt(rect.left, rect.top + row), rowBytes);
  }
  return bitmap.CreateImage(part, kZuBitmapQualityLossless);
}

bool ZuFramePixels::StoreRect16(const ZuPixelRect& rect,
                                ZuSwfDefineBitsLossless2Tag& bitmap) const {
  const size_t paddedRow = ZuImage16BPP::GetRowBytes(rect.Width());
  const size_t rowBytes = static_cast<size_t>(rect.Width()) * 2;
  std::vector<uint8_t> rows(paddedRow * rect.Height(), 0);
  for (int row = 0; row < rect.Height(); ++row) {
    std::memcpy(rows.data() + paddedRow * row, PixelAt(rect.left, rect.top + row), rowBytes);
  }
  return bitmap.CreateImage(ZuImage16BPP(rows.data(), rect.Width(), rect.Height(), true));
}
