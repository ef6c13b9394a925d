// Filling lossless bitmap tags from pictures: the stored layout (checked with zlib, not
// with our own decoder), the character id, refused sizes, and round trips through
// DecodeImage and through a new movie written to a file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "host/image/ZuBitmapQuality.h"
#include "host/image/ZuImage16BPP.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/RandomImage.h"
#include "tests/support/TempDir.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

constexpr size_t kHeaderBytes = 7;

std::unique_ptr<ZuSwfDefineBitsLossless2Tag> NewBitmapTag(uint16_t code) {
  return BitmapTag(code, {});
}

// The header fields of a created body (format, width, height), then its pixel data
// expanded by zlib.
std::pair<std::vector<int>, Bytes> Stored(const Bytes& body, size_t expected) {
  EXPECT_GT(body.size(), kHeaderBytes);
  return {{body[2], body[3] | body[4] << 8, body[5] | body[6] << 8},
          ZlibExpand(body.data() + kHeaderBytes, body.size() - kHeaderBytes, expected)};
}

// A 16-bit picture of random pixels.
ZuImage16BPP RandomImage16(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Bytes dib(ZuImage16BPP::GetRowBytes(width) * height);
  for (uint8_t& byte : dib) byte = static_cast<uint8_t>(random());
  return ZuImage16BPP(dib.data(), width, height, true);
}

uint8_t Expand5(unsigned v) {
  return static_cast<uint8_t>((v << 3) | (v >> 2));
}

// The RGBA pixel a 16-bit value decodes to.
Bytes Expanded(uint16_t v) {
  return {Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 255};
}

TEST(BitmapCreate, ArgbLayoutInBothTagKinds) {
  const struct {
    const char* name;
    uint16_t code;
    int width, height;
    Bytes rgba;
    Bytes stored;  // format 5 pixels as the tag must hold them
  } cases[] = {
      {"Lossless2 stores opaque pixels as they are",
       kLossless2,
       2,
       1,
       {1, 2, 3, 255, 250, 0, 128, 255},
       {255, 1, 2, 3, 255, 250, 0, 128}},
      {"Lossless2 premultiplies translucent pixels",
       kLossless2,
       1,
       3,
       {200, 100, 50, 128, 9, 9, 9, 0, 255, 255, 255, 1},
       {128, 100, 50, 25, 0, 0, 0, 0, 1, 1, 1, 1}},
      {"Lossless keeps the colour and drops alpha",
       kLossless,
       2,
       1,
       {200, 100, 50, 128, 4, 5, 6, 0},
       {255, 200, 100, 50, 255, 4, 5, 6}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto tag = NewBitmapTag(c.code);
    ASSERT_TRUE(
        tag->CreateImage(ZuImage(c.width, c.height, c.rgba.data()), kZuBitmapQualityLossless));
    EXPECT_EQ(Stored(BodyOf(*tag), c.stored.size()),
              std::pair(std::vector<int>{5, c.width, c.height}, c.stored));
    EXPECT_TRUE(tag->UsesLongHeader());
    EXPECT_EQ(tag->GetTagType(), c.code);
  }
}

TEST(BitmapCreate, Rgb15LayoutIsBigEndianWithZeroPadding) {
  // Little-endian DIB values; rows of 3 pixels carry 2 bytes of padding (0xaa 0xbb here).
  const Bytes dib = Hex("00 7c e0 03 1f 80 aa bb 34 12 00 00 ff 7f aa bb");
  const ZuImage16BPP image(dib.data(), 3, 2, true);
  for (uint16_t code : {kLossless2, kLossless}) {
    SCOPED_TRACE(code);
    auto tag = NewBitmapTag(code);
    ASSERT_TRUE(tag->CreateImage(image));
    // The top bit of 0x801f is not colour and is not stored.
    EXPECT_EQ(Stored(BodyOf(*tag), 16),
              std::pair(std::vector<int>{4, 3, 2},
                        Hex("7c 00 03 e0 00 1f 00 00 12 34 00 00 7f ff 00 00")));
    EXPECT_TRUE(tag->UsesLongHeader());
  }
}

TEST(BitmapCreate, RefusesEmptyAndOversizedPictures) {
  auto tag = NewBitmapTag(kLossless2);
  tag->SetCharacterId(9);
  ASSERT_TRUE(tag->CreateImage(RandomImage(3, 1, true, 2), kZuBitmapQualityLossless));
  const Bytes before = BodyOf(*tag);
  for (const auto& [width, height] :
       std::vector<std::pair<int, int>>{{0, 0}, {0, 5}, {5, 0}, {-3, 4}, {65536, 1}, {1, 65536}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    EXPECT_FALSE(tag->CreateImage(ZuImage(width, height), kZuBitmapQualityLossless));
    EXPECT_FALSE(tag->CreateImage(ZuImage16BPP(nullptr, width, height, true)));
    EXPECT_EQ(BodyOf(*tag), before);
  }
  // The largest side a tag can state is accepted.
  EXPECT_TRUE(tag->CreateImage(ZuImage(65535, 1), kZuBitmapQualityLossless));
  EXPECT_EQ(tag->GetBitmapWidth(), 65535);
}

std::unique_ptr<ZuImage> Decoded(const ZuSwfDefineBitsLossless2Tag& tag) {
  std::string error;
  std::unique_ptr<ZuImage> image(tag.DecodeImage(&error));
  EXPECT_NE(image, nullptr) << error;
  return image;
}

// Opaque pictures come back exactly, 16-bit ones expanded to 8 bits a channel.
TEST(BitmapCreate, PicturesComeBackThroughDecodeImage) {
  for (const auto& [width, height] :
       std::vector<std::pair<int, int>>{{1, 1}, {3, 5}, {17, 9}, {640, 3}, {2, 300}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const ZuImage image = RandomImage(width, height, true, width * 31 + height);
    for (uint16_t code : {kLossless2, kLossless}) {
      auto tag = NewBitmapTag(code);
      ASSERT_TRUE(tag->CreateImage(image, kZuBitmapQualityLossless));
      std::unique_ptr<ZuImage> decoded = Decoded(*tag);
      ASSERT_NE(decoded, nullptr);
      EXPECT_TRUE(*decoded == image) << code;
    }
    const ZuImage16BPP image16 = RandomImage16(width, height, width * 7 + height);
    auto tag = NewBitmapTag(kLossless2);
    ASSERT_TRUE(tag->CreateImage(image16));
    std::unique_ptr<ZuImage> decoded = Decoded(*tag);
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(decoded->GetWidth(), width);
    ASSERT_EQ(decoded->GetHeight(), height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = decoded->Row(y) + 4 * x;
        ASSERT_EQ(Bytes(p, p + 4), Expanded(image16.GetPixel(x, y))) << x << ", " << y;
      }
    }
  }
}

}  // namespace
