// ZuFrameDiff finds the bounding rectangle of changed pixels, compared with a plain loop.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "recorder/ZuFrameDiff.h"

namespace {

// The bounding rectangle by looking at every byte of every pixel.
ZuPixelRect SlowChangedBounds(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                              int width, int height, int bytesPerPixel) {
  int left = width, top = height, right = -1, bottom = -1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int i = 0; i < bytesPerPixel; ++i) {
        const size_t at = (static_cast<size_t>(y) * width + x) * bytesPerPixel + i;
        if (a[at] != b[at]) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
      }
    }
  }
  if (right < 0) return {};
  return {left, top, right + 1, bottom + 1};
}

TEST(FrameDiff, FindsTheBoundsOfChangedPixels) {
  const struct {
    const char* name;
    int width, height, bytesPerPixel;
    std::vector<std::array<int, 3>> changes;  // bytes changed, as (x, y, byte of the pixel)
    ZuPixelRect expected;
  } cases[] = {
      {"identical", 17, 9, 4, {}, {}},
      {"first byte", 17, 9, 4, {{0, 0, 0}}, {0, 0, 1, 1}},
      {"last byte", 17, 9, 4, {{16, 8, 3}}, {16, 8, 17, 9}},
      {"alpha byte only", 17, 9, 4, {{5, 4, 3}}, {5, 4, 6, 5}},
      {"high byte of 16 bits", 33, 17, 2, {{32, 16, 1}}, {32, 16, 33, 17}},
      {"low byte of 16 bits", 33, 17, 2, {{7, 3, 0}}, {7, 3, 8, 4}},
      {"two corners", 33, 17, 2, {{0, 16, 0}, {32, 0, 1}}, {0, 0, 33, 17}},
      {"spread over rows", 40, 20, 4, {{30, 2, 1}, {3, 10, 2}, {20, 15, 0}}, {3, 2, 31, 16}},
      // A row inside the bounds without changes, and the widest row not the first one.
      {"narrow then wide", 40, 20, 4, {{10, 5, 0}, {2, 7, 0}, {38, 7, 3}}, {2, 5, 39, 8}},
      {"one pixel frame", 1, 1, 4, {{0, 0, 2}}, {0, 0, 1, 1}},
      {"one row", 65, 1, 2, {{64, 0, 0}, {1, 0, 1}}, {1, 0, 65, 1}},
      {"one column", 1, 30, 4, {{0, 29, 0}, {0, 13, 1}}, {0, 13, 1, 30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> before(size_t(c.width) * c.height * c.bytesPerPixel, 0x55);
    std::vector<uint8_t> after = before;
    for (const auto& [x, y, byte] : c.changes) {
      after[(size_t(y) * c.width + x) * c.bytesPerPixel + byte] ^= 0x80;
    }
    const ZuFrameDiff diff(c.width, c.height, c.bytesPerPixel);
    EXPECT_EQ(diff.FindChangedBounds(before.data(), after.data()), c.expected);
    EXPECT_EQ(diff.FindChangedBounds(after.data(), before.data()), c.expected);
  }
}

// Random frames of many sizes against the plain loop.
TEST(FrameDiff, MatchesAPlainLoopOnRandomFrames) {
  std::mt19937 random(42);
  for (int round = 0; round < 400; ++round) {
    const int width = 1 + static_cast<int>(random() % 70);
    const int height = 1 + static_cast<int>(random() % 12);
    const int bytesPerPixel = random() % 2 == 0 ? 2 : 4;
    const size_t size = static_cast<size_t>(width) * height * bytesPerPixel;
    std::vector<uint8_t> before(size);
    for (uint8_t& byte : before) byte = static_cast<uint8_t>(random());
    std::vector<uint8_t> after = before;
    const int changes = static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) {
      after[random() % size] ^= static_cast<uint8_t>(1 + random() % 255);
    }
    const ZuFrameDiff diff(width, height, bytesPerPixel);
    ASSERT_EQ(diff.FindChangedBounds(before.data(), after.data()),
              SlowChangedBounds(before, after, width, height, bytesPerPixel))
        << "round " << round << ": " << width << " x " << height << " x " << bytesPerPixel;
  }
}

}  // namespace
