// Bad input: every way a file can fail to load gives result 1, a one-line reason and an
// empty movie, and never reads out of bounds or allocates what a header merely claims.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "host/util/ZuMemoryStream.h"
#include "tests/support/FmreditRun.h"
#include "tests/support/SwfBuilder.h"
#include "tests/swf/SwfTestUtil.h"

namespace {

Bytes Text(const std::string& text) {
  return {text.begin(), text.end()};
}

struct BadCase {
  const char* name;
  std::vector<uint8_t> file;
  const char* reason;  // GetLastError contains this
};

std::vector<BadCase> BadCases() {
  const SwfBuilder good = SwfBuilder().Tag(9, {1, 2, 3}).ShowFrame();
  std::vector<uint8_t> cutRect = SwfBuilder().Build();
  cutRect.resize(10);  // the 31-bit rectangle needs 17 bytes
  std::vector<uint8_t> cutZwsHeader = SwfBuilder().Compression(ZuSwfCompression::kLzma).Build();
  cutZwsHeader.resize(14);
  return {
      // clang-format off
      {"empty_file", {}, "empty file"},
      {"other_kind_named", Text("GIF89a\x01\x00\x01\x00\x00\x00"), "not an SWF file: a GIF animation"},
      {"binary_signature", {0x00, 0xFF, 'S', 10, 0, 0, 0, 0}, "signature '\\x00\\xffS'"},
      {"two_bytes", Text("FW"), "not an SWF file"},
      {"truncated_file_header", Text("FWS\x0a\x20"), "truncated header"},
      {"truncated_frame_rect", cutRect, "truncated header"},
      {"no_rate_and_count", {'F', 'W', 'S', 10, 9, 0, 0, 0, 0x00}, "truncated header"},
      {"version_zero", SwfBuilder().Version(0).Build(), "version 0"},
      {"tag_past_end", SwfBuilder().Tag(9, {1, 2, 3}).RawTagBytes({0xFF, 0x15, 0xE8, 0x03, 0, 0, 1, 2}).WithoutEnd().Build(), "tag 2 (code 87) at offset 34 runs past the end of the data"},
      {"short_tag_past_end", SwfBuilder().RawTagBytes({0x43, 0x02, 1}).WithoutEnd().Build(), "tag 1 (code 9) at offset 29 runs past the end of the data"},
      {"cut_tag_header", SwfBuilder().ShowFrame().RawTagBytes({0x40}).WithoutEnd().Build(), "truncated header"},
      {"cut_long_tag_header", SwfBuilder().RawTagBytes({0xFF, 0x15, 0x10}).WithoutEnd().Build(), "truncated header"},
      {"huge_long_tag", SwfBuilder().RawTagBytes({0xFF, 0x15, 0xFF, 0xFF, 0xFF, 0xFF}).Build(), "runs past the end of the data"},
      {"zlib_garbage", SwfBuilder(good).Compression(ZuSwfCompression::kZlib).CompressedData({0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}).Build(), "zlib body does not inflate"},
      {"zlib_empty", SwfBuilder(good).Compression(ZuSwfCompression::kZlib).CompressedData({}).Build(), "zlib body does not inflate"},
      {"lzma_garbage", SwfBuilder(good).Compression(ZuSwfCompression::kLzma).CompressedData({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}).Build(), "LZMA body does not decode"},
      {"lzma_cut_header", cutZwsHeader, "truncated header"},
      // clang-format on
  };
}

TEST(FileBadInput, FailsWithAReasonAndLeavesTheMovieEmpty) {
  for (const BadCase& c : BadCases()) {
    SCOPED_TRACE(c.name);
    ZuTavoFile movie;
    ASSERT_EQ(LoadBytes(movie, SwfBuilder().ShowFrame().ShowFrame().Build()), kZuSuccess);
    ASSERT_EQ(movie.GetTagCount(), 2u);
    EXPECT_EQ(LoadBytes(movie, c.file), kZuFailure);
    EXPECT_NE(movie.GetLastError().find(c.reason), std::string::npos) << movie.GetLastError();
    EXPECT_EQ(movie.GetLastError().find('\n'), std::string::npos);
    EXPECT_EQ(movie.GetTagCount(), 0u);
    EXPECT_EQ(movie.GetFrameCount(), 0);
  }
}

TEST(FileBadInput, NullStreamsAndWriteFailuresAreReported) {
  ZuTavoFile movie;
  EXPECT_EQ(movie.LoadFromStream(nullptr), kZuFailure);
  EXPECT_FALSE(movie.GetLastError().empty());
  EXPECT_EQ(movie.DumpToStream(nullptr), kZuFailure);
  ASSERT_EQ(LoadBytes(movie, SwfBuilder().ShowFrame().Build()), kZuSuccess);
  ZuMemoryStream readOnly(ZuSharedBytes::Copy({{1, 2, 3}}));  // refuses writes
  for (ZuSwfCompression c :
       {ZuSwfCompression::kNone, ZuSwfCompression::kZlib, ZuSwfCompression::kLzma}) {
    movie.SetCompression(c);
    EXPECT_EQ(movie.DumpToStream(&readOnly), kZuFailure);
    EXPECT_EQ(movie.GetLastError(), "write error");
  }
  // More frames than the header's count holds are refused, not wrapped.
  for (int i = 0; i < 65535; ++i)
    movie.AppendTag(ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kShowFrame, 0, 0));
  ZuMemoryStream out;
  EXPECT_EQ(movie.DumpToStream(&out), kZuFailure);
  EXPECT_EQ(movie.GetLastError(),
            "the movie has 65536 frames, more than the 65535 a file header can declare");
  EXPECT_EQ(out.GetSize(), 0u);
}

// A header that declares 4 GiB must not make the loader reserve it: the load runs in a
// child process whose address space may grow by 1 GiB only.
int LoadWithAddressSpaceLimit(const std::vector<uint8_t>& file) {
  std::ifstream status("/proc/self/status");
  uint64_t vmKiB = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmSize:", 0) == 0) vmKiB = std::strtoull(line.c_str() + 7, nullptr, 10);
  }
  const rlimit limit{(vmKiB << 10) + (uint64_t{1} << 30), RLIM_INFINITY};
  if (vmKiB == 0 || setrlimit(RLIMIT_AS, &limit) != 0) return 2;
  ZuTavoFile movie;
  const bool loaded = LoadBytes(movie, file) == kZuSuccess && movie.GetTagCount() == 2 &&
                      HasWarning(movie, "declares 4294967295 bytes");
  return loaded ? 0 : 1;
}

TEST(FileBadInput, DeclaredLengthOfFourGigabytesIsNotAllocated) {
  for (ZuSwfCompression c :
       {ZuSwfCompression::kNone, ZuSwfCompression::kZlib, ZuSwfCompression::kLzma}) {
    SCOPED_TRACE(static_cast<int>(c));
    const std::vector<uint8_t> file = SwfBuilder()
                                          .Compression(c)
                                          .DeclaredLength(0xFFFFFFFF)
                                          .Tag(9, {1, 2, 3})
                                          .ShowFrame()
                                          .Build();
    EXPECT_EQ(RunInChild([&] { return LoadWithAddressSpaceLimit(file); }), 0);
  }
}

}  // namespace
