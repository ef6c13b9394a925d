#pragma once

#include <cstdint>

// A rectangle of whole pixels in a frame: left, top, width and height. Empty when either
// side is 0.
struct ZuFrameRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool IsEmpty() const { return width <= 0 || height <= 0; }
  int64_t GetArea() const { return IsEmpty() ? 0 : int64_t{width} * height; }
  bool operator==(const ZuFrameRect&) const = default;
};
