#include "recorder/ZuFramePixels.h"

#include <cstring>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfLosslessBitmap.h"

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
    AssignArgb(frame);
  } else {
    AssignRgb15(frame);
  }
}

void ZuFramePixels::AssignArgb(const ZuImage& frame) {
  const uint8_t* in = frame.GetBuffer();
  uint8_t* out = m_pixels.data();
  const size_t count = static_cast<size_t>(m_width) * m_height;
  for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
    out[0] = 0xFF;
    out[1] = in[0];
    out[2] = in[1];
    out[3] = in[2];
  }
}

void ZuFramePixels::AssignRgb15(const ZuImage& frame) {
  const uint8_t* in = frame.GetBuffer();
  uint8_t* out = m_pixels.data();
  const size_t count = static_cast<size_t>(m_width) * m_height;
  for (size_t i = 0; i < count; ++i, in += 4, out += 2) {
    const unsigned value = ((in[0] >> 3u) << 10u) | ((in[1] >> 3u) << 5u) | (in[2] >> 3u);
    out[0] = static_cast<uint8_t>(value >> 8u);
    out[1] = static_cast<uint8_t>(value & 0xFFu);
  }
}

const uint8_t* ZuFramePixels::PixelAt(int x, int y) const {
  return m_pixels.data() + (static_cast<size_t>(y) * m_width + x) * m_bytesPerPixel;
}

ZuSwfLosslessBitmap::Format ZuFramePixels::StoredFormat() const {
  return m_bytesPerPixel == 4 ? ZuSwfLosslessBitmap::kArgb32 : ZuSwfLosslessBitmap::kRgb15;
}

// Colours cost 4 bytes each in the table, pixels 1 byte each instead of 2 or 4; the table
// is used when the two together are smaller than the pixels (compressed, they mostly
// shrink in the same proportion).
std::vector<uint8_t> ZuFramePixels::EncodeColorMapped(const ZuPixelRect& rect, uint16_t id,
                                                      int level) const {
  const size_t direct =
      ZuSwfLosslessBitmap::PixelBytes(StoredFormat(), rect.Width(), rect.Height());
  const size_t indices = ZuSwfLosslessBitmap::IndexBytes(rect.Width(), rect.Height());
  constexpr size_t kEntryBytes = ZuColorIndexer::kEntryBytes;
  if (direct <= indices + kEntryBytes) {
    return {};
  }
  const size_t maxColors = (direct - indices - 1) / kEntryBytes;
  const size_t colors =
      m_indexer.Index(PixelAt(rect.left, rect.top), static_cast<size_t>(m_width) * m_bytesPerPixel,
                      rect.Width(), rect.Height(), m_bytesPerPixel, maxColors);
  if (colors == 0) {
    return {};
  }
  return ZuSwfLosslessBitmap::EncodeColorMapped(id, rect.Width(), rect.Height(), colors,
                                                m_indexer.GetData(), level);
}

std::vector<uint8_t> ZuFramePixels::EncodeRect(const ZuPixelRect& rect, uint16_t id, int level,
                                               bool mayMapColors) const {
  if (rect.IsEmpty() || rect.left < 0 || rect.top < 0 || rect.right > m_width ||
      rect.bottom > m_height) {
    return {};
  }
  if (mayMapColors) {
    std::vector<uint8_t> body = EncodeColorMapped(rect, id, level);
    if (!body.empty()) {
      return body;
    }
  }
  const ZuSwfLosslessBitmap::Format format = StoredFormat();
  const size_t size = ZuSwfLosslessBitmap::PixelBytes(format, rect.Width(), rect.Height());
  const size_t storedRow = size / static_cast<size_t>(rect.Height());
  const size_t rowBytes = static_cast<size_t>(rect.Width()) * m_bytesPerPixel;
  if (size == m_pixels.size()) {  // the whole frame, rows without padding
    return ZuSwfLosslessBitmap::EncodePixels(id, format, m_width, m_height, m_pixels, level);
  }
  m_rectRows.assign(size, 0);  // format 4 rows end in zero padding
  for (int row = 0; row < rect.Height(); ++row) {
    std::memcpy(m_rectRows.data() + storedRow * row, PixelAt(rect.left, rect.top + row), rowBytes);
  }
  return ZuSwfLosslessBitmap::EncodePixels(id, format, rect.Width(), rect.Height(), m_rectRows,
                                           level);
}
