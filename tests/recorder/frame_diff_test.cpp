// ZuFrameDiff finds rectangles that hold every changed pixel, each tight around its
// changes, and keeps changes far apart in rectangles of their own.

#include <gtest/gtest.h>

#include <vector>

#include "recorder/ZuFrameDiff.h"

namespace {

TEST(FrameDiff, FindsTightRectanglesApartOrJoined) {
  const struct {
    const char* name;
    int width, height, bytesPerPixel;
    std::vector<std::pair<int, int>> pixels;  // changed pixels (x, y), with 16-pixel tiles
    std::vector<ZuPixelRect> expected;
  } cases[] = {
      {"one pixel", 40, 20, 4, {{39, 19}}, {{39, 19, 40, 20}}},
      {"one tile", 40, 20, 2, {{3, 2}, {9, 12}}, {{3, 2, 10, 13}}},
      {"touching tiles", 40, 20, 4, {{15, 0}, {16, 19}}, {{15, 0, 17, 20}}},
      // A clock and a terminal far apart: two pictures, not one across the screen.
      {"far apart",
       200,
       100,
       4,
       {{2, 2}, {190, 90}, {195, 95}},
       {{2, 2, 3, 3}, {190, 90, 196, 96}}},
      {"near enough to join", 48, 48, 2, {{0, 0}, {47, 0}}, {{0, 0, 48, 1}}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> before(size_t(c.width) * c.height * c.bytesPerPixel, 0x55);
    std::vector<uint8_t> after = before;
    for (const auto& [x, y] : c.pixels) after[(size_t(y) * c.width + x) * c.bytesPerPixel] ^= 1;
    ZuFrameDiff diff(c.width, c.height, c.bytesPerPixel);
    EXPECT_EQ(diff.FindChangedRects(before.data(), after.data()), c.expected) << c.name;
  }
}

}  // namespace
