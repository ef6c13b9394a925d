// What loading accepts that a well-formed file would not have, and what writing then
// gives back: a missing End tag is added, the declared length is corrected, bytes after
// the End tag stay.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

SwfBuilder TwoFrames(ZuSwfCompression compression) {
  return SwfBuilder()
      .Compression(compression)
      .FrameCount(2)
      .Tag(9, {1, 2, 3})
      .ShowFrame()
      .Tag(12, SwfBuilder::StopActionBody())
      .ShowFrame();
}

struct QuirkCase {
  const char* name;
  SwfBuilder input;     // the odd file
  SwfBuilder expected;  // what writing it back gives
  const char* warning;  // a load warning contains this
};

std::vector<QuirkCase> QuirkCases(ZuSwfCompression c) {
  std::vector<QuirkCase> cases = {
      // clang-format off
      {"missing_end", TwoFrames(c).WithoutEnd(), TwoFrames(c), "End tag is missing"},
      {"bytes_after_end", TwoFrames(c).Trailing({0, 0, 7, 7, 7}), TwoFrames(c).Trailing({0, 0, 7, 7, 7}), "5 bytes after the End tag"},
      {"declared_too_small", TwoFrames(c).DeclaredLength(20), TwoFrames(c), "declares 20 bytes"},
      {"declared_too_large", TwoFrames(c).DeclaredLength(5000), TwoFrames(c), "declares 5000 bytes"},
      {"declared_zero", TwoFrames(c).DeclaredLength(0), TwoFrames(c), "declares 0 bytes"},
      {"version_above_50", TwoFrames(c).Version(51), TwoFrames(c).Version(51), "version 51 is newer"},
      {"version_255", TwoFrames(c).Version(255), TwoFrames(c).Version(255), "version 255"},
      // clang-format on
  };
  if (c == ZuSwfCompression::kZlib) {  // zlib streams inflate without checksum or with bytes after
    cases.push_back({"no_checksum", TwoFrames(c).ZlibWithoutChecksum(), TwoFrames(c), "checksum"});
    cases.push_back({"after_stream", TwoFrames(c).AfterCompressedData({1, 2, 3}), TwoFrames(c),
                     "3 bytes after the zlib stream"});
  }
  return cases;
}

// A ZWS body stops at the declared size, so that size must not be too small there.
TEST(FileQuirks, LoadsWithAWarningAndWritesAWellFormedFile) {
  TempDir dir;
  for (ZuSwfCompression c :
       {ZuSwfCompression::kNone, ZuSwfCompression::kZlib, ZuSwfCompression::kLzma}) {
    for (const QuirkCase& q : QuirkCases(c)) {
      if (c == ZuSwfCompression::kLzma && std::string(q.name) == "declared_too_small") continue;
      SCOPED_TRACE(std::string(q.name) + " compression " + std::to_string(static_cast<int>(c)));
      ZuTavoFile movie;
      ASSERT_EQ(LoadBytes(movie, q.input.Build()), kZuSuccess) << movie.GetLastError();
      EXPECT_TRUE(HasWarning(movie, q.warning));
      EXPECT_EQ(movie.GetTagCount(), 4u);
      const std::string path = dir.File(std::string(q.name) + ".swf");
      WriteFileBytes(path, DumpBytes(movie));
      EXPECT_EQ(UncompressedSwf(ReadFileBytes(path)), q.expected.Uncompressed());
      ExpectOracleAccepts(path, movie);
    }
  }
}

TEST(FileQuirks, LzmaWithAndWithoutEndMarkerDecodes) {
  const SwfBuilder file = TwoFrames(ZuSwfCompression::kLzma);
  ZuTavoFile withMarker;  // the builder's encoder writes one
  ASSERT_EQ(LoadBytes(withMarker, file.Build()), kZuSuccess) << withMarker.GetLastError();
  const std::vector<uint8_t> ours = DumpBytes(withMarker);  // written without one
  ZuTavoFile withoutMarker;
  ASSERT_EQ(LoadBytes(withoutMarker, ours), kZuSuccess) << withoutMarker.GetLastError();
  EXPECT_TRUE(withoutMarker.GetLoadWarnings().empty());
  EXPECT_EQ(UncompressedSwf(DumpBytes(withoutMarker)), file.Uncompressed());
}

}  // namespace
