#pragma once

#include <cstdint>

// The five flags of a shape's style-change record (the record whose first bit is 0): which
// of its fields follow. All five 0 end the shape instead.
struct ZuSwfShapeRecordFlags {
  static constexpr unsigned kBits = 5;
  static constexpr uint32_t kMoveTo = 0x01;      // a move of the pen: bit count, x, y
  static constexpr uint32_t kFillStyle0 = 0x02;  // a fill style number for the left side
  static constexpr uint32_t kFillStyle1 = 0x04;  // one for the right side
  static constexpr uint32_t kLineStyle = 0x08;   // a line style number
  static constexpr uint32_t kNewStyles = 0x10;   // new style arrays and index bit counts
};
