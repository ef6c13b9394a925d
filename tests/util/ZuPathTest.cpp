#include "host/util/ZuPath.h"

#include <gtest/gtest.h>

#include "host/util/ZuFileUtil.h"

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

}  // namespace
