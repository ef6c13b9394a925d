#include "host/util/ZuPath.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/util/ZuDuration.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuFileUtil.h"
#include "tests/util/UtilTestFiles.h"

namespace {

TEST(ZuPathTest, ParentFolderAndBaseName) {
  const struct {
    const char* path;
    const char* parent;
    const char* base;
  } cases[] = {
      {"/a/b/c.swf", "/a/b", "c"},
      {"c.swf", ".", "c"},
      {"/x", "/", "x"},
      {"/", "/", ""},
      {"", ".", ""},
      {"a/b", "a", "b"},
      {"/a/b/", "/a", "b"},
      {"/a/b///", "/a", "b"},
      {"/a//b", "/a", "b"},
      {"//x", "/", "x"},
      {"a/", ".", "a"},
      {"./c.swf", ".", "c"},
      {"../c.swf", "..", "c"},
      {"/d\xC3\xA9j\xC3\xA0/\xF0\x9F\x98\x80.swf", "/d\xC3\xA9j\xC3\xA0", "\xF0\x9F\x98\x80"},
      {"archive.tar.gz", ".", "archive.tar"},
      {".hidden", ".", ".hidden"},
      {"/a/.hidden.swf", "/a", ".hidden"},
      {"..", ".", ".."},
      {"/a/b.d/file", "/a/b.d", "file"},
      {"name.", ".", "name"},
      {"/a/clip.swf/", "/a", "clip"},
      {"/films/\xC3\xA9t\xC3\xA9.SWF", "/films", "\xC3\xA9t\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("path \"") + c.path + "\"");
    EXPECT_EQ(
        ZuPath(ZuString(c.path)).GetParentZuPath(0xFFFFFFFF).GetPathAsZuString().GetUTF8String(),
        c.parent);
    EXPECT_EQ(ZuFileUtil::GetBaseFileName(ZuString(c.path)).GetUTF8String(), c.base);
  }
}

TEST(ZuDurationTest, TimeIsInSeconds) {
  EXPECT_DOUBLE_EQ(ZuDuration(ZuReal(2.5), kZuDurationSeconds).GetTime(), 2.5);
  EXPECT_DOUBLE_EQ(ZuDuration(ZuReal(2500.0), kZuDurationMilliseconds).GetTime(), 2.5);
  EXPECT_EQ(ZuDuration(ZuReal(1.0), kZuDurationMilliseconds).GetUnit(), kZuDurationMilliseconds);
  EXPECT_DOUBLE_EQ(ZuDuration().GetTime(), 0.0);
}

TEST(ZuFileTest, QueriesAndDelete) {
  TempDir folder;
  const std::string file = folder.File("clip.swf");
  const std::string link = folder.File("dangling");
  WriteWholeFile(file, "12345");
  ASSERT_EQ(symlink(folder.File("missing").c_str(), link.c_str()), 0);

  const struct {
    std::string path;
    bool exists;
    bool isFile;
    int64_t size;
  } cases[] = {
      {file, true, true, 5},   {folder.Path(), true, false, -1},
      {link, true, false, -1}, {folder.File("missing"), false, false, -1},
      {"", false, false, -1},
  };
  for (const auto& c : cases) {
    const ZuFile zuFile{ZuString(std::string_view(c.path))};
    EXPECT_EQ(zuFile.Exists(), c.exists) << c.path;
    EXPECT_EQ(zuFile.DoesFileExist(), c.isFile) << c.path;
    EXPECT_EQ(zuFile.GetSize(), c.size) << c.path;
    EXPECT_EQ(zuFile.GetNativePath(), c.path);
  }

  const ZuFile zuFile{ZuString(std::string_view(file))};
  {
    const ZuFile copy = zuFile;  // destroying a ZuFile leaves the file alone
  }
  EXPECT_TRUE(zuFile.DoesFileExist());
  EXPECT_TRUE(zuFile.Delete());
  EXPECT_FALSE(zuFile.Exists());
  EXPECT_FALSE(zuFile.Delete());
  EXPECT_FALSE(ZuFile(ZuString(std::string_view(folder.Path()))).Delete());
  EXPECT_FALSE(ZuFile().Delete());
}

}  // namespace
