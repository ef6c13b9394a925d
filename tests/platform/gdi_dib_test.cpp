// The GDI stand-ins: DIB sections filled and read back in 32 and 16 bits, both row orders,
// partial line ranges, and the requests they must refuse.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/ZuWinGdi.h"

namespace {

BITMAPINFO Header(LONG width, LONG height, WORD bitCount) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bitCount;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

size_t RowBytes(int width, int bitCount) {
  return static_cast<size_t>((width * bitCount + 31) / 32 * 4);
}

// A distinct colour for every pixel, as blue, green, red.
void PixelColor(int x, int y, uint8_t& red, uint8_t& green, uint8_t& blue) {
  red = static_cast<uint8_t>(x * 37 + y * 11 + 5);
  green = static_cast<uint8_t>(x * 7 + y * 53 + 200);
  blue = static_cast<uint8_t>(x * 91 + y * 3 + 17);
}

// A 32-bit DIB of the test colours; rows top to bottom, or bottom to top when bottomUp.
std::vector<uint8_t> Make32(int width, int height, bool bottomUp) {
  std::vector<uint8_t> bits(RowBytes(width, 32) * height, 0xEE);
  for (int y = 0; y < height; ++y) {
    const int line = bottomUp ? height - 1 - y : y;
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = bits.data() + RowBytes(width, 32) * line + x * 4;
      PixelColor(x, y, pixel[2], pixel[1], pixel[0]);
    }
  }
  return bits;
}

uint16_t Word555(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint16_t>(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

uint16_t WordAt(const std::vector<uint8_t>& bits, size_t offset) {
  return static_cast<uint16_t>(bits[offset] | (bits[offset + 1] << 8));
}

class GdiTest : public testing::Test {
 protected:
  void SetUp() override { m_liveBefore = ZuGdiCountLiveObjects(); }
  void TearDown() override { EXPECT_EQ(ZuGdiCountLiveObjects(), m_liveBefore); }

 private:
  size_t m_liveBefore = 0;
};

using GdiDib = GdiTest;

// 32-bit pixels in, 16-bit 5-5-5 pixels out, whatever the row order on either side;
// odd widths give rows padded to 4 bytes, and the padding is never written.
TEST_F(GdiDib, ThirtyTwoBitsComeBackAsTruncatedFiveFiveFive) {
  struct Case {
    int width;
    int height;
    bool sectionBottomUp;
    bool sourceBottomUp;
    bool targetBottomUp;
  };
  const std::vector<Case> cases = {
      {4, 3, false, false, true},   {5, 3, false, false, true}, {1, 1, false, false, true},
      {7, 6, true, false, true},    {3, 5, false, true, false}, {6, 2, true, true, true},
      {33, 17, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.width << "x" << c.height << " section " << c.sectionBottomUp << " source "
                 << c.sourceBottomUp << " target " << c.targetBottomUp);
    const BITMAPINFO sectionInfo = Header(c.width, c.sectionBottomUp ? c.height : -c.height, 32);
    void* sectionBits = nullptr;
    const HBITMAP bitmap =
        CreateDIBSection(nullptr, &sectionInfo, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_NE(sectionBits, nullptr);

    const std::vector<uint8_t> source = Make32(c.width, c.height, c.sourceBottomUp);
    const BITMAPINFO sourceInfo = Header(c.width, c.sourceBottomUp ? c.height : -c.height, 32);
    EXPECT_EQ(SetDIBits(nullptr, bitmap, 0, c.height, source.data(), &sourceInfo, DIB_RGB_COLORS),
              c.height);

    BITMAPINFO targetInfo = Header(c.width, c.targetBottomUp ? c.height : -c.height, 16);
    const size_t rowBytes = RowBytes(c.width, 16);
    std::vector<uint8_t> target(rowBytes * c.height, 0xAB);
    const HDC context = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDIBits(context, bitmap, 0, c.height, target.data(), &targetInfo, DIB_RGB_COLORS),
              c.height);
    EXPECT_TRUE(DeleteDC(context));

    for (int y = 0; y < c.height; ++y) {
      const int line = c.targetBottomUp ? c.height - 1 - y : y;
      for (int x = 0; x < c.width; ++x) {
        uint8_t red = 0, green = 0, blue = 0;
        PixelColor(x, y, red, green, blue);
        ASSERT_EQ(WordAt(target, rowBytes * line + x * 2), Word555(red, green, blue))
            << "pixel " << x << "," << y;
      }
      if (c.width % 2 == 1) {
        EXPECT_EQ(target[rowBytes * line + rowBytes - 1], 0xAB) << "padding of line " << line;
      }
    }
    EXPECT_TRUE(DeleteObject(bitmap));
  }
}

// A 16-bit section read back in 32 bits spreads each 5-bit value over 8 bits; read back in
// 16 bits it is unchanged.
TEST_F(GdiDib, SixteenBitsSpreadToEightBitChannels) {
  const int width = 3;
  const int height = 2;
  const BITMAPINFO info = Header(width, -height, 16);
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  // Two rows of three little-endian words and two bytes of padding: 7FFF 0000 7C00,
  // 03E0 001F 4210.
  const std::vector<uint8_t> bits = {0xFF, 0x7F, 0x00, 0x00, 0x00, 0x7C, 0, 0,
                                     0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42, 0, 0};
  ASSERT_EQ(SetDIBits(nullptr, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS), height);

  BITMAPINFO wide = Header(width, -height, 32);
  std::vector<uint8_t> out(width * height * 4, 0);
  ASSERT_EQ(GetDIBits(nullptr, bitmap, 0, height, out.data(), &wide, DIB_RGB_COLORS), height);
  EXPECT_EQ(out, (std::vector<uint8_t>{255, 255, 255, 0, 0,   0, 0, 0, 0,   0,   255, 0,  //
                                       0,   255, 0,   0, 255, 0, 0, 0, 132, 132, 132, 0}));

  BITMAPINFO same = Header(width, -height, 16);
  std::vector<uint8_t> back(bits.size(), 0xCD);
  ASSERT_EQ(GetDIBits(nullptr, bitmap, 0, height, back.data(), &same, DIB_RGB_COLORS), height);
  for (size_t row = 0; row < 2; ++row) {
    EXPECT_EQ(std::vector<uint8_t>(back.begin() + row * 8, back.begin() + row * 8 + 6),
              std::vector<uint8_t>(bits.begin() + row * 8, bits.begin() + row * 8 + 6));
  }
  EXPECT_TRUE(DeleteObject(bitmap));
}

// Scan lines are counted in the buffer's own row order; a range that runs past the
// bitmap is cut, one that starts past it copies nothing.
TEST_F(GdiDib, LineRangesAreCountedInTheBuffersRowOrder) {
  const int width = 2;
  const int height = 4;
  const BITMAPINFO topDown = Header(width, -height, 32);
  const HBITMAP bitmap = CreateDIBSection(nullptr, &topDown, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  const std::vector<uint8_t> source = Make32(width, height, false);
  ASSERT_EQ(SetDIBits(nullptr, bitmap, 0, height, source.data(), &topDown, DIB_RGB_COLORS), height);

  struct Case {
    bool bottomUp;
    UINT first;
    UINT count;
    int copied;
    int firstPictureRow;  // the picture row that lands in the buffer's first line
  };
  const std::vector<Case> cases = {
      {false, 1, 2, 2, 1}, {true, 0, 1, 1, 3},  {true, 1, 10, 3, 2},
      {false, 3, 5, 1, 3}, {false, 4, 1, 0, 0}, {true, 9, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "bottom-up " << c.bottomUp << " lines " << c.first << "+" << c.count);
    BITMAPINFO info = Header(width, c.bottomUp ? height : -height, 32);
    std::vector<uint8_t> out(width * 4 * height, 0);
    ASSERT_EQ(GetDIBits(nullptr, bitmap, c.first, c.count, out.data(), &info, DIB_RGB_COLORS),
              c.copied);
    if (c.copied > 0) {
      uint8_t red = 0, green = 0, blue = 0;
      PixelColor(0, c.firstPictureRow, red, green, blue);
      EXPECT_EQ(out[0], blue);
      EXPECT_EQ(out[1], green);
      EXPECT_EQ(out[2], red);
    }
  }
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(GdiDib, GetObjectDescribesTheSection) {
  for (const int height : {5, -5}) {
    const BITMAPINFO info = Header(7, height, 16);
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    BITMAP description{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof description, &description),
              static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(description.bmWidth, 7);
    EXPECT_EQ(description.bmHeight, 5);
    EXPECT_EQ(description.bmWidthBytes, 16);
    EXPECT_EQ(description.bmPlanes, 1);
    EXPECT_EQ(description.bmBitsPixel, 16);
    EXPECT_NE(description.bmBits, nullptr);
    EXPECT_EQ(GetObjectW(bitmap, sizeof description - 1, &description), 0);
    EXPECT_TRUE(DeleteObject(bitmap));
  }
  // GetDIBits without a buffer completes the size of the header it is given.
  const BITMAPINFO info = Header(5, 3, 32);
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  BITMAPINFO asked = Header(5, 3, 16);
  EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 3, nullptr, &asked, DIB_RGB_COLORS), 3);
  EXPECT_EQ(asked.bmiHeader.biSizeImage, 12u * 3u);
  EXPECT_TRUE(DeleteObject(bitmap));
}

// Requests outside what the stand-ins do fail without touching anything.
TEST_F(GdiDib, RefusesWhatItCannotDo) {
  struct Case {
    const char* name;
    LONG width;
    LONG height;
    WORD bitCount;
    WORD planes;
    DWORD compression;
    DWORD size;
  };
  const std::vector<Case> cases = {
      {"24 bits", 4, 4, 24, 1, BI_RGB, 40},
      {"8 bits", 4, 4, 8, 1, BI_RGB, 40},
      {"bitfields", 4, 4, 16, 1, 3, 40},
      {"two planes", 4, 4, 32, 2, BI_RGB, 40},
      {"zero width", 0, 4, 32, 1, BI_RGB, 40},
      {"zero height", 4, 0, 32, 1, BI_RGB, 40},
      {"negative width", -4, 4, 32, 1, BI_RGB, 40},
      {"short header", 4, 4, 32, 1, BI_RGB, 12},
      {"huge", 70000, 70000, 32, 1, BI_RGB, 40},
      {"lowest height", 4, INT32_MIN, 32, 1, BI_RGB, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BITMAPINFO info = Header(c.width, c.height, c.bitCount);
    info.bmiHeader.biPlanes = c.planes;
    info.bmiHeader.biCompression = c.compression;
    info.bmiHeader.biSize = c.size;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
  }
  const BITMAPINFO good = Header(4, 4, 32);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, &good, 1, nullptr, nullptr, 0), nullptr);
  int mapping = 0;
  EXPECT_EQ(CreateDIBSection(nullptr, &good, DIB_RGB_COLORS, nullptr, &mapping, 0), nullptr);

  // Handles that were never made, or are gone, are refused.
  std::vector<uint8_t> bits(64, 0);
  BITMAPINFO info = Header(4, 4, 32);
  int notABitmap = 0;
  const HBITMAP stranger = reinterpret_cast<HBITMAP>(&notABitmap);
  EXPECT_EQ(SetDIBits(nullptr, stranger, 0, 4, bits.data(), &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(nullptr, stranger, 0, 4, bits.data(), &info, DIB_RGB_COLORS), 0);
  BITMAP description{};
  EXPECT_EQ(GetObjectW(stranger, sizeof description, &description), 0);
  EXPECT_FALSE(DeleteObject(stranger));
  EXPECT_FALSE(DeleteObject(nullptr));

  const HBITMAP bitmap = CreateDIBSection(nullptr, &good, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  BITMAPINFO otherWidth = Header(5, 4, 32);
  EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 4, bits.data(), &otherWidth, DIB_RGB_COLORS), 0);
  EXPECT_EQ(SetDIBits(nullptr, bitmap, 0, 4, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 4, bits.data(), nullptr, DIB_RGB_COLORS), 0);
  // A context is not a bitmap, and a bitmap is not a context.
  const HDC context = CreateCompatibleDC(nullptr);
  EXPECT_FALSE(DeleteObject(context));
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bitmap)));
  EXPECT_TRUE(DeleteDC(context));
  EXPECT_FALSE(DeleteDC(context));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(GetObjectW(bitmap, sizeof description, &description), 0);
}

}  // namespace
