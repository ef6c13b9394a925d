#pragma once

#include <cstddef>
#include <cstdint>

#include "host/image/ZuPixelRect.h"

// Finds the bounding rectangle of the pixels that differ between two frames of one size.
// Frames are rows of width x bytesPerPixel bytes, packed one after another, top to bottom.
// Rows are compared with memcmp first, so unchanged rows cost one pass over memory; only
// changed rows are searched for their first and last differing pixel.
class ZuFrameDiff {
 public:
  ZuFrameDiff(int width, int height, int bytesPerPixel);

  // The smallest rectangle holding every pixel that differs; empty when the frames match.
  ZuPixelRect FindChangedBounds(const uint8_t* before, const uint8_t* after) const;

 private:
  // Rows [first, last] that differ, by memcmp; false when none does.
  bool FindChangedRows(const uint8_t* before, const uint8_t* after, int& first, int& last) const;
  // Narrows [left, right] (pixel columns) to cover the changes of one row.
  void WidenToRowChanges(const uint8_t* before, const uint8_t* after, int& left, int& right) const;

  int m_width;
  int m_height;
  int m_bytesPerPixel;
  size_t m_rowBytes;
};
