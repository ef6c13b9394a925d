#include "host/util/ZuMappedFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

TEST(ZuMappedFile, MapsTheWholeFileOrGivesAReason) {
  TempDir dir;
  const std::vector<uint8_t> content = PatternBytes(3 * 4096 + 17);
  WriteFileBytes(dir.File("data.bin"), content);

  ZuSharedBytes slice;
  {
    ZuSharedBytes bytes;
    std::string error;
    ASSERT_TRUE(ZuMappedFile::Map(dir.File("data.bin"), bytes, &error)) << error;
    ASSERT_EQ(bytes.size(), content.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), content.begin()));
    slice = bytes.Slice(4096, 100);
  }
  // The mapping stays while a slice of it is alive.
  EXPECT_TRUE(std::equal(slice.begin(), slice.end(), content.begin() + 4096));
  EXPECT_EQ(slice.size(), 100u);

  // An empty file maps to no bytes; a missing file or a folder fails with a reason.
  WriteFileText(dir.File("empty.bin"), "");
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
