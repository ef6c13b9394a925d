#include "host/util/ZuFileStream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "host/util/ZuFile.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmreditRun.h"
#include "tests/support/TempDir.h"

namespace {

using Stream = std::unique_ptr<ZuFileStream>;

Stream OpenWrite(const std::string& path) {
  return Stream(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite));
}

mode_t PermissionsOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

TEST(ZuFileStreamTest, TargetIsReplacedOnlyAtClose) {
  TempDir folder;
  const std::string path = folder.File("clip.swf");
  WriteFileText(path, "old content");
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);

  Stream writer = OpenWrite(path);
  ASSERT_TRUE(writer);
  ASSERT_TRUE(writer->Write("new", 3));
  ASSERT_TRUE(writer->Flush());
  EXPECT_EQ(ReadFileText(path), "old content");
  const std::vector<std::string> during = FilesIn(folder);
  ASSERT_EQ(during.size(), 2u);
  EXPECT_EQ(during.begin()->rfind(".fmredit-", 0), 0u);  // '.' sorts before 'c'

  ASSERT_TRUE(writer->Close());
  EXPECT_EQ(ReadFileText(path), "new");
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"clip.swf"});
  EXPECT_EQ(PermissionsOf(path), 0600u);  // a replaced file keeps its permissions
  EXPECT_TRUE(writer->Close());           // closing again repeats the result

  // A new file of the longest name a file may have gets what the umask leaves of 0666.
  const std::string longest = folder.File(std::string(255, 'n'));
  const mode_t mask = umask(027);
  Stream fresh = OpenWrite(longest);
  umask(mask);
  ASSERT_TRUE(fresh && fresh->Close());
  EXPECT_EQ(PermissionsOf(longest), 0640u);
}

TEST(ZuFileStreamTest, OpenFailuresGiveTheReason) {
  TempDir folder;
  const struct {
    std::string path;
    ZuFileStream::Mode mode;
    const char* reason;
  } cases[] = {
      {folder.File("missing"), ZuFileStream::Mode::kRead, "No such file or directory"},
      {"", ZuFileStream::Mode::kRead, "No such file or directory"},
      {folder.Path(), ZuFileStream::Mode::kRead, "Is a directory"},
      {folder.File("no/such/folder/out.swf"), ZuFileStream::Mode::kWrite,
       "No such file or directory"},
      {"", ZuFileStream::Mode::kWrite, "No such file or directory"},
      {folder.Path(), ZuFileStream::Mode::kWrite, "Is a directory"},
      {folder.Path() + "/", ZuFileStream::Mode::kWrite, "Is a directory"},
      {folder.File("loop"), ZuFileStream::Mode::kWrite, "Too many levels of symbolic links"},
  };
  std::filesystem::create_symlink("loop", folder.File("loop"));
  for (const auto& c : cases) {
    std::string reason;
    Stream stream(ZuFileStream::Open(c.path, c.mode, &reason));
    EXPECT_FALSE(stream) << c.path;
    EXPECT_EQ(reason, c.reason) << c.path;
  }
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"loop"});
}

// A write that the file system refuses. A file size limit makes write(2) fail with EFBIG past
// it, as a full disk would with ENOSPC; it is set in a child process so that the test program
// keeps its own limits. The child reports through its exit code which check failed.
struct FailingWrite {
  const char* name;
  long limit;
  size_t chunk;  // below 64 KiB the failure shows only when the buffer is pushed out
  size_t total;
};

int WriteUnderLimit(const std::string& path, const FailingWrite& c) {
  Stream writer = OpenWrite(path);
  if (!writer) return 11;
  const std::vector<uint8_t> content = PatternBytes(c.total);
  bool allWritten = true;
  for (size_t done = 0; done < c.total && allWritten; done += c.chunk) {
    allWritten = writer->Write(content.data() + done, std::min(c.chunk, c.total - done));
  }
  const bool failedEarly = !allWritten;
  errno = 0;
  if (writer->Close()) return 12;
  if (errno != EFBIG) return 13;
  if (!writer->HasError() || writer->GetErrorNumber() != EFBIG) return 14;
  if (failedEarly && writer->Write("x", 1)) return 15;
  return 0;
}

TEST(ZuFileStreamTest, FailedWriteKeepsTheOldTarget) {
  const FailingWrite cases[] = {
      {"large direct write", 1 << 20, 3 << 20, 3 << 20},
      {"many medium writes", 1 << 20, 100000, 2 << 20},
      {"small writes failing at close", 10000, 1000, 30000},
      {"small writes failing at flush", 100000, 1000, 400000},
  };
  for (const FailingWrite& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    const std::string path = folder.File("target.swf");
    WriteFileText(path, "the old movie");

    EXPECT_EQ(RunInChild([&] { return WriteUnderLimit(path, c); }, c.limit), 0);
    EXPECT_EQ(ReadFileText(path), "the old movie");
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"target.swf"});
  }
}

}  // namespace
