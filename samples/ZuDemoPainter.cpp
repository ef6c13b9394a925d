#include "samples/ZuDemoPainter.h"

#include <algorithm>

#include "host/image/ZuImage.h"

namespace {

// The arrow pointer: 'X' outline (black), 'o' fill (white), '.' transparent.
constexpr const char* kPointer[] = {
    "X...........", "XX..........", "XoX.........", "XooX........", "XoooX.......",
    "XooooX......", "XoooooX.....", "XooooooX....", "XoooooooX...", "XooooooooX..",
    "XoooooooooX.", "XooooooXXXXX", "XoooXooX....", "XooXXooX....", "XoX..XooX...",
    "XX...XooX...", "X.....XooX..", "......XooX..", ".......XX...",
};
constexpr int kPointerRows = sizeof(kPointer) / sizeof(kPointer[0]);
constexpr int kPointerColumns = 12;

uint32_t Mix(uint32_t value) {
  value ^= value >> 16;
  value *= 0x7feb352dU;
  value ^= value >> 15;
  value *= 0x846ca68bU;
  value ^= value >> 16;
  return value;
}

uint8_t Channel(uint32_t rgb, int shift) {
  return static_cast<uint8_t>(rgb >> shift);
}

}  // namespace

ZuDemoPainter::ZuDemoPainter(ZuImage& target, int scale)
    : m_target(target), m_scale(std::max(scale, 1)) {}

void ZuDemoPainter::FillRect(int x, int y, int width, int height, uint32_t rgb) {
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + width, m_target.GetWidth());
  const int bottom = std::min(y + height, m_target.GetHeight());
  if (left >= right || top >= bottom) {
    return;
  }
  const uint8_t pixel[4] = {Channel(rgb, 16), Channel(rgb, 8), Channel(rgb, 0), 0xFF};
  for (int row = top; row < bottom; ++row) {
    uint8_t* out = m_target.Row(row) + static_cast<size_t>(left) * 4;
    for (int column = left; column < right; ++column, out += 4) {
      std::copy(pixel, pixel + 4, out);
    }
  }
}

void ZuDemoPainter::FillVerticalGradient(int x, int y, int width, int height, uint32_t top,
                                         uint32_t bottom) {
  const int rows = std::max(height, 1);
  for (int row = 0; row < height; ++row) {
    uint32_t rgb = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int from = Channel(top, shift);
      const int to = Channel(bottom, shift);
      rgb |= static_cast<uint32_t>(from + (to - from) * row / rows) << shift;
    }
    FillRect(x, y + row, width, 1, rgb);
  }
}

// A glyph is a 3 x 5 grid of cells, each 2 x 2 scale units, chosen from the code's hash;
// the middle column is always partly set so no glyph is blank.
void ZuDemoPainter::DrawGlyph(int x, int y, uint32_t code, uint32_t rgb) {
  const uint32_t bits = Mix(code * 2654435761U + 1) | 0x0092U;
  const int cell = 2 * m_scale;
  for (int row = 0; row < 5; ++row) {
    for (int column = 0; column < 3; ++column) {
      if ((bits >> (row * 3 + column)) & 1U) {
        FillRect(x + column * cell, y + row * cell, cell, cell, rgb);
      }
    }
  }
}

void ZuDemoPainter::DrawPointer(int x, int y) {
  for (int row = 0; row < kPointerRows; ++row) {
    for (int column = 0; column < kPointerColumns; ++column) {
      const char mark = kPointer[row][column];
      if (mark != '.') {
        FillRect(x + column * m_scale, y + row * m_scale, m_scale, m_scale,
                 mark == 'X' ? 0x000000 : 0xFFFFFF);
      }
    }
  }
}
