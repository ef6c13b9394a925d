#include "host/util/ZuMappedFile.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/util/UtilTestFiles.h"

namespace {

TEST(ZuMappedFile, MapsTheWholeFileOrGivesAReason) {
  TempDir dir;
  const std::string content = PatternBytes(3 * 4096 + 17);
  WriteWholeFile(dir.File("data.bin"), content);

  ZuSharedBytes slice;
  {
    ZuSharedBytes bytes;
    std::string error;
    ASSERT_TRUE(ZuMappedFile::Map(dir.File("data.bin"), bytes, &error)) << error;
    ASSERT_EQ(bytes.size(), content.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content);
    slice = bytes.Slice(4096, 100);
  }
  // The mapping stays while a slice of it is alive.
  EXPECT_EQ(std::string(slice.begin(), slice.end()), content.substr(4096, 100));

  // An empty file maps to no bytes; a missing file or a folder fails with a reason.
  WriteWholeFile(dir.File("empty.bin"), "");
  ZuSharedBytes bytes = ZuSharedBytes::Copy(reinterpret_cast<const uint8_t*>("x"), 1);
  std::string error;
  ASSERT_TRUE(ZuMappedFile::Map(dir.File("empty.bin"), bytes, &error)) << error;
  EXPECT_TRUE(bytes.empty());

  EXPECT_FALSE(ZuMappedFile::Map(dir.File("missing.bin"), bytes, &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(ZuMappedFile::Map(dir.Path(), bytes, &error));
  EXPECT_EQ(error, "not a regular file");
}

}  // namespace
