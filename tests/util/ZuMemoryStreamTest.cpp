#include "host/util/ZuMemoryStream.h"

#include <gtest/gtest.h>

#include <string>

#include "host/util/ZuSharedBytes.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::string Text(std::span<const uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

std::string ReadUpTo(IZuStream& stream, size_t count) {
  std::string out(count, '\0');
  out.resize(stream.Read(out.data(), count));
  return out;
}

TEST(ZuSharedBytesTest, SliceClampsToTheRange) {
  const ZuSharedBytes bytes = ZuSharedBytes::Copy(Bytes("0123456789"));
  const struct {
    size_t offset;
    size_t size;
    const char* expected;
  } cases[] = {
      {0, 10, "0123456789"},
      {2, 3, "234"},
      {8, 5, "89"},
      {10, 1, ""},
      {20, 5, ""},
      {3, 0, ""},
      {0, SIZE_MAX, "0123456789"},
      {9, SIZE_MAX, "9"},
  };
  for (const auto& c : cases) {
    const ZuSharedBytes slice = bytes.Slice(c.offset, c.size);
    EXPECT_EQ(Text(slice.span()), c.expected) << c.offset << "+" << c.size;
    EXPECT_EQ(slice.size(), std::string(c.expected).size());
  }
  EXPECT_EQ(Text(bytes.Slice(2, 6).Slice(1, 2).span()), "34");
}

TEST(ZuSharedBytesTest, SlicesKeepTheStorageAlive) {
  std::vector<uint8_t> source = Bytes("shared storage");
  const uint8_t* adoptedData = source.data();
  ZuSharedBytes slice;
  {
    const ZuSharedBytes whole = ZuSharedBytes::Adopt(std::move(source));
    EXPECT_EQ(whole.data(), adoptedData);  // adopted, not copied
    slice = whole.Slice(7, 7);
  }
  EXPECT_EQ(Text(slice.span()), "storage");  // ASan reports a use after free if not
  EXPECT_TRUE(ZuSharedBytes::Copy(nullptr, 0).empty());
}

TEST(ZuMemoryStreamTest, ReadOnlyOverSharedBytes) {
  ZuMemoryStream stream(ZuSharedBytes::Copy(Bytes("abcdefgh")));
  EXPECT_EQ(stream.GetSize(), 8u);
  EXPECT_EQ(ReadUpTo(stream, 3), "abc");
  EXPECT_EQ(stream.GetPosition(), 3u);
  EXPECT_EQ(ReadUpTo(stream, 10), "defgh");
  EXPECT_EQ(ReadUpTo(stream, 10), "");  // the end is not an error
  EXPECT_FALSE(stream.HasError());

  EXPECT_TRUE(stream.Seek(6));
  EXPECT_EQ(ReadUpTo(stream, 1), "g");
  EXPECT_TRUE(stream.Seek(8));
  EXPECT_FALSE(stream.Seek(9));
  EXPECT_EQ(stream.GetPosition(), 8u);

  EXPECT_FALSE(stream.Write("x", 1));
  EXPECT_TRUE(stream.HasError());
  EXPECT_FALSE(stream.Flush());
  EXPECT_FALSE(stream.Close());
  EXPECT_EQ(Text(stream.GetBytes()), "abcdefgh");

  ZuMemoryStream reader(ZuSharedBytes::Copy(Bytes("abc")));
  EXPECT_EQ(reader.Read(nullptr, 2), 0u);  // a null buffer fails
  EXPECT_TRUE(reader.HasError());
}

TEST(ZuMemoryStreamTest, WritesOverwriteAndExtend) {
  ZuMemoryStream stream;
  EXPECT_TRUE(stream.Write("hello world", 11));
  EXPECT_EQ(stream.GetSize(), 11u);
  EXPECT_EQ(stream.GetPosition(), 11u);

  ASSERT_TRUE(stream.Seek(6));
  EXPECT_TRUE(stream.Write("W", 1));  // inside: overwrites
  ASSERT_TRUE(stream.Seek(9));
  EXPECT_TRUE(stream.Write("LDS!", 4));  // runs past the end: extends
  EXPECT_EQ(Text(stream.GetBytes()), "hello WorLDS!");
  EXPECT_FALSE(stream.Seek(14));
  EXPECT_TRUE(stream.Write(nullptr, 0));

  ASSERT_TRUE(stream.Seek(0));
  EXPECT_EQ(ReadUpTo(stream, 5), "hello");
  EXPECT_TRUE(stream.Flush());
  EXPECT_TRUE(stream.Close());
  EXPECT_FALSE(stream.HasError());

  EXPECT_EQ(Text(stream.TakeBytes()), "hello WorLDS!");
  EXPECT_EQ(stream.GetSize(), 0u);
  EXPECT_EQ(stream.GetPosition(), 0u);
}

TEST(ZuMemoryStreamTest, WritableFromInitialBytes) {
  ZuMemoryStream stream(Bytes("abc"));
  EXPECT_EQ(stream.GetPosition(), 0u);
  EXPECT_TRUE(stream.Write("XY", 2));
  ASSERT_TRUE(stream.Seek(3));
  EXPECT_TRUE(stream.Write("d", 1));
  EXPECT_EQ(Text(stream.TakeBytes()), "XYcd");
  EXPECT_FALSE(stream.Write(nullptr, 2));  // a null buffer fails, and the failure sticks
  EXPECT_TRUE(stream.HasError());
  EXPECT_FALSE(stream.Write("a", 1));
}

}  // namespace
