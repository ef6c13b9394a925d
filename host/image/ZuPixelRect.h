#pragma once

#include <algorithm>
#include <cstdint>

// A rectangle of whole pixels (of a stage or a frame): left and top included, right and
// bottom excluded. Empty when either side has no pixels.
struct ZuPixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool IsEmpty() const { return right <= left || bottom <= top; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  int64_t Area() const { return IsEmpty() ? 0 : int64_t{right - left} * int64_t{bottom - top}; }
  bool Intersects(const ZuPixelRect& other) const { return !Intersect(other).IsEmpty(); }

  ZuPixelRect Intersect(const ZuPixelRect& other) const {
    return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
  }
  // The smallest rectangle holding both; an empty side does not count.
  ZuPixelRect Union(const ZuPixelRect& other) const {
    if (IsEmpty()) {
      return other;
    }
    if (other.IsEmpty()) {
      return *this;
    }
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
  }
  bool operator==(const ZuPixelRect&) const = default;
};
