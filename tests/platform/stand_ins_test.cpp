// The GDI and global-memory stand-ins refuse what they cannot do and handles they did not make
// (their pixels and blocks are used by the edits' frame-exact tests on 32- and 16-bit
// recordings, and failing on request by the edits' refusals), and leave nothing behind.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/ZuWinGdi.h"
#include "platform/ZuWinGlobalMemory.h"

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

class StandIns : public testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(ZuGdiCountLiveObjects(), m_objects);
    EXPECT_EQ(ZuGlobalMemoryCountLiveBlocks(), m_blocks);
  }

 private:
  const size_t m_objects = ZuGdiCountLiveObjects();
  const size_t m_blocks = ZuGlobalMemoryCountLiveBlocks();
};

// Requests outside what the stand-ins do fail without touching anything.
TEST_F(StandIns, DibsRefuseWhatTheyCannotDo) {
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

TEST_F(StandIns, GlobalMemoryRefusesStrangeHandles) {
  int notABlock = 0;
  EXPECT_EQ(GlobalLock(&notABlock), nullptr);
  EXPECT_FALSE(GlobalUnlock(&notABlock));
  EXPECT_EQ(GlobalHandle(&notABlock), nullptr);
  EXPECT_EQ(GlobalFree(&notABlock), &notABlock);
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
}

}  // namespace
