// ZuBitStream / ZuBitWriter and the RECT, MATRIX and CXFORM records built on them.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfTypes.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(TagBitStream, ReadsFieldsMostSignificantBitFirstAndWordsLittleEndian) {
  // 101 | 1111 | 0 then a word and a dword.
  Bytes bytes = {0xBE, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12};
  ZuBitStream in{std::span<const uint8_t>(bytes)};
  uint32_t a = 0, b = 0, c = 0;
  EXPECT_TRUE(in.ReadBits(3, a));
  EXPECT_TRUE(in.ReadBits(4, b));
  EXPECT_TRUE(in.ReadBits(1, c));
  EXPECT_EQ(a, 5u);
  EXPECT_EQ(b, 15u);
  EXPECT_EQ(c, 0u);
  uint16_t word = 0;
  uint32_t dword = 0;
  EXPECT_TRUE(in.ReadWord(word));
  EXPECT_TRUE(in.ReadDWord(dword));
  EXPECT_EQ(word, 0x1234);
  EXPECT_EQ(dword, 0x12345678u);
  EXPECT_EQ(in.GetRemainingBytes(), 0u);
  EXPECT_FALSE(in.HasError());
}

TEST(TagBitStream, SignedFieldsAreSignExtended) {
  struct Case {
    Bytes bytes;
    unsigned count;
    int32_t expected;
  };
  const Case cases[] = {
      {{0xE0}, 3, -1},                     // 111
      {{0x80}, 3, -4},                     // 100
      {{0x60}, 3, 3},                      // 011
      {{0x80}, 1, -1},                     // a lone sign bit
      {{0x00}, 0, 0},                      // no bits
      {{0xFF, 0xFF, 0xFF, 0xFF}, 32, -1},  // the full width
      {{0x80, 0x00, 0x00, 0x00}, 32, std::numeric_limits<int32_t>::min()},
      {{0x7F, 0xFF, 0xFF, 0xFF}, 32, std::numeric_limits<int32_t>::max()},
  };
  for (const Case& c : cases) {
    ZuBitStream in{std::span<const uint8_t>(c.bytes)};
    int32_t value = 12345;
    EXPECT_TRUE(in.ReadSignedBits(c.count, value)) << c.count;
    EXPECT_EQ(value, c.expected) << c.count;
  }
}

TEST(TagBitStream, ByteReadsStartAtTheNextWholeByte) {
  Bytes bytes = {0xFF, 0x42};
  ZuBitStream in{std::span<const uint8_t>(bytes)};
  uint32_t bit = 0;
  in.ReadBits(1, bit);
  EXPECT_EQ(in.GetBytePosition(), 1u);  // the partly read byte counts as used
  uint8_t value = 0;
  EXPECT_TRUE(in.ReadByte(value));
  EXPECT_EQ(value, 0x42);
}

TEST(TagBitStream, OverrunFailsYieldsZeroAndSticks) {
  Bytes bytes = {0xAB};
  ZuBitStream in{std::span<const uint8_t>(bytes)};
  uint16_t word = 7;
  EXPECT_FALSE(in.ReadWord(word));
  EXPECT_EQ(word, 0);
  EXPECT_TRUE(in.HasError());
  // Even a read that would fit fails once the error is set.
  ZuBitStream again{std::span<const uint8_t>(bytes)};
  uint32_t bits = 0;
  EXPECT_FALSE(again.ReadBits(9, bits));
  EXPECT_EQ(bits, 0u);
  uint8_t byte = 1;
  EXPECT_FALSE(again.ReadByte(byte));
  EXPECT_EQ(byte, 0);
  EXPECT_FALSE(again.ReadBits(33, bits));  // wider than a field can be
}

TEST(TagBitStream, StringsNeedTheirTerminator) {
  Bytes good = {'a', 'b', 0, 'c'};
  ZuBitStream in{std::span<const uint8_t>(good)};
  std::string text;
  EXPECT_TRUE(in.ReadString(text));
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(in.GetRemainingBytes(), 1u);
  EXPECT_FALSE(in.ReadString(text));  // "c" runs to the end
  EXPECT_TRUE(text.empty());
  EXPECT_TRUE(in.HasError());
}

TEST(TagBitStream, SkipPastTheEndFails) {
  Bytes bytes = {1, 2, 3};
  ZuBitStream in{std::span<const uint8_t>(bytes)};
  EXPECT_TRUE(in.Skip(3));
  EXPECT_FALSE(in.Skip(1));
  ZuBitStream huge{std::span<const uint8_t>(bytes)};
  EXPECT_FALSE(huge.Skip(std::numeric_limits<size_t>::max()));
}

TEST(TagBitStream, SharedBytesStayAliveWithTheStream) {
  ZuBitStream* in = nullptr;
  {
    ZuSharedBytes bytes = ZuSharedBytes::Adopt({0x34, 0x12});
    in = new ZuBitStream(bytes);
  }
  uint16_t word = 0;
  EXPECT_TRUE(in->ReadWord(word));
  EXPECT_EQ(word, 0x1234);
  delete in;
}

TEST(TagBitWriter, WritesWhatTheReaderReads) {
  ZuBitWriter out;
  out.WriteBits(3, 5);
  out.WriteSignedBits(5, -3);
  out.WriteWord(0xBEEF);  // aligns first
  out.WriteBits(1, 1);
  out.WriteDWord(0xCAFEF00D);
  out.WriteString("hi");
  EXPECT_EQ(out.GetBytes(), (Bytes{0xBD, 0xEF, 0xBE, 0x80, 0x0D, 0xF0, 0xFE, 0xCA, 'h', 'i', 0}));
}

TEST(TagBitWriter, BitsNeeded) {
  struct Case {
    int32_t value;
    unsigned signedBits;
  };
  const Case cases[] = {{0, 0},
                        {1, 2},
                        {-1, 1},
                        {2, 3},
                        {-2, 2},
                        {127, 8},
                        {-128, 8},
                        {128, 9},
                        {65535, 17},
                        {-65536, 17},
                        {std::numeric_limits<int32_t>::min(), 32}};
  for (const Case& c : cases)
    EXPECT_EQ(ZuBitWriter::SignedBitsNeeded(c.value), c.signedBits) << c.value;
  EXPECT_EQ(ZuBitWriter::UnsignedBitsNeeded(0), 0u);
  EXPECT_EQ(ZuBitWriter::UnsignedBitsNeeded(1), 1u);
  EXPECT_EQ(ZuBitWriter::UnsignedBitsNeeded(255), 8u);
  EXPECT_EQ(ZuBitWriter::UnsignedBitsNeeded(0xFFFFFFFFu), 32u);
}

// One table drives both directions: the bytes decode to the record, and the record
// encodes to the same bytes.
TEST(TagRecords, RectBothWays) {
  struct Case {
    Bytes bytes;
    ZuSwfRect rect;
  };
  const Case cases[] = {
      {{0x00}, {0, 0, 0, 0}},
      // 5-bit count 15, then 0, 11000 twips (550 px), 0, 8000 twips (400 px)
      {{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}, {0, 11000, 0, 8000}},
      // count 3: -1, 1, -4, 3 -> 00011 111 001 100 011 + pad
      {{0x1F, 0x31, 0x80}, {-1, 1, -4, 3}},
  };
  for (const Case& c : cases) {
    ZuBitStream in{std::span<const uint8_t>(c.bytes)};
    ZuSwfRect read;
    EXPECT_TRUE(read.Read(in));
    EXPECT_EQ(read, c.rect);
    EXPECT_EQ(in.GetRemainingBytes(), 0u);
    ZuBitWriter out;
    c.rect.Write(out);
    EXPECT_EQ(out.GetBytes(), c.bytes);
  }
}

TEST(TagRecords, MatrixBothWays) {
  struct Case {
    Bytes bytes;
    ZuSwfMatrix matrix;
  };
  ZuSwfMatrix identity;
  ZuSwfMatrix translated;
  translated.translateX = 20;
  translated.translateY = -20;
  ZuSwfMatrix scaled;  // scale 20 (twips a pixel), no translation
  scaled.scaleX = 20 << 16;
  scaled.scaleY = 20 << 16;
  ZuSwfMatrix rotated;
  rotated.rotateSkew0 = 1;
  rotated.rotateSkew1 = -1;
  const Case cases[] = {
      {{0x00}, identity},
      // no scale, no rotate, 6 bits: 20, -20
      {{0x0C, 0xA5, 0x80}, translated},
      // scale flag, 22 bits each, then no rotate, 0 translate bits
      {{0xD9, 0x40, 0x00, 0x05, 0x00, 0x00, 0x00}, scaled},
      // rotate flag, 2 bits: 01, 11
      {{0x44, 0xE0}, rotated},
  };
  for (const Case& c : cases) {
    ZuBitStream in{std::span<const uint8_t>(c.bytes)};
    ZuSwfMatrix read;
    EXPECT_TRUE(read.Read(in));
    EXPECT_EQ(read, c.matrix);
    EXPECT_EQ(in.GetRemainingBytes(), 0u);
    ZuBitWriter out;
    c.matrix.Write(out);
    EXPECT_EQ(out.GetBytes(), c.bytes);
  }
}

TEST(TagRecords, ColorTransformBothWays) {
  struct Case {
    Bytes bytes;
    ZuSwfColorTransform transform;
  };
  ZuSwfColorTransform none;
  ZuSwfColorTransform addAlpha;
  addAlpha.hasAlpha = true;
  addAlpha.alphaAdd = -1;
  ZuSwfColorTransform halfRgb;
  halfRgb.redMult = halfRgb.greenMult = halfRgb.blueMult = 128;
  const Case cases[] = {
      {{0x00}, none},
      // add terms only, 1 bit: 0 0 0 -1
      {{0x84, 0x40}, addAlpha},
      // multiply only, 9 bits of 128 each (no alpha)
      {{0x65, 0x00, 0x80, 0x40, 0x00}, halfRgb},
  };
  for (const Case& c : cases) {
    ZuBitStream in{std::span<const uint8_t>(c.bytes)};
    ZuSwfColorTransform read;
    EXPECT_TRUE(read.Read(in, c.transform.hasAlpha));
    EXPECT_EQ(read, c.transform);
    EXPECT_EQ(in.GetRemainingBytes(), 0u);
    ZuBitWriter out;
    c.transform.Write(out);
    EXPECT_EQ(out.GetBytes(), c.bytes);
  }
}

TEST(TagRecords, TruncatedRecordsFail) {
  Bytes rect = {0x78, 0x00, 0x05};  // claims 15-bit fields
  ZuBitStream in{std::span<const uint8_t>(rect)};
  ZuSwfRect r;
  EXPECT_FALSE(r.Read(in));
  Bytes matrix = {0x80};  // a scale flag and nothing after
  ZuBitStream in2{std::span<const uint8_t>(matrix)};
  ZuSwfMatrix m;
  EXPECT_FALSE(m.Read(in2));
  Bytes empty;
  ZuBitStream in3{std::span<const uint8_t>(empty)};
  ZuSwfColorTransform t;
  EXPECT_FALSE(t.Read(in3, true));
}

}  // namespace
