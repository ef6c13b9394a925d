// Loading and writing whole files, one table for both ways: an unchanged movie writes back
// the uncompressed bytes it was read from, in each compression, whatever tags and header forms
// it holds; a file with what a well-formed one would not have loads with a warning and is
// written well-formed (a missing End tag added, the declared length corrected, bytes after the
// End tag kept).

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/swf/ZuSwfTag.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuStreamUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

using Header = SwfBuilder::Header;

std::vector<uint8_t> BinaryData(uint16_t id, size_t size) {
  std::vector<uint8_t> body = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 0, 0, 0, 0};
  const std::vector<uint8_t> data = SwfBuilder::PatternBody(size, static_cast<uint8_t>(id));
  body.insert(body.end(), data.begin(), data.end());
  return body;
}

struct MovieCase {
  const char* name;
  SwfBuilder input;
  size_t tagCount;
  const char* warning = nullptr;      // a load warning contains this
  std::optional<SwfBuilder> written;  // what writing gives, when not the input
};

// The cases for a compression (the loop gives every file that compression).
std::vector<MovieCase> MovieCases(ZuSwfCompression c) {
  const SwfBuilder two = SwfBuilder()
                             .FrameCount(2)
                             .Tag(9, {1, 2, 3})
                             .ShowFrame()
                             .Tag(12, SwfBuilder::StopActionBody())
                             .ShowFrame();
  std::vector<MovieCase> cases = {
      // clang-format off
      {"short_headers", SwfBuilder().StageSize(640, 480).Tag(69, {0x08, 0, 0, 0}).Tag(9, {0xFF, 0x80, 0x00}).ShowFrame().Tag(12, SwfBuilder::StopActionBody()).ShowFrame(), 5},
      {"long_header_on_small_body", SwfBuilder().Tag(9, {1, 2, 3}, Header::kLong).Tag(1, {}, Header::kLong), 2},
      {"large_bodies", SwfBuilder().Tag(87, BinaryData(1, 70000)).ShowFrame().Tag(87, BinaryData(2, 63)).ShowFrame(), 4},
      {"unknown_tags", SwfBuilder().Tag(200, {9, 8, 7}).Tag(1000, SwfBuilder::PatternBody(300), Header::kLong).Tag(3, {5, 0}).Tag(41, SwfBuilder::PatternBody(26)).ShowFrame(), 5},
      {"no_tags", SwfBuilder().FrameCount(0), 0},
      {"missing_end", SwfBuilder(two).WithoutEnd(), 4, "End tag is missing", two},
      {"bytes_after_end", SwfBuilder(two).Trailing({0, 0, 7, 7, 7}), 4, "5 bytes after the End tag"},
      {"declared_too_large", SwfBuilder(two).DeclaredLength(5000), 4, "declares 5000 bytes", two},
      {"declared_zero", SwfBuilder(two).DeclaredLength(0), 4, "declares 0 bytes", two},
      {"version_above_50", SwfBuilder(two).Version(51), 4, "version 51 is newer"},
      {"version_255", SwfBuilder(two).Version(255), 4, "version 255"},
      // clang-format on
  };
  if (c != ZuSwfCompression::kLzma) {  // a ZWS body stops at the declared size
    cases.push_back(
        {"declared_too_small", SwfBuilder(two).DeclaredLength(20), 4, "declares 20 bytes", two});
  }
  if (c == ZuSwfCompression::kZlib) {  // zlib streams inflate without checksum or with bytes after
    cases.push_back({"no_checksum", SwfBuilder(two).ZlibWithoutChecksum(), 4, "checksum", two});
    cases.push_back({"after_stream", SwfBuilder(two).AfterCompressedData({1, 2, 3}), 4,
                     "3 bytes after the zlib stream", two});
  }
  return cases;
}

struct Compression {
  const char* name;
  ZuSwfCompression value;
  char signature;
};

const Compression kCompressions[] = {
    {"FWS", ZuSwfCompression::kNone, 'F'},
    {"CWS", ZuSwfCompression::kZlib, 'C'},
    {"ZWS", ZuSwfCompression::kLzma, 'Z'},
};

TEST(FileRoundTrip, MoviesWriteBackTheirBytesOrAWellFormedFile) {
  TempDir dir;
  for (const Compression& compression : kCompressions) {
    for (MovieCase& c : MovieCases(compression.value)) {
      SCOPED_TRACE(std::string(compression.name) + " " + c.name);
      c.input.Compression(compression.value);
      ZuTavoFile movie;
      ASSERT_EQ(LoadBytes(movie, c.input.Build()), kZuSuccess) << movie.GetLastError();
      EXPECT_EQ(movie.GetCompression(), compression.value);
      EXPECT_EQ(movie.GetTagCount(), c.tagCount);
      if (c.warning != nullptr) {
        EXPECT_TRUE(HasWarning(movie, c.warning));
      }

      const std::string path = dir.File(std::string(compression.name) + c.name + ".swf");
      {
        std::unique_ptr<IZuStream> out(ZuStreamUtil::CreateFileStreamWrite(
            ZuFile(ZuString(path)), kZuStreamBinaryWrite, 0x3F3F3F3F, 0x3F3F3F3F));
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(movie.DumpToStream(out.get()), kZuSuccess) << movie.GetLastError();
        ASSERT_TRUE(out->Close());
      }
      const std::vector<uint8_t> written = ReadFileBytes(path);
      ASSERT_FALSE(written.empty());
      EXPECT_EQ(written[0], compression.signature);
      EXPECT_EQ(UncompressedSwf(written), c.written.value_or(c.input).Uncompressed());
      ExpectOracleAccepts(path, movie);
    }
  }
}

TEST(FileRoundTrip, LzmaWithAndWithoutEndMarkerDecodes) {
  const SwfBuilder file =
      SwfBuilder().Compression(ZuSwfCompression::kLzma).Tag(9, {1, 2, 3}).ShowFrame();
  ZuTavoFile withMarker;  // the builder's encoder writes one
  ASSERT_EQ(LoadBytes(withMarker, file.Build()), kZuSuccess) << withMarker.GetLastError();
  const std::vector<uint8_t> ours = DumpBytes(withMarker);  // written without one
  ZuTavoFile withoutMarker;
  ASSERT_EQ(LoadBytes(withoutMarker, ours), kZuSuccess) << withoutMarker.GetLastError();
  EXPECT_TRUE(withoutMarker.GetLoadWarnings().empty());
  EXPECT_EQ(UncompressedSwf(DumpBytes(withoutMarker)), file.Uncompressed());
}

TEST(FileRoundTrip, HeaderFieldsAreReadAndWritten) {
  ZuTavoFile movie;
  ASSERT_EQ(
      LoadBytes(
          movie,
          SwfBuilder().Version(8).StageSize(800, 600).FrameRate(0x1880).FrameCount(3).Build()),
      kZuSuccess);
  using Header = std::tuple<int, uint32_t, uint32_t, double, int>;
  const auto header = [](const ZuTavoFile& m) {
    return Header(m.GetTavoVersion(), m.GetWidth(), m.GetHeight(), m.GetExactFrameRate(),
                  m.GetFrameCount());
  };
  EXPECT_EQ(header(movie), Header(8, 800, 600, 24.5, 3));
  EXPECT_EQ(movie.GetFrameRate(), 24);
  movie.SetWidth(1024);
  movie.SetHeight(768);
  movie.SetFrameRate(30);
  movie.SetFrameCount(7);
  movie.SetTavoVersion(9);
  ZuTavoFile again;
  ASSERT_EQ(LoadBytes(again, DumpBytes(movie)), kZuSuccess);
  EXPECT_EQ(header(again), Header(9, 1024, 768, 30.0, 7));
  again.SetFrameRate(1000);  // the header's 8.8 field stops at 255
  EXPECT_EQ(again.GetFrameRate(), 255);
}

// A copy writes the same file; the highest character id follows the tags, also those
// included later.
TEST(FileRoundTrip, CopyWritesTheSameFileAndKnowsTheHighestId) {
  ZuTavoFile movie;
  ASSERT_EQ(LoadBytes(movie, SwfBuilder()
                                 .Compression(ZuSwfCompression::kZlib)
                                 .Tag(87, BinaryData(12, 80))
                                 .Tag(87, BinaryData(7, 4))
                                 .ShowFrame()
                                 .Trailing({1, 2})
                                 .Build()),
            kZuSuccess);
  ZuTavoFile copy(movie);
  ASSERT_EQ(copy.GetTagCount(), movie.GetTagCount());
  EXPECT_NE(*copy.begin(), *movie.begin());
  EXPECT_EQ(UncompressedSwf(DumpBytes(copy)), UncompressedSwf(DumpBytes(movie)));
  EXPECT_EQ(copy.GetHighestCharacterId(), 12);
  copy.IncludeTag(LoadTag(ZuSwfTagFactory::kDefineBinaryData, BinaryData(40, 1)).release(), 0);
  EXPECT_EQ(copy.GetHighestCharacterId(), 40);
  EXPECT_EQ(movie.GetHighestCharacterId(), 12);
}

}  // namespace
