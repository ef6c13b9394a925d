// ZuBitStream / ZuBitWriter and the RECT, MATRIX and CXFORM records built on them.
#include <gtest/gtest.h>

#include <limits>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfTypes.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

ZuBitStream StreamOf(const Bytes& bytes) {
  return ZuBitStream{std::span<const uint8_t>(bytes)};
}

TEST(TagBitStream, ReadsFieldsMostSignificantBitFirstAndWordsLittleEndian) {
  // 101 | 1111 and one bit left unread, a word and a dword (byte reads start at the next
  // whole byte), "ab" and its terminator, then "c" with none.
  const Bytes bytes = Hex("BE 34 12 78 56 34 12 61 62 00 63");
  ZuBitStream in = StreamOf(bytes);
  uint32_t a = 0, b = 0, dword = 0;
  uint16_t word = 0;
  std::string text;
  EXPECT_TRUE(in.ReadBits(3, a) && in.ReadBits(4, b));
  EXPECT_EQ((std::pair{a, b}), (std::pair{5u, 15u}));
  EXPECT_EQ(in.GetBytePosition(), 1u);  // the partly read byte counts as used
  EXPECT_TRUE(in.ReadWord(word) && in.ReadDWord(dword) && in.ReadString(text));
  EXPECT_EQ(word, 0x1234);
  EXPECT_EQ(dword, 0x12345678u);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(in.GetRemainingBytes(), 1u);
  EXPECT_FALSE(in.HasError());
  EXPECT_FALSE(in.ReadString(text));  // "c" runs to the end
  EXPECT_TRUE(text.empty());
  EXPECT_TRUE(in.HasError());
}

TEST(TagBitStream, SignedFieldsAreSignExtended) {
  const struct {
    const char* bytes;
    unsigned count;
    int32_t expected;
  } cases[] = {
      {"E0", 3, -1},
      {"80", 3, -4},
      {"60", 3, 3},
      {"80", 1, -1},
      {"00", 0, 0},
      {"FF FF FF FF", 32, -1},
      {"80 00 00 00", 32, std::numeric_limits<int32_t>::min()},
      {"7F FF FF FF", 32, std::numeric_limits<int32_t>::max()},
  };
  for (const auto& c : cases) {
    const Bytes bytes = Hex(c.bytes);
    ZuBitStream in = StreamOf(bytes);
    int32_t value = 12345;
    EXPECT_TRUE(in.ReadSignedBits(c.count, value)) << c.count;
    EXPECT_EQ(value, c.expected) << c.count;
  }
}

TEST(TagBitStream, OverrunsFailYieldZeroAndStick) {
  const Bytes bytes = {0xAB};
  ZuBitStream in = StreamOf(bytes);
  uint16_t word = 7;
  EXPECT_FALSE(in.ReadWord(word));
  EXPECT_EQ(word, 0);
  EXPECT_TRUE(in.HasError());
  // Even a read that would fit fails once the error is set.
  ZuBitStream again = StreamOf(bytes);
  uint32_t bits = 0;
  EXPECT_FALSE(again.ReadBits(9, bits));
  EXPECT_EQ(bits, 0u);
  uint8_t byte = 1;
  EXPECT_FALSE(again.ReadByte(byte));
  EXPECT_EQ(byte, 0);
  EXPECT_FALSE(again.ReadBits(33, bits));  // wider than a field can be
  // Skips past the end fail too, however far.
  const Bytes three = {1, 2, 3};
  ZuBitStream skipping = StreamOf(three);
  EXPECT_TRUE(skipping.Skip(3));
  EXPECT_FALSE(skipping.Skip(1));
  ZuBitStream huge = StreamOf(three);
  EXPECT_FALSE(huge.Skip(std::numeric_limits<size_t>::max()));
}

TEST(TagBitStream, SharedBytesStayAliveWithTheStream) {
  std::unique_ptr<ZuBitStream> in;
  {
    ZuSharedBytes bytes = ZuSharedBytes::Adopt({0x34, 0x12});
    in = std::make_unique<ZuBitStream>(bytes);
  }
  uint16_t word = 0;
  EXPECT_TRUE(in->ReadWord(word));
  EXPECT_EQ(word, 0x1234);
}

TEST(TagBitWriter, WritesWhatTheReaderReads) {
  ZuBitWriter out;
  out.WriteBits(3, 5);
  out.WriteSignedBits(5, -3);
  out.WriteWord(0xBEEF);  // aligns first
  out.WriteBits(1, 1);
  out.WriteDWord(0xCAFEF00D);
  out.WriteString("hi");
  EXPECT_EQ(out.GetBytes(), Hex("BD EF BE 80 0D F0 FE CA 68 69 00"));
}

TEST(TagBitWriter, BitsNeeded) {
  const std::pair<int32_t, unsigned> signedCases[] = {{0, 0},
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
  for (const auto& [value, bits] : signedCases) {
    EXPECT_EQ(ZuBitWriter::SignedBitsNeeded(value), bits) << value;
  }
  const std::pair<uint32_t, unsigned> unsignedCases[] = {{0, 0}, {1, 1}, {255, 8}, {~0u, 32}};
  for (const auto& [value, bits] : unsignedCases) {
    EXPECT_EQ(ZuBitWriter::UnsignedBitsNeeded(value), bits) << value;
  }
}

// One table drives both directions: the bytes decode to the record, and the record
// encodes to the same bytes.
template <class Record>
void ExpectBothWays(const Bytes& bytes, const Record& record, bool hasAlpha = false) {
  ZuBitStream in = StreamOf(bytes);
  Record read;
  if constexpr (std::is_same_v<Record, ZuSwfColorTransform>) {
    EXPECT_TRUE(read.Read(in, hasAlpha));
  } else {
    EXPECT_TRUE(read.Read(in));
  }
  EXPECT_EQ(read, record);
  EXPECT_EQ(in.GetRemainingBytes(), 0u);
  ZuBitWriter out;
  record.Write(out);
  EXPECT_EQ(out.GetBytes(), bytes);
}

TEST(TagRecords, RectBothWays) {
  ExpectBothWays(Hex("00"), ZuSwfRect{0, 0, 0, 0});
  // 5-bit count 15, then 0, 11000 twips (550 px), 0, 8000 twips (400 px)
  ExpectBothWays(Hex("78 00 05 5F 00 00 0F A0 00"), ZuSwfRect{0, 11000, 0, 8000});
  // count 3: -1, 1, -4, 3 -> 00011 111 001 100 011 + pad
  ExpectBothWays(Hex("1F 31 80"), ZuSwfRect{-1, 1, -4, 3});
}

TEST(TagRecords, MatrixBothWays) {
  ZuSwfMatrix translated, scaled, rotated;
  translated.translateX = 20;
  translated.translateY = -20;
  scaled.scaleX = scaled.scaleY = 20 << 16;  // twips a pixel, no translation
  rotated.rotateSkew0 = 1;
  rotated.rotateSkew1 = -1;
  ExpectBothWays(Hex("00"), ZuSwfMatrix());
  ExpectBothWays(Hex("0C A5 80"), translated);  // no scale, no rotate, 6 bits: 20, -20
  // scale flag, 22 bits each, then no rotate, 0 translate bits
  ExpectBothWays(Hex("D9 40 00 05 00 00 00"), scaled);
  ExpectBothWays(Hex("44 E0"), rotated);  // rotate flag, 2 bits: 01, 11
}

TEST(TagRecords, ColorTransformBothWays) {
  ZuSwfColorTransform addAlpha, halfRgb;
  addAlpha.hasAlpha = true;
  addAlpha.alphaAdd = -1;
  halfRgb.redMult = halfRgb.greenMult = halfRgb.blueMult = 128;
  ExpectBothWays(Hex("00"), ZuSwfColorTransform());
  ExpectBothWays(Hex("84 40"), addAlpha, true);  // add terms only, 1 bit: 0 0 0 -1
  // multiply only, 9 bits of 128 each (no alpha)
  ExpectBothWays(Hex("65 00 80 40 00"), halfRgb);
}

TEST(TagRecords, TruncatedRecordsFail) {
  const Bytes rect = Hex("78 00 05"), matrix = Hex("80"), empty;  // claim more than they hold
  ZuBitStream rectIn = StreamOf(rect), matrixIn = StreamOf(matrix), emptyIn = StreamOf(empty);
  ZuSwfRect r;
  ZuSwfMatrix m;
  ZuSwfColorTransform t;
  EXPECT_FALSE(r.Read(rectIn));
  EXPECT_FALSE(m.Read(matrixIn));
  EXPECT_FALSE(t.Read(emptyIn, true));
}

}  // namespace
