#include "host/util/ZuFileUtil.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "tests/util/UtilTestFiles.h"

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

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = getenv(name)) m_old = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (m_old) {
      setenv(m_name, m_old->c_str(), 1);
    } else {
      unsetenv(m_name);
    }
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(ZuFileUtilTest, TemporaryFilesAreUniqueEmptyAndInTMPDIR) {
  TempDir folder;
  ScopedEnv tmpdir("TMPDIR", folder.Path().c_str());
  std::set<std::string> paths;
  for (int i = 0; i < 50; ++i) {
    const ZuFile file = ZuFileUtil::GetUniqueTemporaryFile(ZuString(".SWF"));
    ASSERT_TRUE(file.DoesFileExist()) << file.GetNativePath();
    EXPECT_EQ(file.GetSize(), 0);
    const std::string path = file.GetNativePath();
    EXPECT_EQ(path.substr(0, folder.Path().size() + 1), folder.Path() + "/");
    EXPECT_TRUE(IsTemporaryName(path.substr(folder.Path().size() + 1), ".SWF")) << path;
    paths.insert(path);
  }
  EXPECT_EQ(paths.size(), 50u);
  EXPECT_EQ(FolderNames(folder.Path()).size(), 50u);

  const ZuFile plain = ZuFileUtil::GetUniqueTemporaryFile(ZuString());
  EXPECT_TRUE(plain.DoesFileExist());
  EXPECT_TRUE(
      IsTemporaryName(ZuFileUtil::GetBaseFileName(plain.GetPathString()).GetUTF8String(), ""));
}

// Without TMPDIR the file goes to /tmp; where it cannot be made, a missing file comes back.
TEST(ZuFileUtilTest, TemporaryFileFallsBackToTmpOrFails) {
  for (const char* value : {static_cast<const char*>(nullptr), ""}) {
    ScopedEnv tmpdir("TMPDIR", value);
    const ZuFile file = ZuFileUtil::GetUniqueTemporaryFile(ZuString(".swf"));
    EXPECT_TRUE(file.DoesFileExist());
    EXPECT_EQ(file.GetNativePath().rfind("/tmp/fmredit-", 0), 0u) << file.GetNativePath();
    file.Delete();
  }
  TempDir folder;
  ScopedEnv tmpdir("TMPDIR", folder.File("does-not-exist").c_str());
  EXPECT_FALSE(ZuFileUtil::GetUniqueTemporaryFile(ZuString(".SWF")).DoesFileExist());
  ScopedEnv fine("TMPDIR", folder.Path().c_str());
  EXPECT_FALSE(ZuFileUtil::GetUniqueTemporaryFile(ZuString("/../x.SWF")).DoesFileExist());
  EXPECT_TRUE(FolderNames(folder.Path()).empty());
}

TEST(ZuFileUtilTest, ExecutablePathNamesThisProgram) {
  const ZuPath path = ZuFileUtil::GetCurrentExecutablePath();
  const std::string text = path.GetPathAsZuString().GetUTF8String();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.front(), '/');
  struct stat named {};
  struct stat running {};
  ASSERT_EQ(stat(text.c_str(), &named), 0) << text;
  ASSERT_EQ(stat("/proc/self/exe", &running), 0);
  EXPECT_EQ(named.st_ino, running.st_ino);
  EXPECT_EQ(named.st_dev, running.st_dev);

  const ZuFile folder(path.GetParentZuPath(0xFFFFFFFF).GetPathAsZuString());
  EXPECT_TRUE(folder.Exists());
  EXPECT_FALSE(folder.DoesFileExist());
  EXPECT_EQ(ZuFileUtil::GetDirectorySeparator(), u'/');
}

}  // namespace
