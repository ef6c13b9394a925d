// Filling lossless bitmap tags from pictures: the stored layout (checked with zlib, not
// with our own decoder), the character id, refused sizes, and round trips through
// DecodeImage and through a written file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/image/ZuBitmapQuality.h"
#include "host/image/ZuImage16BPP.h"
#include "host/swf/ZuTavoFile.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"
#include "tests/swf/BitmapTestUtil.h"
#include "tests/swf/FileTestUtil.h"

namespace {

constexpr size_t kHeaderBytes = 7;

uint16_t WordAt(const Bytes& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// The zlib data of a created body, expanded by zlib.
Bytes StoredPixels(const Bytes& body, size_t expected) {
  return ZlibExpand(body.data() + kHeaderBytes, body.size() - kHeaderBytes, expected);
}

std::unique_ptr<ZuSwfDefineBitsLossless2Tag> NewBitmapTag(uint16_t code) {
  return BitmapTag(code, {});
}

ZuImage RandomImage(int width, int height, bool opaque, unsigned seed) {
  std::mt19937 random(seed);
  ZuImage image(width, height);
  uint8_t* pixels = image.GetBuffer();
  for (size_t i = 0; i < image.GetBuffSize(); ++i) {
    pixels[i] = (opaque && i % 4 == 3) ? 0xff : static_cast<uint8_t>(random());
  }
  return image;
}

struct ArgbCase {
  const char* name;
  struct {
    uint16_t code;
    int width;
    int height;
  } tag;
  Bytes rgba;
  Bytes stored;  // format 5 pixels as the tag must hold them
};

const std::vector<ArgbCase>& ArgbCases() {
  static const std::vector<ArgbCase> cases = {
      {"Lossless2 stores opaque pixels as they are",
       {kLossless2, 2, 1},
       {1, 2, 3, 255, 250, 0, 128, 255},
       {255, 1, 2, 3, 255, 250, 0, 128}},
      {"Lossless2 premultiplies translucent pixels",
       {kLossless2, 1, 3},
       {200, 100, 50, 128, 9, 9, 9, 0, 255, 255, 255, 1},
       {128, 100, 50, 25, 0, 0, 0, 0, 1, 1, 1, 1}},
      {"Lossless keeps the colour and drops alpha",
       {kLossless, 2, 1},
       {200, 100, 50, 128, 4, 5, 6, 0},
       {255, 200, 100, 50, 255, 4, 5, 6}},
  };
  return cases;
}

TEST(BitmapCreate, ArgbLayoutInBothTagKinds) {
  for (const ArgbCase& c : ArgbCases()) {
    SCOPED_TRACE(c.name);
    auto tag = NewBitmapTag(c.tag.code);
    ASSERT_TRUE(tag->CreateImage(ZuImage(c.tag.width, c.tag.height, c.rgba.data()),
                                 kZuBitmapQualityLossless));
    const Bytes body = BodyBytes(*tag);
    ASSERT_GT(body.size(), kHeaderBytes);
    EXPECT_EQ(body[2], 5);
    EXPECT_EQ(WordAt(body, 3), c.tag.width);
    EXPECT_EQ(WordAt(body, 5), c.tag.height);
    EXPECT_EQ(StoredPixels(body, c.stored.size()), c.stored);
    EXPECT_TRUE(tag->UsesLongHeader());
    EXPECT_EQ(tag->GetTagType(), c.tag.code);
  }
}

TEST(BitmapCreate, Rgb15LayoutIsBigEndianWithZeroPadding) {
  // Little-endian DIB values; rows of 3 pixels carry 2 bytes of padding (0xaa 0xbb here).
  const Bytes dib = {0x00, 0x7c, 0xe0, 0x03, 0x1f, 0x80, 0xaa, 0xbb,  //
                     0x34, 0x12, 0x00, 0x00, 0xff, 0x7f, 0xaa, 0xbb};
  const ZuImage16BPP image(dib.data(), 3, 2, true);
  for (uint16_t code : {kLossless2, kLossless}) {
    SCOPED_TRACE(code);
    auto tag = NewBitmapTag(code);
    ASSERT_TRUE(tag->CreateImage(image));
    const Bytes body = BodyBytes(*tag);
    ASSERT_GT(body.size(), kHeaderBytes);
    EXPECT_EQ(body[2], 4);
    EXPECT_EQ(WordAt(body, 3), 3);
    EXPECT_EQ(WordAt(body, 5), 2);
    // The top bit of 0x801f is not colour and is not stored.
    EXPECT_EQ(StoredPixels(body, 16), (Bytes{0x7c, 0x00, 0x03, 0xe0, 0x00, 0x1f, 0, 0,  //
                                             0x12, 0x34, 0x00, 0x00, 0x7f, 0xff, 0, 0}));
    EXPECT_TRUE(tag->UsesLongHeader());
  }
}

TEST(BitmapCreate, KeepsTheCharacterId) {
  auto tag = NewBitmapTag(kLossless2);
  const ZuImage image = RandomImage(2, 2, true, 1);
  ASSERT_TRUE(tag->CreateImage(image, kZuBitmapQualityLossless));
  EXPECT_EQ(tag->GetCharacterId(), 0);  // an empty body has no id yet

  tag->SetCharacterId(0x0201);
  ASSERT_TRUE(tag->CreateImage(image, kZuBitmapQualityLossless));
  EXPECT_EQ(tag->GetCharacterId(), 0x0201);
  ASSERT_TRUE(tag->CreateImage(ZuImage16BPP(nullptr, 4, 4, true)));
  EXPECT_EQ(tag->GetCharacterId(), 0x0201);
  EXPECT_EQ(tag->GetBitmapFormat(), 4);

  // The order the key-frame code uses: an empty tag, then the id, then the picture.
  auto fresh = NewBitmapTag(kLossless2);
  fresh->SetCharacterId(42);
  ASSERT_TRUE(fresh->CreateImage(image, kZuBitmapQualityLossless));
  EXPECT_EQ(fresh->GetCharacterId(), 42);
  EXPECT_EQ(fresh->GetBitmapWidth(), 2);
}

TEST(BitmapCreate, RefusesEmptyAndOversizedPictures) {
  auto tag = NewBitmapTag(kLossless2);
  tag->SetCharacterId(9);
  ASSERT_TRUE(tag->CreateImage(RandomImage(3, 1, true, 2), kZuBitmapQualityLossless));
  const Bytes before = BodyBytes(*tag);

  for (const auto& [width, height] :
       std::vector<std::pair<int, int>>{{0, 0}, {0, 5}, {5, 0}, {-3, 4}, {65536, 1}, {1, 65536}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    EXPECT_FALSE(tag->CreateImage(ZuImage(width, height), kZuBitmapQualityLossless));
    EXPECT_FALSE(tag->CreateImage(ZuImage16BPP(nullptr, width, height, true)));
    EXPECT_EQ(BodyBytes(*tag), before);
  }
  // The largest side a tag can state is accepted.
  EXPECT_TRUE(tag->CreateImage(ZuImage(65535, 1), kZuBitmapQualityLossless));
  EXPECT_EQ(tag->GetBitmapWidth(), 65535);
}

const std::vector<std::pair<int, int>> kRoundTripSizes = {
    {1, 1}, {3, 5}, {17, 9}, {640, 3}, {2, 300}};

TEST(BitmapCreate, OpaquePicturesComeBackExactly) {
  for (uint16_t code : {kLossless2, kLossless}) {
    for (const auto& [width, height] : kRoundTripSizes) {
      SCOPED_TRACE(std::to_string(code) + ": " + std::to_string(width) + " x " +
                   std::to_string(height));
      const ZuImage image = RandomImage(width, height, true, width * 31 + height);
      auto tag = NewBitmapTag(code);
      ASSERT_TRUE(tag->CreateImage(image, kZuBitmapQualityLossless));
      std::string error;
      std::unique_ptr<ZuImage> decoded(tag->DecodeImage(&error));
      ASSERT_NE(decoded, nullptr) << error;
      EXPECT_TRUE(*decoded == image);
    }
  }
}

uint8_t Expand5(unsigned v) {
  return static_cast<uint8_t>((v << 3) | (v >> 2));
}

TEST(BitmapCreate, SixteenBitPicturesComeBackExpandedToEightBits) {
  for (const auto& [width, height] : kRoundTripSizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    std::mt19937 random(width * 7 + height);
    Bytes dib(ZuImage16BPP::GetRowBytes(width) * height);
    for (uint8_t& byte : dib) byte = static_cast<uint8_t>(random());
    const ZuImage16BPP image(dib.data(), width, height, true);

    auto tag = NewBitmapTag(kLossless2);
    ASSERT_TRUE(tag->CreateImage(image));
    std::string error;
    std::unique_ptr<ZuImage> decoded(tag->DecodeImage(&error));
    ASSERT_NE(decoded, nullptr) << error;
    ASSERT_EQ(decoded->GetWidth(), width);
    ASSERT_EQ(decoded->GetHeight(), height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint16_t v = image.GetPixel(x, y);
        const uint8_t* p = decoded->Row(y) + 4 * x;
        ASSERT_EQ((Bytes{p[0], p[1], p[2], p[3]}),
                  (Bytes{Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 255}))
            << "pixel " << x << ", " << y;
      }
    }
  }
}

// Translucent pixels lose precision to premultiplication, but never more than rounding
// allows; fully transparent ones come back as transparent black.
TEST(BitmapCreate, TranslucentPicturesComeBackWithinRounding) {
  const ZuImage image = RandomImage(64, 64, false, 5);
  auto tag = NewBitmapTag(kLossless2);
  ASSERT_TRUE(tag->CreateImage(image, kZuBitmapQualityLossless));
  std::unique_ptr<ZuImage> decoded(tag->DecodeImage(nullptr));
  ASSERT_NE(decoded, nullptr);
  for (size_t i = 0; i < image.GetBuffSize(); i += 4) {
    const uint8_t* in = image.GetBuffer() + i;
    const uint8_t* out = decoded->GetBuffer() + i;
    ASSERT_EQ(out[3], in[3]);
    for (int c = 0; c < 3; ++c) {
      if (in[3] == 0) {
        ASSERT_EQ(out[c], 0);
      } else {
        // Premultiplied storage keeps a channel to within 255 / (2 x alpha), plus 1 for the
        // rounding back.
        ASSERT_LE(std::abs(out[c] - in[c]), 255 / (2 * in[3]) + 1)
            << "pixel " << i / 4 << " alpha " << int(in[3]);
      }
    }
  }
}

TEST(BitmapCreate, WrittenMovieHoldsTheBitmaps) {
  TempDir dir;
  const ZuImage picture = RandomImage(5, 3, true, 11);
  Bytes dib(ZuImage16BPP::GetRowBytes(5) * 3, 0x21);
  const ZuImage16BPP picture16(dib.data(), 5, 3, true);

  ZuTavoFile movie;
  movie.SetWidth(5);
  movie.SetHeight(3);
  movie.SetFrameRate(25);
  movie.SetFrameCount(1);
  auto argb = NewBitmapTag(kLossless2);
  argb->SetCharacterId(1);
  ASSERT_TRUE(argb->CreateImage(picture, kZuBitmapQualityLossless));
  auto rgb15 = NewBitmapTag(kLossless2);
  rgb15->SetCharacterId(2);
  ASSERT_TRUE(rgb15->CreateImage(picture16));
  auto plain = NewBitmapTag(kLossless);
  plain->SetCharacterId(3);
  ASSERT_TRUE(plain->CreateImage(picture, kZuBitmapQualityLossless));
  movie.AppendTag(argb.release());
  movie.AppendTag(rgb15.release());
  movie.AppendTag(plain.release());
  movie.AppendTag(ZuSwfTagFactory::CreateTagFromBody(ZuSwfTagFactory::kShowFrame, {}, false));

  const std::string path = dir.File("bitmaps.swf");
  WriteFileBytes(path, DumpBytes(movie));
  ExpectOracleAccepts(path, movie);

  ZuTavoFile loaded;
  ASSERT_EQ(LoadBytes(loaded, ReadFileBytes(path)), kZuSuccess) << loaded.GetLastError();
  std::vector<std::unique_ptr<ZuImage>> pictures;
  for (ZuSwfTag* tag : loaded) {
    auto* bitmap = dynamic_cast<ZuSwfDefineBitsLossless2Tag*>(tag);
    if (bitmap == nullptr) continue;
    EXPECT_TRUE(bitmap->UsesLongHeader());
    std::string error;
    pictures.emplace_back(bitmap->DecodeImage(&error));
    ASSERT_NE(pictures.back(), nullptr) << error;
  }
  ASSERT_EQ(pictures.size(), 3u);
  EXPECT_TRUE(*pictures[0] == picture);
  // 0x2121: red 8, green 9, blue 1.
  EXPECT_EQ(Bytes(pictures[1]->GetBuffer(), pictures[1]->GetBuffer() + 4),
            (Bytes{Expand5(8), Expand5(9), Expand5(1), 255}));
  EXPECT_TRUE(*pictures[2] == picture);
}

}  // namespace
