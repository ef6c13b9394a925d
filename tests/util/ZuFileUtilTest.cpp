#include "host/util/ZuFileUtil.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include <regex>
#include <set>
#include <thread>

#include "tests/support/FileBytes.h"
#include "tests/support/FmreditRun.h"
#include "tests/support/TempDir.h"

namespace {

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
      // "fmredit-", six letters or digits, the extension (".SWF" or none)
      const std::regex name("fmredit-[[:alnum:]]{6}" + std::string(*extension ? "\\.SWF" : ""));
      EXPECT_TRUE(std::regex_match(path.substr(folder.Path().size() + 1), name)) << path;
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

// The folder of a process that was killed (its lock is free) goes when the next folder of
// its prefix is made, once it is a few seconds old; a live process's folder and other
// prefixes' stay.
TEST(ZuFileUtilTest, FoldersOfKilledProcessesGoWhenTheNextOfTheirPrefixIsMade) {
  TempDir parent;
  const ZuTemporaryFolder::Use use(parent.Path());
  for (const char* prefix : {"fmredit-edit", "fmredit-serve"}) {  // left behind: no destructor
    EXPECT_EQ(RunInChild([prefix] { return new ZuTemporaryFolder(prefix) != nullptr ? 0 : 1; }), 0);
  }
  const ZuTemporaryFolder live("fmredit-edit");
  const struct timespec longAgo[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 60, 0}};
  for (const std::string& name : FilesIn(parent)) {
    ASSERT_EQ(utimensat(AT_FDCWD, (parent.Path() + "/" + name).c_str(), longAgo, 0), 0);
  }
  const ZuTemporaryFolder next("fmredit-edit");
  const std::vector<std::string> left = FilesIn(parent);
  ASSERT_EQ(left.size(), 3u);
  EXPECT_EQ(std::count(left.begin(), left.end(), live.Path().substr(parent.Path().size() + 1)), 1);
  EXPECT_EQ(left.back().rfind("fmredit-serve-", 0), 0u);
}

}  // namespace
