// The independent-parser check itself: it must read the files we write and must turn
// down broken ones, or it would pass anything.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"

namespace {

struct OracleCase {
  const char* name;
  SwfBuilder file;
  std::vector<int> codes;  // expected, when error is empty
  const char* error;       // expected in the error, or "" when the file is accepted
};

std::vector<OracleCase> OracleCases() {
  const auto frames = [](ZuSwfCompression c) {
    return SwfBuilder().Compression(c).Tag(9, {1, 2, 3}).Tag(300, {1}).ShowFrame();
  };
  return {
      // clang-format off
      {"fws", frames(ZuSwfCompression::kNone), {9, 300, 1}, ""},
      {"cws", frames(ZuSwfCompression::kZlib), {9, 300, 1}, ""},
      {"zws", frames(ZuSwfCompression::kLzma), {9, 300, 1}, ""},
      {"shape_kinds_by_code", SwfBuilder().Tag(28, {1, 0}).Tag(5, {1, 0, 1, 0}).Tag(12, SwfBuilder::StopActionBody()), {28, 5, 12}, ""},
      {"known_tag_with_broken_body", SwfBuilder().Tag(9, {1}), {}, "body does not parse"},
      {"tag_past_end", SwfBuilder().RawTagBytes({0x43, 0x02, 1}).WithoutEnd(), {}, "past the end"},
      {"not_swf", SwfBuilder().Signature("GIF"), {}, "oracle rejects"},
      // clang-format on
  };
}

TEST(FileOracle, ReadsGoodFilesAndRejectsBrokenOnes) {
  TempDir dir;
  for (const OracleCase& c : OracleCases()) {
    SCOPED_TRACE(c.name);
    std::string error;
    const std::vector<int> codes =
        OracleTagCodes(c.file.WriteTo(dir.File(std::string(c.name) + ".swf")), &error);
    if (std::string(c.error).empty()) {
      EXPECT_EQ(error, "");
      EXPECT_EQ(codes, c.codes);
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      EXPECT_TRUE(codes.empty());
    }
  }
}

}  // namespace
