// The two picture classes: sizes, copies of the caller's pixels, row order and padding.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/image/ZuImage16BPP.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct SizeCase {
  int width;
  int height;
  int keptWidth;
  int keptHeight;
};

TEST(Image, SizesBelowZeroCountAsZero) {
  const SizeCase cases[] = {{3, 2, 3, 2}, {0, 0, 0, 0}, {-4, 5, 0, 5}, {5, -1, 5, 0}, {1, 1, 1, 1}};
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const ZuImage image(c.width, c.height);
    EXPECT_EQ(image.GetWidth(), c.keptWidth);
    EXPECT_EQ(image.GetHeight(), c.keptHeight);
    EXPECT_EQ(image.GetBuffSize(), static_cast<size_t>(c.keptWidth) * c.keptHeight * 4);
    EXPECT_EQ(Bytes(image.GetBuffer(), image.GetBuffer() + image.GetBuffSize()),
              Bytes(image.GetBuffSize(), 0));
  }
}

TEST(Image, HoldsItsOwnCopyOfThePixels) {
  Bytes rgba = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  ZuImage image(1, 3, rgba.data());
  rgba[0] = 99;
  EXPECT_EQ(image.Row(0)[0], 1);
  EXPECT_EQ(image.Row(2)[0], 9);

  ZuImage copy = image;
  copy.GetBuffer()[4] = 77;
  EXPECT_EQ(image.Row(1)[0], 5);
  EXPECT_FALSE(copy == image);
  EXPECT_TRUE(ZuImage(1, 3, rgba.data()) == ZuImage(1, 3, rgba.data()));
  EXPECT_FALSE(ZuImage(1, 3) == ZuImage(3, 1));  // same buffer, other shape
}

// A 3 x 3 picture (rows of 8 bytes) whose pixel value is 0x0100 x row + column.
Bytes NineRows(bool topDown) {
  Bytes pixels;
  for (int i = 0; i < 3; ++i) {
    const int row = topDown ? i : 2 - i;
    for (int x = 0; x < 3; ++x) {
      pixels.push_back(static_cast<uint8_t>(x));
      pixels.push_back(static_cast<uint8_t>(row));
    }
    pixels.push_back(0xee);  // padding
    pixels.push_back(0xee);
  }
  return pixels;
}

TEST(Image16BPP, BottomUpRowsAreTurnedOver) {
  for (bool topDown : {true, false}) {
    SCOPED_TRACE(topDown);
    const Bytes pixels = NineRows(topDown);
    const ZuImage16BPP image(pixels.data(), 3, 3, topDown);
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 3);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(image.GetPixel(x, y), 0x0100 * y + x) << x << ", " << y;
      }
    }
    EXPECT_EQ(Bytes(image.GetBuffer(), image.GetBuffer() + image.GetBuffSize()), NineRows(true));
  }
}

// Rows are padded to four bytes; empty pictures and pixels outside give nothing.
TEST(Image16BPP, RowsArePaddedAndOutsideGivesNothing) {
  const struct {
    int width, height;
    size_t rowBytes, size;
  } cases[] = {{1, 3, 4, 12}, {2, 3, 4, 12}, {3, 3, 8, 24}, {5, 3, 12, 36}, {1920, 3, 3840, 11520},
               {0, 4, 0, 0},  {4, 0, 8, 0},  {-2, 3, 0, 0}, {3, -2, 8, 0},  {0, 0, 0, 0}};
  const Bytes pixels(11520, 0xab);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    if (c.width > 0) {
      EXPECT_EQ(ZuImage16BPP::GetRowBytes(c.width), c.rowBytes);
    }
    const ZuImage16BPP image(pixels.data(), c.width, c.height, false);
    EXPECT_EQ(image.GetBuffSize(), c.size);
    EXPECT_EQ(image.GetWidth(), c.size == 0 ? 0 : c.width);
    EXPECT_EQ(image.GetHeight(), c.size == 0 ? 0 : c.height);
    EXPECT_EQ(image.GetPixel(0, 0), c.size == 0 ? 0 : 0xabab);
  }
  const ZuImage16BPP image(pixels.data(), 2, 2, true);
  EXPECT_EQ(image.GetPixel(1, 1), 0xabab);
  for (const auto& [x, y] : {std::pair{2, 0}, {0, 2}, {-1, 0}}) EXPECT_EQ(image.GetPixel(x, y), 0);
}

}  // namespace
