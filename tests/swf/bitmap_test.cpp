// Lossless bitmap tags. Reading: every BitmapFormat in both tag kinds, row padding, alpha,
// and bodies that are broken in each way a file can break them (random and cut bodies are the
// bitmap fuzz target's, which checks that a refusal says why). Filling from pictures: the
// stored layout (checked with zlib, not with our own decoder) and refused sizes. Round trips
// through DecodeImage are shown by the edits' synthesized key frames, rendered frame-exact.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuBitmapQuality.h"
#include "host/image/ZuImage16BPP.h"
#include "tests/support/RandomImage.h"
#include "tests/support/SwfBuilder.h"
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

TEST(BitmapCreate, ArgbLayoutInBothTagKinds) {
  const struct {
    const char* name;
    uint16_t code;
    int width, height;
    Bytes rgba;
    Bytes stored;  // format 5 pixels as the tag must hold them
  } cases[] = {
      // clang-format off
      {"Lossless2 stores opaque pixels as they are", kLossless2, 2, 1, {1, 2, 3, 255, 250, 0, 128, 255}, {255, 1, 2, 3, 255, 250, 0, 128}},
      {"Lossless2 premultiplies translucent pixels", kLossless2, 1, 3, {200, 100, 50, 128, 9, 9, 9, 0, 255, 255, 255, 1}, {128, 100, 50, 25, 0, 0, 0, 0, 1, 1, 1, 1}},
      {"Lossless keeps the colour and drops alpha", kLossless, 2, 1, {200, 100, 50, 128, 4, 5, 6, 0}, {255, 200, 100, 50, 255, 4, 5, 6}},
      // clang-format on
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

// The header fields of a body.
struct Head {
  uint16_t code;
  uint8_t format;
  uint16_t width;
  uint16_t height;
  int tableSizeByte;  // format 3 only; -1 for none
};

// bytes, then size bytes of a pattern.
Bytes WithPattern(Bytes bytes, size_t size) {
  const Bytes pattern = SwfBuilder::PatternBody(size);
  bytes.insert(bytes.end(), pattern.begin(), pattern.end());
  return bytes;
}

struct DecodeCase {
  const char* name;
  Head head;
  Bytes raw;   // what the zlib data expands to
  Bytes rgba;  // the expected picture
  bool wrongChecksum = false;
};

const std::vector<DecodeCase>& DecodeCases() {
  static const std::vector<DecodeCase> cases = {
      // clang-format off
      {"format 3 RGB table, width 3 pads rows by 1, indices past the table are black", {kLossless, 3, 3, 2, 1}, {10, 20, 30, 200, 100, 50, 0, 1, 2, 0x99, 1, 0, 255, 0x77}, {10, 20, 30, 255, 200, 100, 50, 255, 0, 0, 0, 255, 200, 100, 50, 255, 10, 20, 30, 255, 0, 0, 0, 255}},
      {"format 3 premultiplied RGBA table, width 1 pads rows by 3", {kLossless2, 3, 1, 4, 2}, {255, 0, 0, 255, 64, 32, 0, 128, 50, 50, 50, 0, 0, 9, 9, 9, 1, 9, 9, 9, 2, 9, 9, 9, 7, 9, 9, 9}, {255, 0, 0, 255, 128, 64, 0, 128, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"format 4 in DefineBitsLossless, width 1 pads rows by 2; the top bit is ignored", {kLossless, 4, 1, 3, -1}, {0x7f, 0xff, 0xee, 0xee, 0x7c, 0x00, 0xee, 0xee, 0x82, 0x10, 0xee, 0xee}, {255, 255, 255, 255, 255, 0, 0, 255, 0, 132, 132, 255}},
      {"format 4 in DefineBitsLossless2 (recorder's 16-bit form), width 3", {kLossless2, 4, 3, 1, -1}, {0x00, 0x01, 0x03, 0xe0, 0x52, 0x94, 0xee, 0xee}, {0, 0, 8, 255, 0, 255, 0, 255, 165, 165, 165, 255}},
      {"format 5 in DefineBitsLossless: the first byte is not alpha", {kLossless, 5, 2, 1, -1}, {0x00, 1, 2, 3, 0x7f, 250, 251, 252}, {1, 2, 3, 255, 250, 251, 252, 255}},
      {"format 5 in DefineBitsLossless2: premultiplied ARGB", {kLossless2, 5, 2, 2, -1}, {255, 1, 2, 3, 0, 9, 9, 9, 128, 64, 32, 0, 100, 200, 100, 50}, {1, 2, 3, 255, 0, 0, 0, 0, 128, 64, 0, 128, 255, 255, 128, 100}},
      {"a byte beyond the pixels is ignored", {kLossless2, 5, 1, 1, -1}, WithPattern({255, 7, 8, 9}, 1), {7, 8, 9, 255}},
      {"data beyond the pixels is ignored", {kLossless2, 5, 2, 1, -1}, WithPattern({255, 7, 8, 9, 128, 64, 32, 0}, 70000), {7, 8, 9, 255, 128, 64, 0, 128}},
      {"a wrong zlib checksum is accepted", {kLossless2, 5, 1, 1, -1}, {255, 7, 8, 9}, {7, 8, 9, 255}, true},
      // clang-format on
  };
  return cases;
}

TEST(BitmapDecode, EveryFormatInBothTagKinds) {
  for (const DecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.name);
    Bytes data = ZlibCompress(c.raw);
    if (c.wrongChecksum) data.back() ^= 0x5a;
    const Head& h = c.head;
    const auto tag =
        BitmapTag(h.code, BitmapBody(7, h.format, h.width, h.height, h.tableSizeByte, data));
    std::string error;
    std::unique_ptr<ZuImage> image(tag->DecodeImage(&error));
    ASSERT_NE(image, nullptr) << error;
    EXPECT_EQ(image->GetWidth(), h.width);
    EXPECT_EQ(image->GetHeight(), h.height);
    EXPECT_EQ(Pixels(*image), c.rgba);
  }
}

struct BadCase {
  const char* name;
  uint16_t code;
  Bytes body;
  const char* reason;
};

Bytes CutShort(Bytes bytes, size_t keep) {
  bytes.resize(keep);
  return bytes;
}

const std::vector<BadCase>& BadCases() {
  static const std::vector<BadCase> cases = {
      // clang-format off
      {"empty body", kLossless2, {}, "cut short"},
      {"header cut short", kLossless2, {1, 0, 5, 2, 0, 2}, "cut short"},
      {"format 3 without its table size", kLossless, BitmapBody(1, 3, 1, 1, -1, {}), "cut short"},
      {"unknown format", kLossless2, BitmapBody(1, 2, 1, 1, -1, ZlibCompress(SwfBuilder::PatternBody(4))), "unknown bitmap format 2"},
      {"zero width", kLossless2, BitmapBody(1, 5, 0, 4, -1, ZlibCompress({})), "no pixels"},
      {"zero height", kLossless, BitmapBody(1, 4, 4, 0, -1, ZlibCompress({})), "no pixels"},
      {"data that is not zlib", kLossless2, BitmapBody(1, 5, 2, 2, -1, {'n', 'o', 't', ' ', 'z', 'l', 'i', 'b', '!'}), "does not inflate"},
      {"no data at all", kLossless2, BitmapBody(1, 5, 2, 2, -1, {}), "does not inflate"},
      {"zlib stream cut off", kLossless2, BitmapBody(1, 5, 8, 8, -1, CutShort(ZlibCompress(SwfBuilder::PatternBody(256)), 40)), "does not inflate"},
      {"fewer pixels than width x height", kLossless2, BitmapBody(1, 5, 2, 2, -1, ZlibCompress(SwfBuilder::PatternBody(15))), "shorter than width x height"},
      {"format 4 rows without their padding", kLossless, BitmapBody(1, 4, 1, 2, -1, ZlibCompress(SwfBuilder::PatternBody(4))), "shorter than width x height"},
      {"colour table without indices", kLossless2, BitmapBody(1, 3, 2, 1, 3, ZlibCompress(SwfBuilder::PatternBody(16))), "shorter than width x height"},
      {"16384 x 16384 pixels from a few bytes", kLossless2, BitmapBody(1, 5, 16384, 16384, -1, ZlibCompress(SwfBuilder::PatternBody(100))), "shorter than width x height"},
      {"more pixels than decoding allows", kLossless, BitmapBody(1, 4, 65535, 4097, -1, {}), "too large"},
      // clang-format on
  };
  return cases;
}

TEST(BitmapDecode, BrokenBodiesGiveNullAndAReason) {
  for (const BadCase& c : BadCases()) {
    SCOPED_TRACE(c.name);
    const auto tag = BitmapTag(c.code, c.body);
    std::string error;
    std::unique_ptr<ZuImage> image(tag->DecodeImage(&error));
    EXPECT_EQ(image, nullptr);
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
