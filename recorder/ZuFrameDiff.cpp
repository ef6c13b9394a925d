#include "recorder/ZuFrameDiff.h"

#include <cstring>

namespace {

// The index of the first byte in [0, count) where a and b differ, or count.
size_t FirstDifference(const uint8_t* a, const uint8_t* b, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t wordA;
    uint64_t wordB;
    std::memcpy(&wordA, a + i, 8);
    std::memcpy(&wordB, b + i, 8);
    if (wordA != wordB) {
      break;
    }
  }
  while (i < count && a[i] == b[i]) {
    ++i;
  }
  return i;
}

// The index of the last byte in [0, count) where a and b differ; count when none does.
size_t LastDifference(const uint8_t* a, const uint8_t* b, size_t count) {
  size_t end = count;
  while (end >= 8) {
    uint64_t wordA;
    uint64_t wordB;
    std::memcpy(&wordA, a + end - 8, 8);
    std::memcpy(&wordB, b + end - 8, 8);
    if (wordA != wordB) {
      break;
    }
    end -= 8;
  }
  while (end > 0 && a[end - 1] == b[end - 1]) {
    --end;
  }
  return end == 0 ? count : end - 1;
}

}  // namespace

ZuFrameDiff::ZuFrameDiff(int width, int height, int bytesPerPixel)
    : m_width(width > 0 ? width : 0),
      m_height(height > 0 ? height : 0),
      m_bytesPerPixel(bytesPerPixel > 0 ? bytesPerPixel : 1),
      m_rowBytes(static_cast<size_t>(m_width) * m_bytesPerPixel) {}

ZuPixelRect ZuFrameDiff::FindChangedBounds(const uint8_t* before, const uint8_t* after) const {
  int top = 0;
  int bottom = 0;
  if (!FindChangedRows(before, after, top, bottom)) {
    return {};
  }
  int left = m_width;
  int right = -1;
  for (int y = top; y <= bottom; ++y) {
    const size_t offset = static_cast<size_t>(y) * m_rowBytes;
    WidenToRowChanges(before + offset, after + offset, left, right);
    if (left == 0 && right == m_width - 1) {
      break;  // the rectangle spans every column already
    }
  }
  return {left, top, right + 1, bottom + 1};
}

bool ZuFrameDiff::FindChangedRows(const uint8_t* before, const uint8_t* after, int& first,
                                  int& last) const {
  first = 0;
  while (first < m_height &&
         std::memcmp(before + static_cast<size_t>(first) * m_rowBytes,
                     after + static_cast<size_t>(first) * m_rowBytes, m_rowBytes) == 0) {
    ++first;
  }
  if (first == m_height) {
    return false;
  }
  last = m_height - 1;
  while (last > first &&
         std::memcmp(before + static_cast<size_t>(last) * m_rowBytes,
                     after + static_cast<size_t>(last) * m_rowBytes, m_rowBytes) == 0) {
    --last;
  }
  return true;
}

void ZuFrameDiff::WidenToRowChanges(const uint8_t* before, const uint8_t* after, int& left,
                                    int& right) const {
  // Only the columns outside [left, right] can widen the rectangle.
  const size_t leftBytes = static_cast<size_t>(left) * m_bytesPerPixel;
  const size_t first = FirstDifference(before, after, leftBytes);
  if (first < leftBytes) {
    left = static_cast<int>(first / m_bytesPerPixel);
  }
  const size_t rightStart = static_cast<size_t>(right + 1) * m_bytesPerPixel;
  if (rightStart < m_rowBytes) {
    const size_t count = m_rowBytes - rightStart;
    const size_t last = LastDifference(before + rightStart, after + rightStart, count);
    if (last < count) {
      right = static_cast<int>((rightStart + last) / m_bytesPerPixel);
    }
  }
}
