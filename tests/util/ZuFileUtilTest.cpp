#include "host/util/ZuFileUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <thread>

#include "tests/support/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

// "fmredit-" then six letters or digits then the extension.
bool IsTemporaryName(const std::string& name, const std::string& extension) {
  const std::string prefix = "fmredit-";
  if (name.size() != prefix.size() + 6 + extension.size() || !name.starts_with(prefix) ||
      !name.ends_with(extension)) {
    return false;
  }
  return std::all_of(name.begin() + prefix.size(), name.end() - extension.size(),
                     [](char c) { return isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Temporary files go to the folder the calling thread was given, only while it is given;
// each is new, empty and named as its extension says.
TEST(ZuFileUtilTest, TemporaryFilesGoToTheFolderInUseOnThisThread) {
  TempDir folder;
  const std::string before = ZuTemporaryFolder::Current();
  {
    const ZuTemporaryFolder::Use use(folder.Path());
    std::set<std::string> paths;
    for (const char* extension : {".SWF", ".SWF", ""}) {
      const ZuFile file = ZuFileUtil::GetUniqueTemporaryFile(ZuString(extension));
      ASSERT_TRUE(file.DoesFileExist()) << file.GetNativePath();
      EXPECT_EQ(file.GetSize(), 0);
      const std::string path = file.GetNativePath();
      EXPECT_EQ(path.substr(0, folder.Path().size() + 1), folder.Path() + "/");
      EXPECT_TRUE(IsTemporaryName(path.substr(folder.Path().size() + 1), extension)) << path;
      paths.insert(path);
    }
    EXPECT_EQ(paths.size(), 3u);
    // Another thread still uses the usual folder.
    std::thread([&] { EXPECT_EQ(ZuTemporaryFolder::Current(), before); }).join();
  }
  EXPECT_EQ(ZuTemporaryFolder::Current(), before);
  EXPECT_EQ(FilesIn(folder).size(), 3u);
}

// Where the file cannot be made, a missing file comes back.
TEST(ZuFileUtilTest, TemporaryFileFailsWhereItCannotBeMade) {
  TempDir folder;
  {
    const ZuTemporaryFolder::Use use(folder.File("does-not-exist"));
    EXPECT_FALSE(ZuFileUtil::GetUniqueTemporaryFile(ZuString(".SWF")).DoesFileExist());
  }
  const ZuTemporaryFolder::Use use(folder.Path());
  EXPECT_FALSE(ZuFileUtil::GetUniqueTemporaryFile(ZuString("/../x.SWF")).DoesFileExist());
  EXPECT_TRUE(FilesIn(folder).empty());
}

}  // namespace
