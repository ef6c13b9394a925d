// PNG files in and out. The files read here are put together chunk by chunk with zlib,
// so every colour type, bit depth and transparency form is known exactly.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "host/image/ZuPng.h"
#include "tests/support/FileBytes.h"
#include "tests/support/RandomImage.h"
#include "tests/support/TempDir.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

void PutBigEndian(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

Bytes Chunk(const std::string& type, const Bytes& data) {
  Bytes chunk;
  PutBigEndian(chunk, static_cast<uint32_t>(data.size()));
  Bytes typed(type.begin(), type.end());
  typed.insert(typed.end(), data.begin(), data.end());
  chunk.insert(chunk.end(), typed.begin(), typed.end());
  PutBigEndian(chunk, static_cast<uint32_t>(crc32(0, typed.data(), typed.size())));
  return chunk;
}

struct PngContent {
  uint32_t width;
  uint32_t height;
  uint8_t depth;
  uint8_t colorType;
  Bytes scanlines;                                    // each row with its filter byte
  std::vector<std::pair<std::string, Bytes>> before;  // chunks between IHDR and IDAT
  uint8_t interlace = 0;
  std::optional<Bytes> idat;  // the IDAT data as given; by default the zlib of scanlines
};

Bytes Ihdr(const PngContent& png) {
  Bytes ihdr;
  PutBigEndian(ihdr, png.width);
  PutBigEndian(ihdr, png.height);
  ihdr.insert(ihdr.end(), {png.depth, png.colorType, 0, 0, png.interlace});
  return ihdr;
}

Bytes PngFile(const PngContent& png) {
  Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  auto append = [&file](const Bytes& chunk) {
    file.insert(file.end(), chunk.begin(), chunk.end());
  };
  append(Chunk("IHDR", Ihdr(png)));
  for (const auto& [type, data] : png.before) append(Chunk(type, data));
  append(Chunk("IDAT", png.idat ? *png.idat : ZlibCompress(png.scanlines)));
  append(Chunk("IEND", {}));
  return file;
}

// Rows given without filter bytes, each given filter 0 (none).
Bytes Unfiltered(const std::vector<Bytes>& rows) {
  Bytes out;
  for (const Bytes& row : rows) {
    out.push_back(0);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

// The Adam7 passes of an 8-bit gray picture whose sample at (x, y) is 10 y + x.
Bytes Adam7Gray(int width, int height) {
  const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  Bytes out;
  for (const auto& pass : passes) {
    if (pass[0] >= width || pass[1] >= height) continue;  // the pass holds no pixel
    for (int y = pass[1]; y < height; y += pass[3]) {
      out.push_back(0);
      for (int x = pass[0]; x < width; x += pass[2]) {
        out.push_back(static_cast<uint8_t>(10 * y + x));
      }
    }
  }
  return out;
}

struct ReadCase {
  const char* name;
  PngContent png;
  Bytes rgba;
};

const std::vector<ReadCase>& ReadCases() {
  // clang-format off
  static const std::vector<ReadCase> cases = {
      {"gray 8-bit", {2, 1, 8, 0, Unfiltered({{0, 255}})}, {0, 0, 0, 255, 255, 255, 255, 255}},
      {"gray 1-bit", {3, 1, 1, 0, Unfiltered({{0xa0}})}, {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}},
      {"gray with alpha", {1, 1, 8, 4, Unfiltered({{100, 50}})}, {100, 100, 100, 50}},
      {"gray with a transparent value", {2, 1, 8, 0, Unfiltered({{7, 8}}), {{"tRNS", {0, 7}}}}, {7, 7, 7, 0, 8, 8, 8, 255}},
      {"RGB 16-bit is scaled to 8", {2, 1, 16, 2, Unfiltered({{0xff, 0xff, 0x80, 0x80, 0, 0, 0x12, 0xf0, 0, 0, 0xff, 0xff}})}, {255, 128, 0, 255, 19, 0, 255, 255}},  // 0x12f0 rounds up, not down to 0x12
      {"RGB with a transparent colour", {2, 1, 8, 2, Unfiltered({{0, 0, 255, 1, 2, 3}}), {{"tRNS", {0, 0, 0, 0, 0, 255}}}}, {0, 0, 255, 0, 1, 2, 3, 255}},
      {"RGBA 8-bit", {1, 2, 8, 6, Unfiltered({{1, 2, 3, 4}, {5, 6, 7, 8}})}, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"2-bit palette with partial transparency", {3, 1, 2, 3, Unfiltered({{0x18}}), {{"PLTE", {10, 20, 30, 40, 50, 60, 70, 80, 90}}, {"tRNS", {255, 0}}}}, {10, 20, 30, 255, 40, 50, 60, 0, 70, 80, 90, 255}},
      {"interlaced gray", {3, 3, 8, 0, Adam7Gray(3, 3), {}, 1},
       {0, 0, 0, 255, 1, 1, 1, 255, 2, 2, 2, 255,
        10, 10, 10, 255, 11, 11, 11, 255, 12, 12, 12, 255,
        20, 20, 20, 255, 21, 21, 21, 255, 22, 22, 22, 255}},
  };
  // clang-format on
  return cases;
}

TEST(Png, ReadsEveryColourTypeAsRgba8) {
  TempDir dir;
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("in.png");
    WriteFileBytes(path, PngFile(c.png));
    std::string error;
    std::unique_ptr<ZuImage> image = ZuPng::Read(path, &error);
    ASSERT_NE(image, nullptr) << error;
    EXPECT_EQ(image->GetWidth(), static_cast<int>(c.png.width));
    EXPECT_EQ(image->GetHeight(), static_cast<int>(c.png.height));
    EXPECT_EQ(Pixels(*image), c.rgba);
  }
}

TEST(Png, FailedWritesLeaveNoFile) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(ZuPng::Write(RandomImage(2, 2, true, 4), dir.File("missing/out.png"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ZuPng::Write(ZuImage(0, 3), dir.File("empty.png"), &error));
  EXPECT_NE(error.find("empty"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

Bytes Cut(Bytes bytes, size_t keep) {
  bytes.resize(keep);
  return bytes;
}

Bytes Flipped(Bytes bytes, size_t offset) {
  bytes[offset] ^= 0xff;
  return bytes;
}

TEST(Png, BadFilesGiveAReason) {
  const Bytes good = PngFile({4, 4, 8, 6, Unfiltered(std::vector<Bytes>(4, Bytes(16, 0x5a)))});
  // The IDAT chunk starts after the signature (8) and IHDR (25); its data 8 bytes later.
  const size_t idatData = 8 + 25 + 8;
  struct BadCase {
    const char* name;
    Bytes file;
    const char* reason;
  };
  // clang-format off
  const BadCase cases[] = {
      {"empty file", {}, "not a PNG file"},
      {"text file", {'h', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd'}, "not a PNG file"},
      {"only the signature", Cut(good, 8), "damaged PNG data"},
      {"cut in the pixel data", Cut(good, idatData + 5), "damaged PNG data"},
      {"damaged header checksum", Flipped(good, 8 + 8 + 13), "damaged PNG data"},
      {"pixel data that is not zlib", PngFile({2, 2, 8, 0, {}, {}, 0, Bytes{'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'}}), "damaged PNG data"},
      {"zero width", PngFile({0, 2, 8, 0, Unfiltered({{}, {}})}), "damaged PNG data"},
      {"too large", PngFile({20000, 1, 8, 0, Unfiltered({Bytes(20000, 0)})}), "too large"},
  };
  // clang-format on
  TempDir dir;
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("bad.png");
    WriteFileBytes(path, c.file);
    std::string error;
    EXPECT_EQ(ZuPng::Read(path, &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  std::string error;
  EXPECT_EQ(ZuPng::Read(dir.File("missing.png"), &error), nullptr);
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

}  // namespace
