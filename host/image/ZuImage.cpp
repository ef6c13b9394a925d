#include "host/image/ZuImage.h"

#include <algorithm>
#include <cstring>

namespace {

size_t PixelBytes(int width, int height) {
  return static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)) * 4;
}

}  // namespace

ZuImage::ZuImage(int width, int height)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_pixels(PixelBytes(width, height), 0) {}

ZuImage::ZuImage(int width, int height, const uint8_t* rgba) : ZuImage(width, height) {
  if (rgba != nullptr && !m_pixels.empty()) {
    std::memcpy(m_pixels.data(), rgba, m_pixels.size());
  }
}

ZuImage::~ZuImage() = default;

bool ZuImage::operator==(const ZuImage& other) const {
  return m_width == other.m_width && m_height == other.m_height && m_pixels == other.m_pixels;
}
