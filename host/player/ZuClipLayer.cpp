#include "host/player/ZuClipLayer.h"

#include <cstring>

#include "host/image/ZuImage.h"

ZuClipLayer::ZuClipLayer(ZuImage& stage, const ZuPixelRect& area, uint16_t lastDepth)
    : m_stage(stage), m_area(area), m_lastDepth(lastDepth) {
  size_t width = size_t(area.right - area.left);
  m_mask.assign(size_t(area.Area()), 0);
  m_saved.resize(size_t(area.Area()) * 4);
  for (int y = area.top; y < area.bottom; ++y) {
    std::memcpy(m_saved.data() + size_t(y - area.top) * width * 4,
                stage.Row(y) + size_t(area.left) * 4, width * 4);
  }
}

void ZuClipLayer::Restore() {
  size_t width = size_t(m_area.right - m_area.left);
  for (int y = m_area.top; y < m_area.bottom; ++y) {
    size_t row = size_t(y - m_area.top) * width;
    uint8_t* target = m_stage.Row(y) + size_t(m_area.left) * 4;
    for (size_t x = 0; x < width; ++x) {
      if (m_mask[row + x] == 0) std::memcpy(target + x * 4, m_saved.data() + (row + x) * 4, 4);
    }
  }
}
